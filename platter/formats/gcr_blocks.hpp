#pragma once
// The blocks a 1541 writes on a track, and what reading them can give.

#include <cstdint>

namespace platter {

// What reading a sector from raw GCR gave. A D64 error byte stores the code
// itself, with 1 for a good sector; the DOS error number is the code + 18.
enum gcr_code : std::uint8_t {
    kGcrGood = 0,
    kGcrHeaderNotFound = 2,  // 20
    kGcrNoSync = 3,          // 21
    kGcrDataNotPresent = 4,  // 22
    kGcrDataChecksum = 5,    // 23
    kGcrHeaderChecksum = 9,  // 27
};

// Every block follows a sync. A header block is marker 8, checksum, sector,
// track, the two disk ID bytes and 0x0F 0x0F; its first GCR byte is 0x52.
// A data block is marker 7, 256 bytes and their XOR.
inline constexpr std::uint8_t kGcrHeaderFirstByte = 0x52;
inline constexpr std::uint8_t kGcrHeaderMarker = 0x08;
inline constexpr std::uint8_t kGcrDataMarker = 0x07;

// Syncs (or header candidates) a search walks before it gives up: two
// revolutions of a track of 21 sectors and then some.
inline constexpr unsigned kGcrHeaderBudget = 90;

}  // namespace platter
