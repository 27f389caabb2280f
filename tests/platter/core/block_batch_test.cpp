#include "platter/core/block_batch.hpp"

#include "platter/core/disk.hpp"
#include "platter/open/open_container.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace platter {
namespace {

// Blocks read in batches are the bytes the image's pointers give, blocks that follow one another
// in the image lie one after another in the batch, and a block the image lacks has none.
TEST(BlockBatch, GivesTheBytesOfEachBlockInTheOrderAdded) {
    auto disk = test_support::openD64(test_support::readFixture("bam/files.d64"));
    ASSERT_TRUE(disk);
    const std::vector<track_sector_t> blocks{makeBlock(17, 20), makeBlock(18, 0), makeBlock(18, 1), makeBlock(36, 0),
                                             makeBlock(1, 0),   makeBlock(18, 1)};
    BlockBatch batch(*disk, true, blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) EXPECT_EQ(batch.add(blocks[i]), i + 1 < blocks.size());
    batch.read();
    ASSERT_EQ(batch.count(), blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::uint8_t* expected = disk->readableBlock(blocks[i]);
        if (expected == nullptr) {
            EXPECT_EQ(batch.bytes(i), nullptr) << i;
            continue;
        }
        ASSERT_NE(batch.bytes(i), nullptr) << i;
        EXPECT_TRUE(std::equal(expected, expected + Disk::kBlockSize, batch.bytes(i))) << i;
    }
    EXPECT_EQ(batch.bytes(3), nullptr);
    EXPECT_EQ(batch.bytes(1) + Disk::kBlockSize, batch.bytes(2));
    batch.clear();
    EXPECT_EQ(batch.count(), 0u);
}

// A sector that did not decode holds no data when readable blocks are asked for, and the bytes its
// pointer gives otherwise; a track added whole goes in as far as there is room, in order.
TEST(BlockBatch, ASectorThatDidNotDecodeHasBytesButNoData) {
    const open_result_t opened = openContainerFile(test_support::fixturePath("g64/damaged.nbz"));
    ASSERT_TRUE(opened.disk);
    Disk& disk = *opened.disk;
    ASSERT_FALSE(disk.isBlockReadable(makeBlock(1, 0)));
    constexpr std::uint64_t kRoom = 8;  // the track's 21 sectors fill it twice
    const std::uint64_t sectors = disk.maxSector(1) + 1;
    for (const bool readable : {true, false}) {
        BlockBatch batch(disk, readable, kRoom);
        for (std::uint64_t first = 0; first < sectors; batch.clear()) {
            const std::uint64_t added = batch.addTrack(1, first, sectors - first);
            ASSERT_EQ(added, std::min(kRoom, sectors - first));
            EXPECT_EQ(batch.full(), added == kRoom);
            batch.read();
            for (std::size_t i = 0; i < batch.count(); ++i) {
                ASSERT_EQ(batch.block(i), makeBlock(1, first + i));
                const std::uint8_t* expected = readable ? disk.readableBlock(batch.block(i)) : disk.blockPointer(batch.block(i));
                ASSERT_EQ(batch.bytes(i) != nullptr, expected != nullptr) << i;
                if (expected) {
                    EXPECT_TRUE(std::equal(expected, expected + Disk::kBlockSize, batch.bytes(i))) << i;
                }
            }
            if (first == 0) {
                EXPECT_EQ(batch.bytes(0) == nullptr, readable);
            }
            first += added;
        }
    }
}

}  // namespace
}  // namespace platter
