#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/track_sector.hpp"

namespace platter {

// One level of a processed selection: the disk its selectors apply to and the
// subdirectory or partition entries to enter on it first.
struct selection_frame_t {
    Disk* disk = nullptr;
    std::vector<dir_entry_t> path;
    // Set for a disk opened from a file or a partition inside the container; the frame holds
    // it (a partition shared with whoever else has it open).
    std::shared_ptr<Disk> ownedDisk;
    // The entry such a disk was opened from, by its name: what its damage report is told of.
    std::string openedFrom;
    std::uint64_t parent = 0;  // the frame this one was made from
    std::uint64_t depth = 0;   // nesting levels below frame 0
    // Where its directory starts and the block that heads it, to tell loops.
    track_sector_t directory{};
    track_sector_t header{};
};

}  // namespace platter
