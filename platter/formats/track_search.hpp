#pragma once

#include <cstdint>

#include "platter/core/disk.hpp"

namespace platter {

// The interleave a format's block choice uses: the library's custom interleave
// when that is switched on, else the format's own.
std::uint64_t allocationInterleave(std::uint64_t standard);

// Walks tracks in a format's allocation order and stops at the first free block.
// The first track tried is searched from the given sector, every later one from
// sector 0; tracks that the image does not have are passed over.
class TrackSearch {
public:
    TrackSearch(Disk& disk, std::uint64_t interleave, std::uint64_t firstSector)
        : disk_(disk), interleave_(interleave), sector_(firstSector) {}

    // Searches one track unless a block was found already; true once one is.
    bool tryTrack(std::uint64_t track);
    // Searches `from` to `to` inclusive, downward when `to` is lower.
    bool tryRange(std::uint64_t from, std::uint64_t to);
    bool found() const { return found_; }
    const track_sector_t& block() const { return block_; }

private:
    Disk& disk_;
    std::uint64_t interleave_;
    std::uint64_t sector_;
    track_sector_t block_{};
    bool found_ = false;
};

// Ends a format's block choice: stores `found` in `block`, marks it used when
// asked and returns its bytes (null when it has none).
std::uint8_t* takeBlock(Disk& disk, const track_sector_t& found, track_sector_t& block, bool markUsed);
// The same for the block a search found; null when it found none.
std::uint8_t* takeFoundBlock(Disk& disk, const TrackSearch& search, track_sector_t& block, bool markUsed);

}  // namespace platter
