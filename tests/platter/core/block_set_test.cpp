#include <gtest/gtest.h>

#include "platter/core/block_set.hpp"

namespace platter {
namespace {

TEST(BlockSet, HoldsEveryBlockOnceThroughEveryGrowth) {
    BlockSet set;
    for (std::uint64_t track = 1; track <= 80; ++track)
        for (std::uint64_t sector = 0; sector < 40; ++sector) EXPECT_TRUE(set.insert(makeBlock(track, sector)));
    for (std::uint64_t track = 1; track <= 80; ++track)
        for (std::uint64_t sector = 0; sector < 40; ++sector) EXPECT_FALSE(set.insert(makeBlock(track, sector)));
    EXPECT_TRUE(set.insert(makeBlock(0, 0)));
    EXPECT_TRUE(set.insert(makeBlock(255, 255)));
    EXPECT_FALSE(set.insert(makeBlock(0, 0)));
}

}  // namespace
}  // namespace platter
