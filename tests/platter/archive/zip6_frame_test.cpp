#include "platter/archive/zip6_frame.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
           std::uint32_t{bytes[at + 3]} << 24;
}

std::vector<std::vector<std::uint8_t>> zip6Parts(std::uint8_t tracks) {
    std::vector<std::vector<std::uint8_t>> parts(6, std::vector<std::uint8_t>(8, 0));
    parts[0] = {0xFF, 0x03, tracks, 0, 0, 0, 0, 0};
    return parts;
}

TEST(Zip6Frame, GivesOffsetsAndSpeedsForTheDataTracksOnly) {
    std::vector<std::uint8_t> g64;
    ASSERT_TRUE(writeZip6Frame(zip6Parts(36), g64));
    ASSERT_EQ(g64.size(), 684u);
    EXPECT_EQ(std::string(g64.begin(), g64.begin() + 12), std::string("GCR-1541\0\x54\x0C\x1E", 12));
    EXPECT_EQ(le32(g64, 12), 684u);
    EXPECT_EQ(le32(g64, 12 + 8 * 17), 684u + 17 * 7694);  // track 18
    EXPECT_EQ(le32(g64, 12 + 8 * 35), 0u);                // track 36 carries no data
    EXPECT_EQ(le32(g64, 348 + 8 * 17), 2u);
    EXPECT_EQ(le32(g64, 348 + 8 * 24), 1u);

    g64.clear();
    ASSERT_TRUE(writeZip6Frame(zip6Parts(200), g64));  // clamped to the table's 42 tracks
    EXPECT_EQ(g64.size(), 684u);
    EXPECT_NE(le32(g64, 12 + 8 * 41), 0u);
    auto parts = zip6Parts(36);
    parts[0][1] = 0x04;
    EXPECT_FALSE(writeZip6Frame(parts, g64));
    parts.pop_back();
    EXPECT_FALSE(writeZip6Frame(parts, g64));
}

}  // namespace
}  // namespace platter
