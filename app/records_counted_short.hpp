#pragma once
// The warnings for a GEOS VLIR file whose Convert form, just read, counts records short: the
// form holds all of their data, but its record table has one byte for a record's blocks, so an
// import of it would lose the blocks past the 255th.

#include <string>
#include <vector>

#include "platter/petscii/charset.hpp"

namespace platter {
class Disk;
struct dir_entry_t;
}  // namespace platter

namespace app {

// "record 1 of 'NAME' has 300 blocks; a GEOS Convert file can hold 255", one for each record
// the disk's last readFile counted short; none for a file that was read whole.
std::vector<std::string> recordsCountedShortWarnings(const platter::Disk& disk, const platter::dir_entry_t& entry,
                                                     platter::Charset charset);

}  // namespace app
