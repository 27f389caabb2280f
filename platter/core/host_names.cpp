#include "platter/core/host_names.hpp"

#include <system_error>

#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

// More duplicates than a directory can hold entries.
constexpr unsigned kMostSuffixes = 100000;

}  // namespace

std::string hostEntryName(std::span<const std::uint8_t> name) { return petsciiNameToUtf8(name, true); }

std::filesystem::path HostNames::claim(const std::filesystem::path& directory, std::string_view name,
                                       std::string_view extension) {
    const std::string stem(name);
    for (unsigned suffix = 1; suffix <= kMostSuffixes; ++suffix) {
        std::string file = stem;
        if (suffix > 1) file += "~" + std::to_string(suffix);
        file += extension;
        std::filesystem::path candidate = directory / file;
        if (isFree(candidate)) {
            claimed_.insert(candidate);
            return candidate;
        }
    }
    return {};
}

bool HostNames::isFree(const std::filesystem::path& candidate) const {
    if (claimed_.count(candidate) != 0) return false;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(candidate, error);
    return status.type() == std::filesystem::file_type::not_found;
}

}  // namespace platter
