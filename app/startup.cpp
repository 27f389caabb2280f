#include "app/startup.hpp"

#include "app/command_tree.hpp"
#include "app/dispatch.hpp"
#include "app/license_texts.hpp"
#include "app/options.hpp"
#include "app/program_identity.hpp"
#include "app/program_state.hpp"
#include "app/version.hpp"
#include "forge/log.hpp"
#include "forge/terminal.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <iostream>
#include <limits>
#include <string>

namespace app {

namespace {

unsigned clampLevel(std::uint64_t count) {
    return static_cast<unsigned>(std::min<std::uint64_t>(count, std::numeric_limits<unsigned>::max()));
}

void printHelp() {
    g_getopt.printUsage(std::cout);
    if (g_option_debug.isSet()) g_console.printDebugInfo(std::cout);
    g_getopt.printHelp(std::cout);
}

void setMessageLevels() {
    forge::setProgramName(std::string(g_program_identity.name));
    const std::uint64_t quiet = g_option_quiet.count();
    forge::setQuietLevel(clampLevel(quiet));
    if (g_option_verbose.isSet())
        forge::setVerboseLevel(clampLevel(g_option_verbose.count() + 1));
    else
        forge::setVerboseLevel(quiet == 0 ? 1 : 0);
}

void setOutputMode() {
    if (g_option_ascii.isSet()) {
        if (g_option_unicode.isSet()) {
            forge::logWarning("ascii flag (", g_option_ascii.matchedName(), ") overrides unicode flag (",
                              g_option_unicode.matchedName(), ").");
        }
        g_console.setMode(forge::kModeAscii);
    } else if (g_option_unicode.isSet()) {
        g_console.setMode(forge::kModeUnicode);
    }
}

int runSteps(int argc, char** argv) {
    forge::initTerminal();
    g_console.attachStdout();
    buildCommandTree();
    g_getopt.parse(argc, argv);

    // Help comes before the error check, so that it wins over any parse error.
    if (g_option_help.isSet()) {
        printHelp();
        return 0;
    }
    setMessageLevels();
    if (const std::string errors = g_getopt.errorText(); !errors.empty()) {
        forge::logFatal([&] { std::cerr << errors; });
        g_getopt.printTryHelp(std::cerr);
        return 1;
    }
    if (g_option_version.isSet()) {
        printVersion(std::cout);
        printCredits(std::cout);
        return 0;
    }
    setOutputMode();
    if (g_option_license.isSet()) {
        // "ghc" has no text of its own here; it runs the command like any other start.
        const std::string library = g_option_license.value(0);
        if (library == "xxhash") {
            std::cout << kXxhashLicense;
            return 0;
        }
        if (library == "stb_truetype") {
            std::cout << kStbTruetypeLicense;
            return 0;
        }
    }
    return dispatchCommand();
}

}  // namespace

int runMain(int argc, char** argv) {
    const int status = runSteps(argc, argv);
    // Output lost to a full disk or a closed descriptor must not end as success.
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0) {
        forge::setProgramName(std::string(g_program_identity.name));
        forge::logError("could not write to standard output");
        return 1;
    }
    return status;
}

}  // namespace app
