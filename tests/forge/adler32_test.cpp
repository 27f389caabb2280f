#include "forge/adler32.hpp"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "tests/support/bytes.hpp"

namespace {

using test_support::bytesOf;

// Reduced at every byte, as RFC 1950 states it.
std::uint32_t slowAdler(std::uint32_t adler, std::span<const std::uint8_t> bytes) {
    std::uint32_t a = adler & 0xFFFF;
    std::uint32_t b = adler >> 16;
    for (const std::uint8_t byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

TEST(Adler32, KnownValues) {
    EXPECT_EQ(forge::adler32(1, bytesOf("abc")), 0x024D0127u);
    EXPECT_EQ(forge::adler32(1, {}), 1u);
    const std::uint8_t zeros[] = {0, 0};
    EXPECT_EQ(forge::adler32(1, zeros), 0x00020001u);
}

TEST(Adler32, LongRunsOfHighBytesStayExact) {
    // Long enough to need the deferred reductions, from the largest start values.
    const std::vector<std::uint8_t> bytes(100'000, 0xFF);
    EXPECT_EQ(forge::adler32(1, bytes), slowAdler(1, bytes));
    EXPECT_EQ(forge::adler32(0xFFF0FFF0, bytes), slowAdler(0xFFF0FFF0, bytes));
}

}  // namespace
