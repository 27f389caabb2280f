#pragma once
// The 1541's 5-bit group code: every nibble is written as five bits with no
// more than two zeros in a row. One table for every reader and writer of GCR.

#include <array>
#include <cstdint>

namespace platter {

// Nibble -> 5-bit code.
inline constexpr std::array<std::uint8_t, 16> g_gcr_encode_table = {
    0x0A, 0x0B, 0x12, 0x13, 0x0E, 0x0F, 0x16, 0x17, 0x09, 0x19, 0x1A, 0x1B, 0x0D, 0x1D, 0x1E, 0x15,
};

// 5-bit code -> nibble; 255 for the 16 codes the drive never writes.
inline constexpr std::array<std::uint8_t, 32> g_gcr_decode_table = [] {
    std::array<std::uint8_t, 32> table{};
    table.fill(255);
    for (std::uint8_t nibble = 0; nibble < g_gcr_encode_table.size(); ++nibble) {
        table[g_gcr_encode_table[nibble]] = nibble;
    }
    return table;
}();

}  // namespace platter
