#pragma once
// The parts of a four/five-part zipcode set: which tracks each holds, and what decoding one
// left undone.

#include <cstdint>
#include <span>
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

// Whether `bytes` load as part `number` (1-5) does: part 1 at 0x03FE (the disk ID follows),
// every other part at 0x0400. The records after it may come in any order.
inline bool loadsAsZip4Part(std::span<const std::uint8_t> bytes, unsigned number) {
    if (bytes.size() < 2 || number < 1 || number > kZipcodeParts) return false;
    const unsigned load = bytes[0] | (unsigned{bytes[1]} << 8);
    return load == (number == 1 ? 0x03feu : 0x0400u);
}

struct zip4_part_gaps_t {
    // Blocks of the part's own tracks that no whole record reached; they are empty.
    std::vector<track_sector_t> unreached;
    bool cutShort = false;  // the part ends inside a record
    // Blocks whose run-length record does not decode to a block; they are left empty.
    std::vector<track_sector_t> undecodable;
    // A record no whole part holds: a second one of a block of its tracks, or one of a block
    // outside them. The records are no longer those of the part from there on, so it and
    // those after it are left out.
    enum class stray_record : std::uint8_t { none, repeated, foreign };
    stray_record stray = stray_record::none;
    track_sector_t strayBlock;

    bool none() const { return unreached.empty() && !cutShort && undecodable.empty() && stray == stray_record::none; }
};

}  // namespace platter
