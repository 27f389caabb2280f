#include "app/block_map.hpp"

#include "tests/support/d64_image.hpp"

#include <gtest/gtest.h>

#include <array>

namespace app {
namespace {

std::array<std::uint8_t, 256> filled(std::uint8_t first, std::uint8_t rest) {
    std::array<std::uint8_t, 256> block;
    block.fill(rest);
    block[0] = first;
    return block;
}

TEST(BlankBlock, FillPatternsAreBlank) {
    EXPECT_TRUE(isBlankBlock(filled(0x00, 0x00)));
    EXPECT_TRUE(isBlankBlock(filled(0x4B, 0x01)));
    EXPECT_TRUE(isBlankBlock(filled(0x00, 0x01)));
    EXPECT_TRUE(isBlankBlock(filled(0x41, 0x01)));
}

TEST(BlankBlock, OtherContentIsNot) {
    EXPECT_FALSE(isBlankBlock(filled(0x01, 0x01)));
    EXPECT_FALSE(isBlankBlock(filled(0x4B, 0x00)));
    EXPECT_FALSE(isBlankBlock(filled(0x41, 0x00)));
    EXPECT_FALSE(isBlankBlock(filled(0x00, 0x02)));
    auto lastDiffers = filled(0x4B, 0x01);
    lastDiffers[255] = 0x02;
    EXPECT_FALSE(isBlankBlock(lastDiffers));
    auto secondDiffers = filled(0x00, 0x00);
    secondDiffers[1] = 0x01;  // byte 1 sets the fill, so byte 2 on must follow it
    EXPECT_FALSE(isBlankBlock(secondDiffers));
}

class BlockMapTest : public ::testing::Test {
protected:
    static BlockMap scanned(platter::Disk& disk) {
        BlockMap map(disk);
        map.measure();
        map.scan();
        return map;
    }
};

TEST_F(BlockMapTest, LoopingDirectoryStillEnds) {
    std::vector<std::uint8_t> bytes = test_support::readFixture("bam/files.d64");
    const std::size_t directory = test_support::d64Offset(18, 1);
    bytes[directory] = 18;
    bytes[directory + 1] = 1;  // links to itself
    auto disk = test_support::openD64(bytes);
    ASSERT_TRUE(disk);
    const BlockMap map = scanned(*disk);
    EXPECT_EQ(map.cell(18, 0).inChain, 1);
    EXPECT_EQ(map.cell(18, 1).inChain, 1);
    EXPECT_EQ(map.cell(18, 2).inChain, 0);
}

TEST_F(BlockMapTest, ChainLeavingTheImageMarksWhatItRead) {
    std::vector<std::uint8_t> bytes = test_support::readFixture("bam/files.d64");
    const std::size_t directory = test_support::d64Offset(18, 1);
    bytes[directory] = 99;  // no such track
    bytes[directory + 1] = 0;
    auto disk = test_support::openD64(bytes);
    ASSERT_TRUE(disk);
    const BlockMap map = scanned(*disk);
    EXPECT_EQ(map.cell(18, 1).inChain, 1);
}

}  // namespace
}  // namespace app
