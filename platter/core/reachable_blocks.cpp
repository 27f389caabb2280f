#include "platter/core/reachable_blocks.hpp"

#include "platter/core/disk.hpp"

namespace platter {

ReachableBlocks::ReachableBlocks(Disk& disk) : disk_(disk) {
    blocks_.insert(disk.headerBlock());
    addDirectory(disk, 0);
}

bool ReachableBlocks::contains(const track_sector_t& block) const {
    return blocks_.contains(block) || disk_.isBamBlock(block);
}

bool ReachableBlocks::isUnused(const track_sector_t& block) const {
    return disk_.isBlockFree(block) && !contains(block);
}

void ReachableBlocks::addDirectory(Disk& disk, std::size_t depth) {
    for (const track_sector_t& block : disk.directoryChain()) blocks_.insert(block);
    std::vector<track_sector_t> reached;
    // Deleted entries protect nothing: their blocks are free space.
    for (std::uint64_t index = 0;; ++index) {
        dir_entry_t entry;
        if (!disk.getEntry(index, false, entry)) break;
        disk.readFileBlocks(entry, 0, reached);
        track_sector_t first;
        if (depth + 1 < Disk::kMaxDirectoryDepth && disk.openDirectory(entry, first, false)) {
            blocks_.insert(entry.firstBlock());
            addDirectory(disk, depth + 1);
            disk.closeDirectory(false);
        }
    }
    blocks_.insert(reached.begin(), reached.end());
}

}  // namespace platter
