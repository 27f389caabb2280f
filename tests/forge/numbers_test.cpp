#include "forge/numbers.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Numbers, IsNumber) {
    for (const char* yes : {"$1F", "0x1f", "%101", "0", "123"}) EXPECT_TRUE(forge::isNumber(yes, 0)) << yes;
    for (const char* no : {"$", "0x", "%102", "", "12a", "-1", " 1"}) EXPECT_FALSE(forge::isNumber(no, 0)) << no;
    EXPECT_FALSE(forge::isNumber("$f", 16));
    EXPECT_FALSE(forge::isNumber("12", 8));
}

TEST(Numbers, ParseNumberRefusesOverflow) {
    EXPECT_EQ(forge::parseNumber("0x1F"), 31);
    EXPECT_EQ(forge::parseNumber("%101"), 5);
    EXPECT_EQ(forge::parseNumber("12a"), -1);
    EXPECT_EQ(forge::parseNumber("$FFFFFFFFFF"), 0xFFFFFFFFFFLL);
    EXPECT_EQ(forge::parseNumber("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(forge::parseNumber("9223372036854775808"), -1);
    EXPECT_EQ(forge::parseNumber("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(forge::parseUnsigned("ff", 16), 255);
    EXPECT_EQ(forge::parseUnsigned("10z", 10), -1);
    EXPECT_EQ(forge::parseUnsigned("-1", 10), -1);
}

TEST(Numbers, CountDigits) {
    EXPECT_EQ(forge::countDigits(std::int32_t{0}), 1u);
    EXPECT_EQ(forge::countDigits(std::int32_t{-100}), 4u);
    EXPECT_EQ(forge::countDigits(std::numeric_limits<std::int32_t>::min()), 11u);
    EXPECT_EQ(forge::countDigits(std::uint64_t{999999999999999}), 15u);
    EXPECT_EQ(forge::countDigits(std::uint64_t{1000000000000000}), 16u);
    EXPECT_EQ(forge::countDigits(std::numeric_limits<std::uint64_t>::max()), 20u);
}

TEST(Numbers, HumanReadableSize) {
    EXPECT_EQ(forge::humanReadableSize(1023, 1), "1023");
    EXPECT_EQ(forge::humanReadableSize(1536, 1), "1.5K");
    EXPECT_EQ(forge::humanReadableSize(174848, 0), "171K");
    EXPECT_EQ(forge::humanReadableSize(1048524, 1), "1023.9K");
    EXPECT_EQ(forge::humanReadableSize(1048525, 1), "1.0M");
    EXPECT_EQ(forge::humanReadableSize(std::numeric_limits<std::uint64_t>::max(), 1), "16.0E");
}

TEST(Numbers, Hex) {
    EXPECT_EQ(forge::toHex(0x1F, 0), "1f");
    EXPECT_EQ(forge::toHex(0x12345, 0), "012345");
    EXPECT_EQ(forge::toHex(5, 4), "0005");
    EXPECT_EQ(forge::toHex(0x12345, 2), "45");
    EXPECT_EQ(forge::toHex(0, 0), "00");
    EXPECT_EQ(forge::toHex(~0ULL, 0), "ffffffffffffffff");
    EXPECT_EQ(forge::toHex(0xAB, 100), std::string(98, '0') + "ab");

    const std::vector<std::uint8_t> bytes = {0x00, 0x0f, 0xa0, 0xff};
    EXPECT_EQ(forge::hexToBytes("000fa0ff"), bytes);
    EXPECT_EQ(forge::hexToBytes("A0 f 1-23"), (std::vector<std::uint8_t>{0xa0, 0x0f, 0x01, 0x23}));
    EXPECT_EQ(forge::hexToBytes("abc"), (std::vector<std::uint8_t>{0xab, 0x0c}));
}

}  // namespace
