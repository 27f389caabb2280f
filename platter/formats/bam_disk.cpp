#include "platter/formats/bam_disk.hpp"

namespace platter {

bool BamDisk::isValidBlock(const track_sector_t& block) const {
    return block.track >= 1 && block.track <= trackCount() && block.sector < sectorsOf(block.track);
}

bool BamDisk::isBlockFree(const track_sector_t& block) const {
    if (!isValidBlock(block)) return false;
    const std::optional<BamTrack> entry = bamEntry(block.track);
    return entry && entry->isFree(block.sector);
}

bool BamDisk::toggleBlock(const track_sector_t& block) {
    if (!isValidBlock(block)) return false;
    std::optional<BamTrack> entry = bamEntry(block.track);
    if (!entry) return false;
    entry->toggle(*this, block, sectorsOf(block.track));
    return true;
}

}  // namespace platter
