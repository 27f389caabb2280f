#include "platter/archive/zipcode_block.hpp"

#include <gtest/gtest.h>

#include <numeric>

namespace platter {
namespace {

using bytes = std::vector<std::uint8_t>;
using block_t = std::array<std::uint8_t, 256>;

// The 256 values in an order without two equal neighbours.
block_t allValues() {
    block_t block;
    std::iota(block.begin(), block.end(), std::uint8_t{0});
    return block;
}

// `literals` bytes without a run of two, then one run of the rest.
block_t literalsThenRun(std::size_t literals, std::uint8_t runValue) {
    block_t block;
    for (std::size_t i = 0; i < literals; ++i) block[i] = static_cast<std::uint8_t>(i % 2 ? 0x80 : 1 + i % 100);
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(literals), block.end(), runValue);
    return block;
}

bytes record(const block_t& block, std::uint8_t marker) {
    bytes out;
    appendZipcodeRecord(out, packZipcodeBlock(block), 3, 7, marker);
    return out;
}

TEST(ZipcodeBlock, UniformBlocksAreFillRecords) {
    block_t block{};
    EXPECT_EQ(record(block, 0), (bytes{3 | 0x40, 7, 0x00}));
    block.fill(0xA5);
    EXPECT_EQ(record(block, 0), (bytes{3 | 0x40, 7, 0xA5}));
}

// Groups of `run` equal bytes, each followed by one other byte.
block_t groups(std::size_t run) {
    block_t block;
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i % (run + 1) == run ? 0xF0 : i / (run + 1));
    return block;
}

TEST(ZipcodeBlock, BlocksWithoutARunOfFourAreStored) {
    const bytes every = record(allValues(), 0);
    ASSERT_EQ(every.size(), 258u);
    EXPECT_EQ(every[0], 3);
    EXPECT_EQ(every[1], 7);
    EXPECT_TRUE(std::equal(every.begin() + 2, every.end(), allValues().begin()));
    EXPECT_EQ(packZipcodeBlock(groups(3)).mode, zipcode_mode::Stored);
}

TEST(ZipcodeBlock, RunsOfFourOrMoreBecomeTokens) {
    const zipcode_record_t fours = packZipcodeBlock(groups(4));
    ASSERT_EQ(fours.mode, zipcode_mode::Runs);
    EXPECT_EQ(fours.packed.size(), 51u * 4 + 1);  // 51 tokens and literals, then the last byte
    EXPECT_EQ(fours.markerAt.size(), 51u);

    block_t runs{};
    runs[0] = 9;
    runs[255] = 9;  // 9, 254 zeros, 9
    EXPECT_EQ(record(runs, 0x42), (bytes{3 | 0x80, 7, 5, 0x42, 9, 0x42, 254, 0, 9}));
}

TEST(ZipcodeBlock, PackedLength253IsRunLength254IsStored) {
    // 250 literals and a run of 6: 253 packed bytes.
    const zipcode_record_t below = packZipcodeBlock(literalsThenRun(250, 0x33));
    EXPECT_EQ(below.mode, zipcode_mode::Runs);
    EXPECT_EQ(below.packed.size(), 253u);
    // 251 literals and a run of 5: 254.
    EXPECT_EQ(packZipcodeBlock(literalsThenRun(251, 0xEE)).mode, zipcode_mode::Stored);
}

byte_set_t allBut(std::uint8_t a, std::uint8_t b) {
    byte_set_t set;
    for (unsigned v = 0; v < 256; ++v) {
        if (v != a && v != b) set.add(static_cast<std::uint8_t>(v));
    }
    return set;
}

TEST(ZipcodeBlock, MarkersNeverOccurInTheirBlock) {
    const block_t block = literalsThenRun(100, 0);  // holds 0, the odd values 1-99 and 0x80
    const zipcode_record_t packed = packZipcodeBlock(block);
    ASSERT_EQ(packed.mode, zipcode_mode::Runs);
    EXPECT_EQ(lowestUnusedByte(packed.present), 2);

    const bytes out = record(block, 2);
    EXPECT_EQ(out[3], 2);
    EXPECT_EQ(out[4 + 100], 2);    // the token's marker
    EXPECT_EQ(out[4 + 101], 156);  // its run length
}

TEST(ZipcodeBlock, DiskWideMarkersTakeTheRarestValueFirst) {
    block_t other{};
    other[0] = 0xFE;  // 0xFE and 255 zeros
    block_t stored = allValues();
    const std::vector<zipcode_record_t> disk = {packZipcodeBlock(literalsThenRun(100, 0)), packZipcodeBlock(other),
                                                packZipcodeBlock(stored)};
    // Counts over the run-length records only: 0 in two, 1 and 0xFE in one, 2 in none.
    const ZipcodeMarkerOrder order(disk);
    EXPECT_EQ(order.markerFor(allBut(0x01, 0x02)), 0x02);
    EXPECT_EQ(order.markerFor(allBut(0x00, 0xFE)), 0xFE);
    EXPECT_EQ(order.markerFor(allBut(0x90, 0x81)), 0x81);  // equal counts: lower value first
    EXPECT_EQ(order.markerFor(allBut(0x03, 0x01)), 0x01);
}

}  // namespace
}  // namespace platter
