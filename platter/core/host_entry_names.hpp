#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "platter/core/dir_entry.hpp"

namespace platter {

// Writes the CBM name under which a host file is imported: the converted stem, then "." and
// at most 3 bytes of the extension unless the extension names a single-file form (PRG, SEQ,
// P00 ...). Bytes past the name are left as they were; callers fill them with 0xA0 first.
void petsciiNameFromPath(std::string_view hostPath, std::span<std::uint8_t, 16> destination);

// A cleared entry named after the whole path text, typed by the registry row of the path's
// extension (the PRG row when there is none).
bool entryFromPath(dir_entry_t& entry, std::string_view hostPath);

}  // namespace platter
