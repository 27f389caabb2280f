#include "app/command_geowrite_pages.hpp"

#include <string>
#include <vector>

#include "app/argument_texts.hpp"
#include "app/geowrite_layout.hpp"
#include "forge/files.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/render/geowrite_document.hpp"

namespace app {

namespace {

// A GEOS Convert file whose info block names geoWrite's own class.
bool isGeoWriteFile(std::span<const std::uint8_t> bytes) {
    using namespace platter::fileid;
    const file_traits_t traits = identifyAs(bytes, type_id::geo_convert).front();
    if (traits.type != type_id::geo_convert) return false;
    for (const auto& item : traits.metadata) {
        if (item.key == metadata_key::geos_class &&
            std::string(item.value.begin(), item.value.end()).starts_with("Write Image V"))
            return true;
    }
    return false;
}

}  // namespace

int CommandGeowritePages::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.empty()) return reportUsageWithoutFile(getopt);
    for (const std::string& argument : arguments) {
        if (forge::isDirectory(argument)) {
            reporter_.error("\"" + argument + "\" is a directory, not a file.", Reporter::kQuietErrors);
            return 1;
        }
        if (!forge::exists(argument)) {
            reporter_.error("could not find \"" + argument + "\" - does it exist?", Reporter::kQuietErrors);
            return 1;
        }
    }
    for (const std::string& argument : arguments) {
        forge::file_t file;
        if (!forge::readFile(argument, file) || !isGeoWriteFile(file.data) || !renderGeoWrite(file.data)) {
            reporter_.error("could not identify \"" + argument + "\" as a geoWrite file.", Reporter::kQuietErrors);
            return 1;
        }
    }
    return 0;
}

bool CommandGeowritePages::renderGeoWrite(std::span<const std::uint8_t> convertFile) {
    const std::optional<platter::GeoWriteDocument> document = platter::readGeoWrite(convertFile);
    if (!document) return false;
    GeoWriteLayout().print(out_, *document);
    return true;
}

}  // namespace app
