#pragma once
// The parts of a four/five-part zipcode set: which tracks each holds, and what decoding one
// left undone.

#include <cstdint>

namespace platter {

// Part k (1-5) holds the tracks kZipcodePartFirstTrack[k - 1] up to kZipcodePartFirstTrack[k] - 1.
inline constexpr std::uint8_t kZipcodePartFirstTrack[] = {1, 9, 17, 26, 36, 41};
inline constexpr unsigned kZipcodeParts = 5;

struct zip4_part_gaps_t {
    std::uint64_t emptyBlocks = 0;  // blocks of the part's own tracks that no whole record reached
    bool cutShort = false;          // the part ends inside a record
};

}  // namespace platter
