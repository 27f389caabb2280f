#include "platter/open/zipcode_set_files.hpp"

#include <optional>

#include "forge/files.hpp"
#include "forge/host_file.hpp"
#include "forge/paths.hpp"
#include "platter/core/zipcode_part.hpp"
#include "platter/petscii/zipcode_names.hpp"

namespace platter {

namespace {

// The least that identification tells a six-part part by: load address, track count and the
// first byte of a header.
constexpr std::uint64_t kSmallestZip6Part = 4;

std::string prefixOf(unsigned number, bool sixParts) { return std::to_string(number) + (sixParts ? "!!" : "!"); }

}  // namespace

bool holdsNoBlock(std::uint64_t size, bool sixParts) {
    return size < (sixParts ? kSmallestZip6Part : kSmallestZipcodePart);
}

zipcode_set_t namedZipcodeSet(const std::string& directory, const std::string& name, bool sixParts) {
    zipcode_set_t set{directory, name, sixParts, {}};
    const unsigned parts = sixParts ? kZip6Parts : kZipcodeParts;
    for (unsigned k = 1; k <= parts; ++k) set.parts.push_back({prefixOf(k, sixParts) + name, {}, {}, {}});
    return set;
}

zipcode_set_t findZipcodeSet(const std::string& path) {
    const std::string directory = forge::dirName(path);
    const std::string fileName = forge::fileName(path);
    const std::optional<zipcode_part_name_t> named = zipcodePartName(fileName);
    zipcode_set_t set;
    if (named && forge::exists(path))
        set = namedZipcodeSet(directory, std::string(named->setName), named->sixParts);
    else
        set = namedZipcodeSet(directory, fileName, forge::exists(directory + prefixOf(1, true) + fileName));
    for (zipcode_part_t& part : set.parts) {
        part.path = directory + part.name;
        const forge::host_file_status_t status = forge::statHostFile(part.path.string());
        if (!status.exists) continue;
        const bool tooShort = status.regular && holdsNoBlock(status.size, set.sixParts);
        part.state = tooShort ? zipcode_part_state::tooShort : zipcode_part_state::found;
    }
    return set;
}

void takePartBytes(zipcode_part_t& part, std::vector<std::uint8_t> bytes, bool sixParts) {
    part.state = holdsNoBlock(bytes.size(), sixParts) ? zipcode_part_state::tooShort : zipcode_part_state::read;
    part.bytes = std::move(bytes);
}

void readZipcodeParts(zipcode_set_t& set, unsigned givenNumber, const std::vector<std::uint8_t>* given) {
    for (std::size_t k = 1; k <= set.parts.size(); ++k) {
        zipcode_part_t& part = set.parts[k - 1];
        if (given && k == givenNumber) {
            takePartBytes(part, *given, set.sixParts);
            continue;
        }
        if (part.state != zipcode_part_state::found) continue;
        forge::file_t file;
        if (!forge::readFile(part.path.string(), file)) {
            part.state = zipcode_part_state::unreadable;
            continue;
        }
        takePartBytes(part, std::move(file.data), set.sixParts);
    }
}

std::string missingPartNote(const zipcode_part_t& part) {
    const char* what = part.missing() ? "is missing" : "could not be read";
    return "zipcode part '" + part.name + "' " + what + "; its tracks are empty";
}

}  // namespace platter
