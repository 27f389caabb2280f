#pragma once

#include <array>
#include <cstdint>
#include <set>

#include "platter/core/track_sector.hpp"

namespace platter {

// Where the last lookup of a directory entry by index stopped: a lookup of the same or a later
// entry of the same directory goes on from there instead of walking the chain from its start
// again, so walking a directory by index reads each of its blocks once. It holds only while
// the directory is unchanged: the image forgets it with every change it makes, and a lookup
// compares the block it stopped in, which a caller may have written through the entry it got.
struct entry_cursor_t {
    static constexpr std::size_t kBlockSize = 256;

    bool valid = false;
    track_sector_t start{};  // the directory start the walk began at
    bool includeEmpty = false;
    track_sector_t block{};                        // the block of the entry found last
    std::uint64_t next = 0;                        // the entry of that block after it
    std::uint64_t counted = 0;                     // entries counted up to and with it
    std::uint64_t slot = 0;                        // slots passed from the directory start, it included
    std::set<track_sector_t> seen;                 // the blocks walked, for the loop check
    std::array<std::uint8_t, kBlockSize> bytes{};  // `block` as it was when the entry was found

    // Whether a lookup of entry `index` in the directory from `dirStart` goes on from here;
    // `current` is `block` as it is now (null when it cannot be read).
    bool resumes(const track_sector_t& dirStart, bool withEmpty, std::uint64_t index,
                 const std::uint8_t* current) const;
    // Before the first entry of the directory from `dirStart`.
    void restart(const track_sector_t& dirStart, bool withEmpty);
};

}  // namespace platter
