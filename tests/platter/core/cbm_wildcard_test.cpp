#include "platter/core/cbm_wildcard.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

bool matches(std::string_view pattern, std::string_view name) {
    std::array<std::uint8_t, 16> padded;
    padded.fill(0xA0);
    std::copy(name.begin(), name.end(), padded.begin());
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(pattern.data()), pattern.size());
    return cbmWildcardMatch(bytes, padded);
}

TEST(CbmWildcardMatch, FollowsDosRules) {
    EXPECT_TRUE(matches("*", "ANYTHING"));
    EXPECT_TRUE(matches("*", ""));
    EXPECT_TRUE(matches("A*", "A"));
    EXPECT_TRUE(matches("A*", "ABC"));
    EXPECT_TRUE(matches("A?C", "ABC"));
    EXPECT_FALSE(matches("A?C", "AC"));
    EXPECT_FALSE(matches("ABC", "AB"));
    EXPECT_FALSE(matches("AB", "ABC"));
    EXPECT_TRUE(matches("A*C", "ABBC"));
    EXPECT_FALSE(matches("A*C", "ABD"));
    EXPECT_TRUE(matches("", ""));
    EXPECT_FALSE(matches("", "A"));
    EXPECT_TRUE(matches("AB??", "AB"));
    EXPECT_FALSE(matches("AB?X", "AB"));
}

}  // namespace
}  // namespace platter
