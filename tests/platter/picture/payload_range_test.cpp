#include "platter/picture/payload_range.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

TEST(CopyPayloadRange, SkipsTheLoadAddressAndStopsAtTheEnd) {
    const std::vector<std::uint8_t> file = {0x01, 0x08, 10, 11, 12, 13};
    std::vector<std::uint8_t> out = {99};
    copyPayloadRange(file, 0, 3, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{10, 11, 12}));
    copyPayloadRange(file, 2, 100, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{12, 13}));
    copyPayloadRange(file, 4, 1, out);
    EXPECT_TRUE(out.empty());
    copyPayloadRange(file, ~std::uint64_t{0}, 1, out);
    EXPECT_TRUE(out.empty());
    copyPayloadRange(file, ~std::uint64_t{0} - 1, 1, out);
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace platter
