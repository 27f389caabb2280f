#include "forge/crc32.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "tests/support/bytes.hpp"

namespace {

using test_support::bytesOf;

TEST(Crc32, CheckValueAndEmptyInput) {
    EXPECT_EQ(forge::crc32(0, bytesOf("123456789")), 0xCBF43926u);
    EXPECT_EQ(forge::crc32(0, {}), 0u);
    EXPECT_EQ(forge::crc32(0x12345678, {}), 0x12345678u);
}

TEST(Crc32, TablesAreBuiltOnceWhateverPolynomialLaterCallsPass) {
    const forge::crc32_tables_t& first = forge::crc32Tables();
    EXPECT_EQ(&forge::crc32Tables(0x04C11DB7), &first);
    EXPECT_EQ(first[0][1], 0x77073096u);
}

TEST(Crc32, SlicedUpdateEqualsBytewiseAndSplitRanges) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(100);
    for (auto& byte : data) {
        byte = static_cast<std::uint8_t>(random());
    }
    for (std::size_t length = 0; length <= data.size(); ++length) {
        const std::span<const std::uint8_t> range(data.data(), length);
        std::uint32_t bytewise = 0;
        for (const std::uint8_t byte : range) {
            bytewise = forge::crc32Byte(bytewise, byte);
        }
        const std::uint32_t whole = forge::crc32(0, range);
        ASSERT_EQ(whole, bytewise) << "length " << length;
        const std::size_t cut = length / 3;
        EXPECT_EQ(forge::crc32(forge::crc32(0, range.first(cut)), range.subspan(cut)), whole) << "length " << length;
    }
}

}  // namespace
