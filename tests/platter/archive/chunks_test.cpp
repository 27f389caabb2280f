#include "platter/archive/chunks.hpp"

#include <gtest/gtest.h>

#include "archive_test_support.hpp"

namespace platter::test {
namespace {

TEST(JoinChunks, FollowsTheContinuationBit) {
    const bytes_t input{0x02, 0x80, 'A', 'B', 0x00, 0x80, 0x01, 0x00, 'C', 'x'};
    std::size_t consumed = 0;
    bytes_t out;
    ASSERT_TRUE(joinChunks(consumed, out, input));
    EXPECT_EQ(out, text("ABC"));
    EXPECT_EQ(consumed, 9u);

    ASSERT_TRUE(joinChunks(consumed, out, bytes_t{0x00, 0x00}));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(consumed, 2u);
}

TEST(JoinChunks, FailsPastTheInput) {
    std::size_t consumed = 0;
    bytes_t out;
    EXPECT_FALSE(joinChunks(consumed, out, bytes_t{}));
    EXPECT_FALSE(joinChunks(consumed, out, bytes_t{0x01}));
    EXPECT_FALSE(joinChunks(consumed, out, bytes_t{0x03, 0x00, 'A', 'B'}));
    EXPECT_FALSE(joinChunks(consumed, out, bytes_t{0x01, 0x80, 'A'}));  // another chunk promised
}

TEST(ScanDecimal, SkipsToTheFirstDigitAndReadsSixAtMost) {
    const bytes_t digits = text("  x12 \r");
    std::size_t cursor = 0;
    EXPECT_EQ(scanDecimal(digits, cursor), 12);
    EXPECT_EQ(cursor, 5u);

    const bytes_t carriageReturn = text(" \r5");
    cursor = 0;
    EXPECT_EQ(scanDecimal(carriageReturn, cursor), 0);
    EXPECT_EQ(cursor, 1u);

    const bytes_t seven = text("1234567");
    cursor = 0;
    EXPECT_EQ(scanDecimal(seven, cursor), 123456);
    EXPECT_EQ(cursor, 6u);

    cursor = 0;
    EXPECT_EQ(scanDecimal(bytes_t{}, cursor), 0);
    EXPECT_EQ(cursor, 0u);
}

}  // namespace
}  // namespace platter::test
