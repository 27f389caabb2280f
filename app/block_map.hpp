#pragma once
// The block-availability grid of a container: one cell per block, telling
// whether the BAM marks it used, whether it lies on the directory or header
// chain, whether it only holds a fill pattern, and its error code.

#include <cstdint>
#include <span>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {
class Disk;
}

namespace app {

// Two bytes: a grid of a 4 GiB hard disk's 16 million blocks stays within 32 MiB.
struct block_cell_t {
    std::uint8_t used : 1 = 0;
    std::uint8_t inChain : 1 = 0;
    std::uint8_t blank : 1 = 0;
    std::uint8_t errorCode = 0;  // 2 or more, else 0
};

// Zeroes throughout, or a first byte of 0x00, 0x41 or 0x4B before 255 bytes
// of 0x01 (what formatting and scratching leave behind).
bool isBlankBlock(std::span<const std::uint8_t, 256> block);

// Holds no copy of the image: it must not outlive the disk.
class BlockMap {
public:
    explicit BlockMap(platter::Disk& disk) : disk_(disk) {}

    // Sizes the grid: a row per track, a column per sector of the longest track.
    void measure();
    // Classifies every block, then marks the system chains.
    void scan();
    void markSystemChains();

    // Track from 1, sector from 0, both inside the grid.
    block_cell_t& cell(std::uint64_t track, std::uint64_t sector);
    const block_cell_t& cell(std::uint64_t track, std::uint64_t sector) const;
    bool contains(std::uint64_t track, std::uint64_t sector) const;
    // The sectors of the track that exist on the image, counted from 0.
    std::uint64_t sectorCount(std::uint64_t track) const;

    std::uint64_t tracks() const { return tracks_; }
    std::uint64_t columns() const { return columns_; }

private:
    // The cell of a block whose bytes (null: none) were read.
    void classify(const platter::track_sector_t& block, const std::uint8_t* bytes);
    void markChain(std::uint64_t track, std::uint64_t sector);

    platter::Disk& disk_;
    std::uint64_t tracks_ = 0;
    std::uint64_t columns_ = 1;
    std::vector<std::uint64_t> sectorCounts_;  // per track, index track - 1
    std::vector<block_cell_t> cells_;          // row-major by track
};

}  // namespace app
