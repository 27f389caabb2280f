#include "platter/formats/disk71.hpp"

#include <gtest/gtest.h>

#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"

namespace platter {
namespace {

using D71Image = test_support::ImageOf<Disk71>;
using test_support::patternBytes;

std::vector<std::uint8_t> hello() { return {0x01, 0x08, 'h', 'e', 'l', 'l', 'o'}; }

TEST(Disk71Fixture, CbmconvertImageReadsAcrossBothSides) {
    D71Image image = D71Image::fromFixture("d71/c.d71");
    EXPECT_EQ(image.disk->lastError(), 0u);
    EXPECT_EQ(image.disk->blocksFree(), 557u);
    EXPECT_EQ(image.file(0), hello());
    // Its chain runs over tracks 19-59, through the BAM track 53.
    EXPECT_EQ(image.file(1), patternBytes(200000, 1));
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(1, false, entry));
    std::vector<track_sector_t> blocks;
    ASSERT_TRUE(image.disk->readEntry(entry, &blocks).whole());
    EXPECT_TRUE(std::any_of(blocks.begin(), blocks.end(), [](const track_sector_t& b) { return b.track == 53; }));
}

TEST(Disk71Fixture, ZeroSecondSideCountsAreKeptButNeverWrap) {
    // cc1541 stores 0 for every second-side count and free bits in the maps.
    D71Image image = D71Image::fromFixture("d71/t.d71");
    EXPECT_EQ(image.file(1), patternBytes(200000, 1));
    EXPECT_EQ(image.disk->blocksFree(), 0u);
    ASSERT_TRUE(image.disk->isBlockFree(makeBlock(60, 0)));
    ASSERT_TRUE(image.disk->toggleBlock(makeBlock(60, 0)));
    // The count follows the map (18 sectors, one now used) instead of 0 - 1 = 255.
    EXPECT_EQ(image.block(18, 0)[0xdd + 60 - 36], 17);
    EXPECT_EQ(image.disk->blocksFree(), 17u);
}

TEST(Disk71Layout, GeometryAndSizes) {
    D71Image image = D71Image::blank();
    Disk71& disk = *image.disk;
    EXPECT_FALSE(disk.isValidBlock(makeBlock(70, 17)));
    EXPECT_FALSE(disk.isValidBlock(makeBlock(71, 0)));
    EXPECT_TRUE(disk.isBamBlock(makeBlock(53, 0)));
    EXPECT_FALSE(disk.extendDisk(true));

    std::vector<std::uint8_t> bytes = image.bytes();
    std::vector<std::uint8_t> errors(Disk71::kBlocks, 1);
    errors.back() = 5;
    bytes.insert(bytes.end(), errors.begin(), errors.end());
    D71Image withErrors = D71Image::fromBytes(bytes);
    EXPECT_EQ(withErrors.disk->lastError(), 0u);
    EXPECT_TRUE(withErrors.disk->hasErrorBytes());
    EXPECT_EQ(withErrors.disk->errorCode(makeBlock(70, 16)), 5);
    EXPECT_EQ(withErrors.disk->errorCode(makeBlock(53, 0)), 1);

    bytes.resize(Disk71::kSize + 683);
    EXPECT_TRUE(D71Image::fromBytes(bytes).disk->damage().sizeUnknown);
}

TEST(Disk71Format, NewImage) {
    D71Image image = D71Image::blank();
    Disk71& disk = *image.disk;
    EXPECT_EQ(image.bytes().size(), Disk71::kSize);
    EXPECT_EQ(disk.blocksFree(), 1328u);
    EXPECT_EQ(image.block(18, 0)[3], 0x80);
    EXPECT_EQ(image.block(18, 1)[1], 0xff);
    for (std::uint64_t s = 0; s < 19; ++s) EXPECT_FALSE(disk.isBlockFree(makeBlock(53, s)));
    EXPECT_TRUE(disk.isBlockFree(makeBlock(54, 0)));
    EXPECT_FALSE(disk.isModified());
}

TEST(Disk71Allocation, ZonesThenEveryTrackBeforeFull) {
    D71Image image = D71Image::blank();
    Disk71& disk = *image.disk;
    const std::vector<track_sector_t> first = image.allocate(2);
    EXPECT_EQ(first[0], makeBlock(17, 0));
    EXPECT_EQ(first[1], makeBlock(17, 10));
    // A chain whose last block is on track 35 goes on there, then at 52 downward.
    track_sector_t at = makeBlock(35, 0);
    ASSERT_TRUE(disk.allocateBlock(at, true));
    EXPECT_EQ(at, makeBlock(35, 0));
    for (std::uint64_t s = 0; s < 17; ++s)
        if (disk.isBlockFree(makeBlock(35, s))) disk.toggleBlock(makeBlock(35, s));
    at = makeBlock(35, 0);
    ASSERT_TRUE(disk.allocateBlock(at, true));
    EXPECT_EQ(at, makeBlock(52, 0));

    // With tracks 54-70 full a chain there continues in the first-block order
    // instead of reporting a full disk.
    for (std::uint64_t t = 54; t <= 70; ++t)
        for (std::uint64_t s = 0; s < Disk71::sectorsOnSide(t); ++s)
            if (disk.isBlockFree(makeBlock(t, s))) disk.toggleBlock(makeBlock(t, s));
    at = makeBlock(60, 3);
    ASSERT_TRUE(disk.allocateBlock(at, false));
    EXPECT_EQ(at, makeBlock(17, 11));

    // Every data block of the disk is handed out once, never one of track 18 or 53.
    D71Image fresh = D71Image::blank();
    const std::vector<track_sector_t> all = fresh.allocate(2000);
    EXPECT_EQ(all.size(), 1328u);
    EXPECT_EQ(fresh.disk->blocksFree(), 0u);
    EXPECT_TRUE(
        std::none_of(all.begin(), all.end(), [](const track_sector_t& b) { return b.track == 18 || b.track == 53; }));
}

TEST(Disk71Bam, SnapshotUndoRestoresBothBlocksInPlace) {
    D71Image image = D71Image::blank();
    Disk71& disk = *image.disk;
    const std::vector<std::uint8_t> before = image.bytes();
    disk.snapshotBam();
    // Written behind the journal's back: only the snapshot can bring them back.
    image.block(53, 0)[10] = 0;
    image.block(18, 0)[4] = 0;
    ASSERT_NE(image.bytes(), before);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
}

}  // namespace
}  // namespace platter
