#include "app/block_pattern_search.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string_view>
#include <vector>

namespace app {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kBlock = BlockPatternSearch::kBlockSize;

struct hit_t {
    std::size_t block;
    std::size_t offset;
    bool partial;
    bool operator==(const hit_t&) const = default;
};

std::vector<hit_t> scan(const Bytes& pattern, const Bytes& run, std::size_t limit = SIZE_MAX) {
    std::vector<hit_t> hits;
    BlockPatternSearch(pattern).scan(run, [&](const block_hit_t& hit) {
        hits.push_back({hit.block, hit.offset, hit.partial});
        return hits.size() < limit;
    });
    return hits;
}

// The rule, block by block and byte by byte.
std::vector<hit_t> reference(const Bytes& pattern, const Bytes& run) {
    std::vector<hit_t> hits;
    const std::size_t m = pattern.size();
    for (std::size_t b = 0; b < run.size() / kBlock; ++b) {
        const auto block = run.begin() + static_cast<std::ptrdiff_t>(b * kBlock);
        std::size_t p = 0;
        for (; p + m <= kBlock; ++p) {
            if (std::equal(pattern.begin(), pattern.end(), block + static_cast<std::ptrdiff_t>(p))) {
                hits.push_back({b, p, false});
                p += m - 1;
            }
        }
        for (; p < kBlock; ++p) {
            if (std::equal(block + static_cast<std::ptrdiff_t>(p), block + kBlock, pattern.begin())) {
                hits.push_back({b, p, true});
                break;
            }
        }
    }
    return hits;
}

Bytes text(std::string_view s) { return {s.begin(), s.end()}; }

// Blocks of 'x' with the text placed at the offset of the run.
Bytes runWith(std::size_t blocks, std::string_view s, std::size_t offset) {
    Bytes run(blocks * kBlock, 'x');
    std::copy(s.begin(), s.end(), run.begin() + static_cast<std::ptrdiff_t>(offset));
    return run;
}

TEST(BlockPatternSearch, MatchesDoNotOverlapAndResumePastTheLast) {
    EXPECT_EQ(scan(text("aaaa"), runWith(1, "aaaaaaaa", 0)), (std::vector<hit_t>{{0, 0, false}, {0, 4, false}}));
    EXPECT_EQ(scan(text("x"), runWith(2, "", 0)).size(), 2 * kBlock);
    // A whole-block pattern; block 0's last 100 bytes are its start.
    const Bytes whole(runWith(1, "hello", 100));
    EXPECT_EQ(scan(whole, runWith(2, "hello", 356)), (std::vector<hit_t>{{0, 156, true}, {1, 0, false}}));
}

TEST(BlockPatternSearch, AMatchAcrossBlocksInMemoryIsOnlyAPartialMatch) {
    // "cro" ends block 0 and "ss" starts block 1: block 1's first bytes are its
    // link, so only the partial match of block 0 counts.
    EXPECT_EQ(scan(text("cross"), runWith(2, "crossing", 253)), (std::vector<hit_t>{{0, 253, true}}));
    // A partial match overlapping a whole match is not one: "aba" at 253 is passed over.
    EXPECT_EQ(scan(text("abab"), runWith(1, "ababab", 250)), (std::vector<hit_t>{{0, 250, false}, {0, 254, true}}));
    EXPECT_EQ(scan(text("abab"), runWith(1, "xababa", 250)), (std::vector<hit_t>{{0, 251, false}, {0, 255, true}}));
}

TEST(BlockPatternSearch, StopsWhenAskedTo) {
    EXPECT_EQ(scan(text("x"), runWith(3, "", 0), 5).size(), 5u);
    EXPECT_EQ(scan(text("q"), runWith(3, "q", 767), 1), (std::vector<hit_t>{{2, 255, false}}));
}

TEST(BlockPatternSearch, SameHitsAsTheRuleOnRandomBlocks) {
    std::mt19937 random(25);
    for (int round = 0; round < 300; ++round) {
        // Two letters make matches, overlaps and partial matches common.
        const std::size_t blocks = 1 + random() % 4;
        Bytes run(blocks * kBlock);
        for (std::uint8_t& byte : run) byte = static_cast<std::uint8_t>('a' + random() % 2);
        Bytes pattern(1 + (round % 3 == 0 ? random() % 256 : random() % 6));
        for (std::uint8_t& byte : pattern) byte = static_cast<std::uint8_t>('a' + random() % 2);
        if (round % 5 == 0 && blocks > 1) {
            // Plant a long pattern across a block end.
            const std::size_t at = kBlock - pattern.size() / 2 - 1;
            std::copy(pattern.begin(), pattern.end(), run.begin() + static_cast<std::ptrdiff_t>(at));
        }
        ASSERT_EQ(scan(pattern, run), reference(pattern, run)) << "round " << round;
    }
}

}  // namespace
}  // namespace app
