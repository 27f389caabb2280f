#pragma once

#include <span>

#include "platter/core/track_sector.hpp"

namespace platter {

class Disk;

// Journals whole BAM blocks (kind 28) as one undo group named "BAM", so that one undo step
// puts every block back at its own address. Blocks the image lacks are left out.
void snapshotBamBlocks(Disk& disk, std::span<const track_sector_t> blocks);

}  // namespace platter
