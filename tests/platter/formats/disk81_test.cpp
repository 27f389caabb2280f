#include "platter/formats/disk81.hpp"

#include <gtest/gtest.h>

#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"

namespace platter {
namespace {

using D81Image = test_support::ImageOf<Disk81>;
using test_support::patternBytes;

// Enters the entry at `index` (a 1581 partition) of the current directory.
void enter(Disk& disk, std::uint64_t index) {
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(index, false, entry));
    track_sector_t first;
    ASSERT_TRUE(disk.openDirectory(entry, first, false));
}

TEST(Disk81Fixture, ToolImagesListAndRead) {
    D81Image converted = D81Image::fromFixture("d81/c.d81");
    EXPECT_EQ(converted.disk->lastError(), 0u);
    EXPECT_EQ(converted.disk->blocksFree(), 2922u);
    EXPECT_EQ(converted.file(1), patternBytes(60000, 2));

    D81Image made = D81Image::fromFixture("d81/p.d81");
    EXPECT_EQ(made.file(1), patternBytes(60000, 2));
    EXPECT_EQ(made.disk->blocksFree(), 2922u - 120u);
    // The partition on tracks 70-72 has its own BAM and directory.
    enter(*made.disk, 2);
    EXPECT_EQ(made.disk->directoryStart(), makeBlock(70, 3));
    EXPECT_EQ(made.disk->blocksFree(), 114u);
    EXPECT_EQ(made.file(0), patternBytes(300, 3));
    EXPECT_TRUE(made.disk->isBamBlock(makeBlock(70, 2)));
    EXPECT_FALSE(made.disk->isBamBlock(makeBlock(40, 1)));
    track_sector_t first = made.allocate(1).at(0);
    EXPECT_EQ(first, makeBlock(71, 0));
}

TEST(Disk81Partition, AnAreaThatIsNotTheImagesIsRefusedWhole) {
    D81Image image = D81Image::fromFixture("d81/bad_parts.d81");
    Disk81& disk = *image.disk;
    const std::vector<std::uint8_t> before = image.bytes();
    const block_range_fault expected[] = {block_range_fault::outsideImage, block_range_fault::directoryTrack,
                                          block_range_fault::outsideImage, block_range_fault::outsideImage,
                                          block_range_fault::pastEnd};
    for (std::uint64_t index = 3; index <= 7; ++index) {
        SCOPED_TRACE(index);
        dir_entry_t entry;
        ASSERT_TRUE(disk.getEntry(index, false, entry));
        EXPECT_EQ(disk.partitionFault(entry), expected[index - 3]);
        EXPECT_TRUE(image.file(index).empty());
        // Freeing its blocks frees none of the image's own.
        std::vector<track_sector_t> blocks;
        EXPECT_FALSE(disk.readFileBlocks(entry, 2, blocks));
        EXPECT_TRUE(blocks.empty());
        track_sector_t first;
        EXPECT_FALSE(disk.openDirectory(entry, first, false));
    }
    EXPECT_EQ(image.bytes(), before);

    dir_entry_t part;
    ASSERT_TRUE(disk.getEntry(2, false, part));
    EXPECT_EQ(disk.partitionFault(part), block_range_fault::none);
    const std::vector<std::uint8_t> tracks70to72(before.begin() + 69 * 40 * 256, before.begin() + 72 * 40 * 256);
    EXPECT_EQ(image.file(2), tracks70to72);
    dir_entry_t file;
    ASSERT_TRUE(disk.getEntry(0, false, file));
    EXPECT_EQ(disk.partitionFault(file), block_range_fault::none);
    EXPECT_EQ(disk.blockRangeFault(0, 0, 0), block_range_fault::none);

    // Cut inside the partition's tracks: its area runs past the end of the bytes.
    D81Image cut = D81Image::fromBytes(std::vector<std::uint8_t>(before.begin(), before.begin() + 71 * 40 * 256));
    EXPECT_EQ(cut.disk->partitionFault(part), block_range_fault::pastEnd);
    EXPECT_TRUE(cut.file(2).empty());
}

TEST(Disk81Partition, WalksInsideEndAtItsAreasEdge) {
    D81Image image = D81Image::fromFixture("d81/bad_inner.d81");
    Disk81& disk = *image.disk;
    EXPECT_TRUE(disk.damage().areaFaults);
    EXPECT_FALSE(disk.damage().maySave());
    EXPECT_TRUE(D81Image::fromFixture("d81/bad_parts.d81").disk->damage().areaFaults);
    EXPECT_TRUE(D81Image::fromFixture("d81/p.d81").disk->damage().maySave());
    // SIZE0, SIZE1, SIZE119, SIZE121 and SECTOR5: no 1581 enters them, and cat reads none.
    const block_range_fault expected[] = {block_range_fault::smallerThanKind, block_range_fault::smallerThanKind,
                                          block_range_fault::smallerThanKind, block_range_fault::notWholeTracks,
                                          block_range_fault::notWholeTracks};
    for (std::uint64_t index = 3; index <= 7; ++index) {
        SCOPED_TRACE(index);
        dir_entry_t entry;
        ASSERT_TRUE(disk.getEntry(index, false, entry));
        EXPECT_EQ(disk.partitionFault(entry), expected[index - 3]);
        EXPECT_EQ(disk.readEntry(entry).outcome, read_outcome::areaFault);
        track_sector_t first;
        EXPECT_FALSE(disk.openDirectory(entry, first, false));
    }

    // Inside PART (tracks 70-72) the blocks of the other tracks are not the walks'.
    enter(disk, 2);
    EXPECT_TRUE(disk.holdsBlock(makeBlock(72, 39)));
    EXPECT_FALSE(disk.holdsBlock(makeBlock(73, 0)));
    EXPECT_FALSE(disk.holdsBlock(makeBlock(1, 0)));
    EXPECT_EQ(disk.directoryStop(), (chain_stop_t{chain_end::leaves, makeBlock(70, 3), makeBlock(75, 0)}));
    EXPECT_EQ(disk.countDirectoryEntries(), 1u);
    dir_entry_t inner;
    ASSERT_TRUE(disk.getEntry(0, false, inner));
    const entry_read_t read = disk.readEntry(inner);
    EXPECT_EQ(read.outcome, read_outcome::cutShort);
    EXPECT_EQ(read.stop, (chain_stop_t{chain_end::leaves, makeBlock(70, 4), makeBlock(1, 0)}));
    const std::vector<std::uint8_t> whole = patternBytes(300, 3);
    EXPECT_EQ(read.bytes, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 254));
    disk.closeDirectory(false);
    EXPECT_TRUE(disk.holdsBlock(makeBlock(1, 0)));
}

TEST(Disk81Layout, SizesAndDirectoryOrder) {
    D81Image image = D81Image::blank();
    std::vector<std::uint8_t> bytes = image.bytes();
    bytes.resize(Disk81::kSize + Disk81::kBlocks, 1);
    bytes.back() = 9;
    D81Image withErrors = D81Image::fromBytes(bytes);
    EXPECT_EQ(withErrors.disk->lastError(), 0u);
    EXPECT_EQ(withErrors.disk->errorCode(makeBlock(80, 39)), 9);
    bytes.resize(Disk81::kSize - 256);
    EXPECT_TRUE(D81Image::fromBytes(bytes).disk->damage().sizeUnknown);

    track_sector_t at = noBlock();
    std::uint64_t visited = 0;
    while (image.disk->nextDirectorySector(at)) ++visited;
    EXPECT_EQ(visited, 37u);
    EXPECT_TRUE(at.isNone());
}

TEST(Disk81Format, NewImageAndAllocation) {
    D81Image image = D81Image::blank();
    Disk81& disk = *image.disk;
    EXPECT_EQ(disk.blocksFree(), 3160u);
    EXPECT_EQ(image.block(40, 1)[0], 40);
    EXPECT_EQ(image.block(40, 1)[1], 2);
    const std::vector<track_sector_t> chain = image.allocate(41);
    EXPECT_EQ(chain[0], makeBlock(39, 0));
    EXPECT_EQ(chain[1], makeBlock(39, 1));
    EXPECT_EQ(chain[40], makeBlock(38, 0));
    EXPECT_EQ(D81Image::blank().allocate(4000).size(), 3160u);

    const std::array<std::uint8_t, 5> id = {'X', 'Y', 0xa0, '3', 'D'};
    disk.setDiskId(id);
    EXPECT_EQ(image.block(40, 0)[0x16], 'X');
    EXPECT_EQ(image.block(40, 1)[4], 'X');
    EXPECT_EQ(image.block(40, 2)[5], 'Y');
}

TEST(Disk81Partition, CreateEnterAndAllocateInside) {
    D81Image image = D81Image::blank();
    Disk81& disk = *image.disk;
    std::uint64_t min = 0, max = 0, current = 1;
    ASSERT_TRUE(disk.sizeRange(min, max, current));
    EXPECT_EQ(min, 120u);
    EXPECT_EQ(current, 0u);
    EXPECT_EQ(disk.defaultSubdirectorySize(), max);

    ASSERT_TRUE(disk.createSubdirectory(0, 159));
    EXPECT_EQ(disk.blocksFree(), 3040u);
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(entry.typeByte(), 0x85);
    EXPECT_EQ(entry.blockCount(), 120u);
    const std::uint64_t p = entry.bytes[3];
    // The partition's header links to its own directory, its first BAM block to its second.
    EXPECT_EQ(image.block(p, 0)[0], p);
    EXPECT_EQ(image.block(p, 1)[0], p);
    EXPECT_EQ(image.block(p, 1)[1], 2);
    EXPECT_EQ(image.block(p, 2)[1], 0xff);

    enter(disk, 0);
    EXPECT_EQ(disk.blocksFree(), 116u);
    const std::vector<track_sector_t> inside = image.allocate(200);
    ASSERT_EQ(inside.size(), 116u);
    EXPECT_EQ(inside.front(), makeBlock(p + 1, 0));
    // Once the tracks after the first are full, the first track's blocks follow.
    EXPECT_EQ(inside.back(), makeBlock(p, 39));
}

TEST(Disk81Partition, SizesAndPlacement) {
    D81Image image = D81Image::blank();
    Disk81& disk = *image.disk;
    EXPECT_FALSE(disk.createSubdirectory(0, 119));
    EXPECT_EQ(disk.lastError(), kErrBadSize);

    // Free areas of 160 blocks (tracks 1-4) and 120 blocks (tracks 10-12).
    for (std::uint64_t t = 5; t <= 80; ++t) {
        if (t == 40 || (t >= 10 && t <= 12)) continue;
        for (std::uint64_t s = 0; s < 40; ++s) disk.toggleBlock(makeBlock(t, s));
    }
    std::uint64_t min = 0, max = 0, current = 0;
    ASSERT_TRUE(disk.sizeRange(min, max, current));
    EXPECT_EQ(max, 160u);
    ASSERT_TRUE(disk.createSubdirectory(0, 120));
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(entry.bytes[3], 10);
    EXPECT_FALSE(disk.createSubdirectory(0, 200));
    EXPECT_EQ(disk.lastError(), kErrPastImage);
}

TEST(Disk81Partition, FailedCreationLeavesTheImageAsItWas) {
    D81Image image = D81Image::blank();
    Disk81& disk = *image.disk;
    // A full directory: 37 linked blocks of eight entries, all of track 40 used.
    for (std::uint64_t s = 3; s <= 39; ++s) {
        std::uint8_t* block = image.block(40, s);
        block[0] = s < 39 ? 40 : 0;
        block[1] = s < 39 ? static_cast<std::uint8_t>(s + 1) : 0xff;
        for (std::size_t k = 0; k < 8; ++k) block[k * 32 + 2] = 0x82;
        if (disk.isBlockFree(makeBlock(40, s))) disk.toggleBlock(makeBlock(40, s));
    }
    const std::vector<std::uint8_t> before = image.bytes();
    EXPECT_FALSE(disk.createSubdirectory(0, 120));
    EXPECT_EQ(disk.lastError(), kErrNoPartitionRoom);
    EXPECT_EQ(image.bytes(), before);
}

}  // namespace
}  // namespace platter
