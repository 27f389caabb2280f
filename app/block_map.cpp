#include "app/block_map.hpp"

#include "platter/core/block_batch.hpp"
#include "platter/core/disk.hpp"

#include <algorithm>

namespace app {

bool isBlankBlock(std::span<const std::uint8_t, 256> block) {
    const std::uint8_t fill = block[1];
    if (!std::all_of(block.begin() + 2, block.end(), [fill](std::uint8_t b) { return b == fill; })) return false;
    const std::uint8_t first = block[0];
    if (fill == 0x00) return first == 0x00;
    return fill == 0x01 && (first == 0x00 || first == 0x41 || first == 0x4B);
}

void BlockMap::measure() {
    tracks_ = disk_.trackCount();
    sectorCounts_.assign(tracks_, 0);
    std::uint64_t longest = 0;
    for (std::uint64_t t = 1; t <= tracks_; ++t) {
        sectorCounts_[t - 1] = disk_.sectorCount(t);
        longest = std::max(longest, sectorCounts_[t - 1]);
    }
    columns_ = std::max<std::uint64_t>(longest, 1);
    cells_.assign(tracks_ * columns_, block_cell_t{});
}

// A batch of blocks at a time: the image keeps none of them.
void BlockMap::scan() {
    platter::BlockBatch batch(disk_, false);
    const auto classifyBatch = [&] {
        batch.read();
        for (std::size_t i = 0; i < batch.count(); ++i) classify(batch.block(i), batch.bytes(i));
        batch.clear();
    };
    for (std::uint64_t t = 1; t <= tracks_; ++t) {
        for (std::uint64_t s = 0; s < sectorCount(t);) {
            s += batch.addTrack(t, s, sectorCount(t) - s);
            if (batch.full()) classifyBatch();
        }
    }
    classifyBatch();
    markSystemChains();
}

void BlockMap::classify(const platter::track_sector_t& block, const std::uint8_t* bytes) {
    block_cell_t& result = cell(block.track, block.sector);
    result.blank = bytes != nullptr && isBlankBlock(std::span<const std::uint8_t, 256>(bytes, 256)) ? 1 : 0;
    result.used = disk_.isBlockFree(block) ? 0 : 1;
    const std::uint8_t code = disk_.errorCode(block);
    result.errorCode = code >= 2 ? code : 0;
    result.inChain = 0;
}

void BlockMap::markSystemChains() {
    const platter::track_sector_t& directory = disk_.directoryStart();
    markChain(directory.track, directory.sector);
    const platter::track_sector_t& header = disk_.headerBlock();
    markChain(header.track, header.sector);
}

// A chain that breaks off (a loop, a link past the image) still marks the
// blocks read before the break.
void BlockMap::markChain(std::uint64_t track, std::uint64_t sector) {
    if (track == 0) return;
    std::vector<platter::track_sector_t> blocks;
    disk_.readChain(track, sector, 0, nullptr, nullptr, nullptr, &blocks, false, nullptr, platter::walk_kind::raw);
    for (const platter::track_sector_t& block : blocks) {
        if (contains(block.track, block.sector)) cell(block.track, block.sector).inChain = 1;
    }
}

block_cell_t& BlockMap::cell(std::uint64_t track, std::uint64_t sector) {
    return cells_[(track - 1) * columns_ + sector];
}

const block_cell_t& BlockMap::cell(std::uint64_t track, std::uint64_t sector) const {
    return cells_[(track - 1) * columns_ + sector];
}

bool BlockMap::contains(std::uint64_t track, std::uint64_t sector) const {
    return track >= 1 && track <= tracks_ && sector < sectorCount(track);
}

std::uint64_t BlockMap::sectorCount(std::uint64_t track) const {
    return track >= 1 && track <= tracks_ ? sectorCounts_[track - 1] : 0;
}

}  // namespace app
