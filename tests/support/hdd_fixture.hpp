#pragma once
// Test support: where make_fixtures.sh put things in cmd/x.hdd, and the CFS link that damaged
// copies of it patch.

#include <cstdint>
#include <vector>

namespace test_support::hdd {

// Sector numbers, 512 bytes each: PART1 spans sectors 8-319, the whole file.
constexpr std::uint64_t kSector = 512;
constexpr std::uint64_t kSubdirectory = 12;
constexpr std::uint64_t kBigFirstList = 153;
constexpr std::uint64_t kRoot = 158;
constexpr std::uint64_t kRootSecondBlock = 160;
constexpr std::uint64_t kPartitionEnd = 320;

// A 32-bit CFS link to `sector` spread over bits 4-5 of one byte in each of 16 records.
inline void spreadLink(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint64_t stride, std::uint64_t sector) {
    const std::uint32_t value =
        static_cast<std::uint32_t>((sector & 0xff) << 24 | ((sector >> 8) & 0xff) << 16 | ((sector >> 16) & 0xff) << 8);
    for (std::uint64_t i = 0; i < 16; ++i) {
        std::uint8_t& byte = bytes.at(at + i * stride);
        byte = static_cast<std::uint8_t>((byte & 0xcfu) | ((value >> (30 - 2 * i)) & 3u) << 4);
    }
}

}  // namespace test_support::hdd
