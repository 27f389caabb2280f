#pragma once

#include <cstdint>

namespace platter {

class Disk;

// Entries of the current directory read through `getEntry`, stopping at the first read that
// fails or at the first entry whose name and type bytes are all 0.
std::uint64_t countDirectoryEntries(Disk& disk);

}  // namespace platter
