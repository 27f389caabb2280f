#pragma once
// The one wording of an entry's read that did not give all of its file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platter/core/entry_read.hpp"
#include "platter/petscii/charset.hpp"

namespace platter {
struct dir_entry_t;
}

namespace app {

// Why the read of entry [index] is not whole, for one error line: "entry [N] could not be
// read", "entry [N] is cut short: 1000 of 5080 bytes could be read", "entry [N] is cut short:
// its chain leaves the disk at 17.3 → 99.0", or what is wrong with the area of its partition
// (`directoryTrack` the track of the directory it is listed in); nothing for a whole read and
// for one that its container's report names.
std::optional<std::string> readProblemText(const platter::entry_read_t& read, std::uint64_t index,
                                           std::uint64_t directoryTrack);

// "record 1 of 'NAME' has 300 blocks; a GEOS Convert file can hold 255", one for each record
// the read counted short: the form holds all of their data, but its record table has one byte
// for a record's blocks, so an import of it would lose the blocks past the 255th.
std::vector<std::string> recordsCountedShortWarnings(const platter::entry_read_t& read,
                                                     const platter::dir_entry_t& entry, platter::Charset charset);

}  // namespace app
