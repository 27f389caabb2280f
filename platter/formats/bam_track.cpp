#include "platter/formats/bam_track.hpp"

#include <algorithm>

#include "forge/bits.hpp"
#include "platter/core/disk.hpp"

namespace platter {

std::uint8_t* BamTrack::byte(std::uint64_t index) const {
    if (index < map_.size()) return &map_[index];
    index -= map_.size();
    return index < rest_.size() ? &rest_[index] : nullptr;
}

bool BamTrack::isFree(std::uint64_t sector) const {
    const std::uint8_t* bits = byte(sector / 8);
    return bits && ((*bits >> (sector % 8)) & 1) != 0;
}

std::uint8_t BamTrack::freeInMap(std::uint64_t sectors) const {
    unsigned free = 0;
    for (std::uint64_t s = 0; s < sectors; s += 8) {
        const std::uint8_t* b = byte(s / 8);
        if (!b) break;
        const std::uint64_t inByte = std::min<std::uint64_t>(sectors - s, 8);
        free += static_cast<unsigned>(forge::bitCount(static_cast<unsigned>(*b & ((1u << inByte) - 1))));
    }
    return static_cast<std::uint8_t>(std::min(free, 255u));
}

void BamTrack::toggle(Disk& disk, const track_sector_t& block, std::uint64_t sectors) {
    std::uint8_t* bits = byte(block.sector / 8);
    if (!bits) return;
    // One undo step either way: a mended count and the toggle form a group.
    const bool mends = count_ != freeInMap(sectors);
    if (mends) {
        disk.beginUndoGroup();
        disk.pushUndoRecord(kUndoBytes, place_.block, place_.offset, std::span<const std::uint8_t>(&count_, 1));
    }
    *bits = static_cast<std::uint8_t>(*bits ^ (1u << (block.sector % 8)));
    count_ = freeInMap(sectors);
    disk.pushUndoRecord(kUndoToggleBlock, block, 0, {}, "Toggle Sector");
    if (mends) disk.endUndoGroup("Toggle Sector");
    disk.setModified(true);
}

void BamTrack::setAllFree(std::uint64_t sectors) {
    for (std::uint64_t i = 0; byte(i) != nullptr; ++i) {
        const std::uint64_t first = i * 8;
        const std::uint64_t inByte = sectors > first ? std::min<std::uint64_t>(sectors - first, 8) : 0;
        *byte(i) = static_cast<std::uint8_t>((1u << inByte) - 1);
    }
    count_ = static_cast<std::uint8_t>(std::min<std::uint64_t>(sectors, 255));
}

}  // namespace platter
