#include "platter/picture/rle.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

TEST(UnpackRle, ExpandsRunsInEitherOrder) {
    rle_format_t valueFirst{0, 0, 0xFE, false, 1, 0x6000};
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(unpackRle(std::vector<std::uint8_t>{0xAA, 1, 0xFE, 7, 3, 2}, out, valueFirst));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x00, 0x60, 1, 7, 7, 7, 2}));
    // A count of 0 ends the data.
    ASSERT_TRUE(unpackRle(std::vector<std::uint8_t>{0, 1, 0xFE, 7, 0, 2}, out, valueFirst));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x00, 0x60, 1}));
    EXPECT_FALSE(unpackRle(std::vector<std::uint8_t>{0, 1, 0xFE, 7}, out, valueFirst));

    rle_format_t countFirst{0, 0, 0x9B, true, 0, 0};
    ASSERT_TRUE(unpackRle(std::vector<std::uint8_t>{0x9B, 2, 5}, out, countFirst));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{5, 5}));
    EXPECT_TRUE(unpackRle(std::vector<std::uint8_t>{4, 0x9B, 0}, out, countFirst));
    EXPECT_FALSE(unpackRle(std::vector<std::uint8_t>{4, 0x9B, 1}, out, countFirst));
    EXPECT_FALSE(unpackRle(std::vector<std::uint8_t>{4, 0x9B}, out, countFirst));
}

}  // namespace
}  // namespace platter
