#pragma once
// The parts of a four/five-part zipcode set: which tracks each holds, and what decoding one
// left undone.

#include <cstdint>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

// Part k (1-5) holds the tracks kZipcodePartFirstTrack[k - 1] up to kZipcodePartFirstTrack[k] - 1.
inline constexpr std::uint8_t kZipcodePartFirstTrack[] = {1, 9, 17, 26, 36, 41};
inline constexpr unsigned kZipcodeParts = 5;
// A part holds at least its load address and its first record's track and sector (part 1 the
// disk ID between them) and two more bytes; a shorter file holds no block of its tracks and is
// taken for a missing part.
inline constexpr std::uint64_t kSmallestZipcodePart = 6;

struct zip4_part_gaps_t {
    std::uint64_t emptyBlocks = 0;  // blocks of the part's own tracks that no record reached
    bool cutShort = false;          // the part ends inside a record
    // Blocks whose run-length record does not decode to a block; they are left empty.
    std::vector<track_sector_t> undecodable;

    bool none() const { return emptyBlocks == 0 && !cutShort && undecodable.empty(); }
};

}  // namespace platter
