#include "platter/archive/lzhuf.hpp"

#include <gtest/gtest.h>

#include <utility>

#include "archive_test_support.hpp"
#include "platter/archive/lzhuf_tree.hpp"

namespace platter::test {
namespace {

// The code of a symbol in the tree every entry starts with (8 or 9 bits),
// found by decoding every 9-bit string.
std::pair<std::uint32_t, unsigned> firstCode(std::uint32_t symbol) {
    const auto decodes = [](std::uint32_t bits9) {
        const bytes_t bytes{static_cast<std::uint8_t>(bits9 >> 1), static_cast<std::uint8_t>((bits9 & 1) << 7)};
        MsbBitReader bits(bytes);
        LzhufTree tree;
        std::uint32_t decoded = 0;
        return tree.decodeSymbol(bits, decoded) ? decoded : 0xFFFFFFFF;
    };
    for (std::uint32_t bits9 = 0; bits9 < 512; ++bits9) {
        if (decodes(bits9) != symbol) continue;
        if (decodes(bits9 ^ 1) == symbol) return {bits9 >> 1, 8};
        return {bits9, 9};
    }
    return {0, 0};
}

// One match as the first symbol: length 3 + (symbol - 256), at a position
// below 64 (the 3-bit code 000 and 6 plain bits).
bytes_t firstMatch(std::uint32_t symbol, std::uint32_t position) {
    const auto [code, width] = firstCode(symbol);
    TestBits bits(false);
    bits.put(code, width).put(0, 3).put(position, 6);
    return bits.bytes();
}

TEST(Lzhuf, MatchBeforeTheFirstByteCopiesSpaces) {
    ASSERT_NE(firstCode(257).second, 0u);
    bytes_t out;
    ASSERT_TRUE(lzhufDecode(firstMatch(257, 9), 4, out));
    EXPECT_EQ(out, text("    "));
}

TEST(Lzhuf, MatchPastTheUnpackedSizeFails) {
    bytes_t out;
    EXPECT_FALSE(lzhufDecode(firstMatch(257, 0), 3, out));
    // Bits running out before the size is reached.
    EXPECT_FALSE(lzhufDecode(firstMatch(257, 0), 5, out));
}

}  // namespace
}  // namespace platter::test
