#pragma once
// The blocks a 1541 writes on a track, and what reading them can give.

#include <array>
#include <cstdint>
#include <string_view>

namespace platter {

// What reading a sector from raw GCR gave. A D64 error byte stores the code
// itself, with 1 for a good sector; the DOS error number is the code + 18.
enum gcr_code : std::uint8_t {
    kGcrGood = 0,
    kGcrHeaderNotFound = 2,   // 20
    kGcrNoSync = 3,           // 21
    kGcrDataNotPresent = 4,   // 22
    kGcrDataChecksum = 5,     // 23
    kGcrByteDecoding = 6,     // 24: met in error tables only
    kGcrHeaderChecksum = 9,   // 27
    kGcrDiskIdMismatch = 11,  // 29: the sector's header carries another disk's ID
    kGcrNoCode = 255,
};

struct gcr_error_text_t {
    gcr_code code;
    std::string_view text;
};

// The drive's message for each code.
inline constexpr std::array<gcr_error_text_t, 9> g_gcr_error_texts = {{
    {kGcrNoCode, "^^"},
    {kGcrGood, "00, ok"},
    {kGcrHeaderNotFound, "20, read error (header block not found)"},
    {kGcrNoSync, "21, read error (no sync)"},
    {kGcrDataNotPresent, "22, read error (data block not present)"},
    {kGcrDataChecksum, "23, read error (checksum error in data block)"},
    {kGcrByteDecoding, "24, read error (byte decoding error)"},
    {kGcrHeaderChecksum, "27, read error (checksum error in header block)"},
    {kGcrDiskIdMismatch, "29, read error (disk id mismatch)"},
}};

// The drive's message for a code; empty for a code it has none for.
constexpr std::string_view gcrErrorText(std::uint8_t code) {
    for (const gcr_error_text_t& row : g_gcr_error_texts) {
        if (row.code == code) return row.text;
    }
    return {};
}

// Every block follows a sync. A header block is marker 8, checksum, sector,
// track, the two disk ID bytes and 0x0F 0x0F; its first GCR byte is 0x52.
// A data block is marker 7, 256 bytes and their XOR.
inline constexpr std::uint8_t kGcrHeaderFirstByte = 0x52;
inline constexpr std::uint8_t kGcrHeaderMarker = 0x08;
inline constexpr std::uint8_t kGcrDataMarker = 0x07;

// A sync is a run of at least this many one bits; the block after it starts
// at the zero bit that ends the run, at any bit of a byte.
inline constexpr unsigned kGcrSyncMinimumOnes = 10;
// Bits a sync search reads before it gives up: 788 bytes, more than the
// longest gap a 1541 writes between two syncs.
inline constexpr unsigned kGcrSyncBitBudget = 6304;

// Syncs (or header candidates) a search walks before it gives up: two
// revolutions of a track of 21 sectors and then some.
inline constexpr unsigned kGcrHeaderBudget = 90;

}  // namespace platter
