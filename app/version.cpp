#include "app/version.hpp"

#include "app/program_identity.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/version.hpp"

#include <xxhash.h>

#include <ostream>
#include <string>

namespace app {

namespace {

constexpr std::size_t kExtensionsPerLine = 8;

}  // namespace

void printVersion(std::ostream& out) {
    const program_identity_t& id = g_program_identity;
    const std::string title = std::string(id.name) + " v" + std::string(id.version);
    out << title << " [r" << id.revision << "; " << id.last_change << "] (c) " << id.copyright_years << " Korrin.\n";
    // The build line starts under the end of the title.
    out << std::string(title.size(), ' ') << " built: " << __DATE__ << ' ' << __TIME__ << " for: " << id.platform
        << "\n\n";
}

void printCredits(std::ostream& out) {
    out << "Credits\n - " << g_program_identity.author_credit << "\n\n";
    out << "using Platter v" << platter::version() << " by " << g_program_identity.library_authors << '\n';
    out << " Supported container extensions:\n";
    const std::vector<std::string> extensions = platter::supportedExtensions();
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        out << "  " << extensions[i];
        if ((i + 1) % kExtensionsPerLine == 0 || i + 1 == extensions.size()) out << '\n';
    }
    out << '\n';
    out << "using xxHash v" << XXH_VERSION_MAJOR << '.' << XXH_VERSION_MINOR << '.' << XXH_VERSION_RELEASE
        << " Copyright (c) 2012-2014 Yann Collet.\n"
        << "  see also 'zt --license xxhash'\n";
    out << "\nusing stb_truetype v1.26 Copyright (c) 2014-2022 Sean Barrett.\n"
        << "  see also 'zt --license stb_truetype'\n";
}

}  // namespace app
