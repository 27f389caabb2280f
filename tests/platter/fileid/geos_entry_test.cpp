#include "platter/fileid/geos_entry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

TEST(GeosEntry, NeedsAnInfoBlockAndAValidStamp) {
    // USR, info block 19/4, VLIR, 1988-12-31 23:59
    const std::array<std::uint8_t, 32> entry = {0, 0, 0x83, 0, 0, 0, 0,  0, 0, 0, 0,  0,  0,  0,  0,
                                                0, 0, 0,    0, 0, 0, 19, 4, 1, 0, 88, 12, 31, 23, 59};
    EXPECT_TRUE(isGeosEntry(entry));
    for (const auto& [offset, value] :
         {std::pair<std::size_t, int>{29, 60}, {26, 0}, {27, 32}, {28, 24}, {23, 2}, {2, 0x84}}) {
        auto broken = entry;
        broken[offset] = static_cast<std::uint8_t>(value);
        EXPECT_FALSE(isGeosEntry(broken)) << offset;
    }
    auto noInfo = entry;
    noInfo[21] = 0;
    noInfo[22] = 0;
    EXPECT_FALSE(isGeosEntry(noInfo));
    EXPECT_FALSE(isGeosEntry(std::span<const std::uint8_t>(entry).first(31)));
}

}  // namespace
}  // namespace platter
