#include "app/bmh_search.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <vector>

namespace app {
namespace {

std::vector<std::uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }

// A block of 'x' with the text placed at the offset.
std::array<std::uint8_t, 256> blockWith(std::string_view text, std::size_t offset) {
    std::array<std::uint8_t, 256> block;
    block.fill('x');
    for (std::size_t i = 0; i < text.size() && offset + i < block.size(); ++i)
        block[offset + i] = static_cast<std::uint8_t>(text[i]);
    return block;
}

std::vector<std::int64_t> search(std::string_view pattern, const std::array<std::uint8_t, 256>& block) {
    const std::vector<std::uint8_t> p = bytes(pattern);
    skip_table_t table;
    bmhSkipTable(p, table);
    return bmhSearch(p, block, table);
}

TEST(BmhSkipTable, LastOccurrenceBeforeTheEnd) {
    skip_table_t table;
    bmhSkipTable(bytes("abcab"), table);
    EXPECT_EQ(table['a'], 1);
    EXPECT_EQ(table['b'], 3);  // the last 'b' is the pattern's end and does not count
    EXPECT_EQ(table['c'], 2);
    EXPECT_EQ(table['x'], 5);
    bmhSkipTable(bytes("q"), table);
    EXPECT_EQ(table['q'], 1);
    EXPECT_EQ(table['x'], 1);
}

TEST(BmhSearch, MatchesDoNotOverlap) {
    EXPECT_EQ(search("aaaa", blockWith("aaaaaaaa", 0)), (std::vector<std::int64_t>{0, 4}));
    EXPECT_EQ(search("aa", blockWith("aaa", 10)), (std::vector<std::int64_t>{10}));
}

TEST(BmhSearch, EveryPlaceOfAShortPattern) {
    EXPECT_EQ(search("q", blockWith("q q", 0)), (std::vector<std::int64_t>{0, 2}));
    EXPECT_EQ(search("x", blockWith("", 0)).size(), 256u);
    EXPECT_EQ(search("x", blockWith("", 0)).back(), 255);
}

TEST(BmhSearch, WholeBlockPattern) {
    const std::array<std::uint8_t, 256> block = blockWith("hello", 100);
    const std::vector<std::uint8_t> pattern(block.begin(), block.end());
    skip_table_t table;
    bmhSkipTable(pattern, table);
    EXPECT_EQ(bmhSearch(pattern, block, table), (std::vector<std::int64_t>{0}));
    std::vector<std::uint8_t> other = pattern;
    other[0] = 'y';
    bmhSkipTable(other, table);
    EXPECT_TRUE(bmhSearch(other, block, table).empty());
}

TEST(BmhSearch, PartialMatchAtTheEnd) {
    EXPECT_EQ(search("cross", blockWith("cro", 253)), (std::vector<std::int64_t>{-253}));
    std::array<std::uint8_t, 256> block = blockWith("hello", 200);
    block[255] = 'h';
    EXPECT_EQ(search("hello", block), (std::vector<std::int64_t>{200, -255}));
    EXPECT_TRUE(search("cross", blockWith("crx", 253)).empty());
}

TEST(BmhSearch, TailMismatchNeverStepsOverAPartialMatch) {
    // After a mismatch on a byte the pattern holds, the window moves only as
    // far as that byte allows: the lone "a" at 255 is still found.
    std::array<std::uint8_t, 256> block = blockWith("bbbxba", 250);
    EXPECT_EQ(search("aba", block), (std::vector<std::int64_t>{-255}));
    block = blockWith("abab", 252);
    EXPECT_EQ(search("abac", block), (std::vector<std::int64_t>{-254}));
}

TEST(BmhSearch, PartialMatchAfterAWholeOne) {
    EXPECT_EQ(search("abc", blockWith("abcab", 251)), (std::vector<std::int64_t>{251, -254}));
}

}  // namespace
}  // namespace app
