#include <gtest/gtest.h>

#include <algorithm>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/reachable_blocks.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::readWhole;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::cbmName;
using test_support::patternBytes;
using test_support::TestImage;

bool importPrgFile(Disk& disk, const std::string& name, std::size_t size) {
    return disk.importFile(cbmName(name, false), -1, patternBytes(size, 3), 0, formatById(format_id::prg));
}

// Clears a BAM bit behind the image's back, as directory-art and loader disks do.
void markFreeInBam(TestImage& image, unsigned track, unsigned sector) {
    std::uint8_t* bam = image.block(18, 0) + 4 * track;
    if ((bam[1 + sector / 8] >> (sector % 8) & 1) == 0) {
        bam[1 + sector / 8] = static_cast<std::uint8_t>(bam[1 + sector / 8] | 1 << (sector % 8));
        ++bam[0];
    }
}

TEST(DiskCompact, MovesEntriesUpAndCutsTheChainAfterTheLastOne) {
    // base.d64: seven entries, a scratched one, then NOFILE alone in 18/4.
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    const bytes_t before = image.bytes();
    const std::uint64_t free = disk.blocksFree();
    ASSERT_FALSE(disk.isBlockFree(makeBlock(18, 4)));
    ASSERT_TRUE(disk.compactDirectory());
    EXPECT_EQ(disk.countDirectoryEntries(), 8u);
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(7, false, entry));
    EXPECT_EQ(test_support::nameOf(entry), cbmName("NOFILE"));
    // The chain ends at 18/1; the block cut off is free, the one kept is used.
    EXPECT_EQ(image.block(18, 1)[0], 0);
    EXPECT_EQ(image.block(18, 1)[1], 0xff);
    EXPECT_TRUE(disk.isBlockFree(makeBlock(18, 4)));
    EXPECT_FALSE(disk.isBlockFree(makeBlock(18, 1)));
    EXPECT_EQ(disk.blocksFree(), free);  // track 18 counts no free blocks on a 1541
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);

    // Already compact: nothing changes and nothing is recorded.
    ASSERT_TRUE(disk.compactDirectory());
    const bytes_t compact = image.bytes();
    const std::size_t records = disk.journal().size();
    EXPECT_FALSE(disk.compactDirectory());
    EXPECT_EQ(disk.journal().size(), records);
    EXPECT_EQ(image.bytes(), compact);
}

TEST(DiskCompact, KeepsEveryRemainingDirectoryBlockAllocated) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(importPrgFile(disk, "F" + std::to_string(i), 1));
    // Three directory blocks, the second left free in the BAM.
    markFreeInBam(image, 18, 4);
    disk.deleteFile(2, true, false);
    ASSERT_TRUE(disk.compactDirectory());
    EXPECT_EQ(disk.countDirectoryEntries(), 19u);
    EXPECT_FALSE(disk.isBlockFree(makeBlock(18, 1)));
    EXPECT_FALSE(disk.isBlockFree(makeBlock(18, 4)));
    EXPECT_FALSE(disk.isBlockFree(makeBlock(18, 7)));
    EXPECT_EQ(image.block(18, 7)[0], 0);
}

TEST(DiskMarkDirectoryChain, ReleasesAndMarksEveryBlockUnderOneSnapshot) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    const bytes_t before = image.bytes();
    disk.markDirectoryChain(true);
    EXPECT_TRUE(disk.isBlockFree(makeBlock(18, 1)));
    EXPECT_TRUE(disk.isBlockFree(makeBlock(18, 4)));
    disk.markDirectoryChain(false);
    EXPECT_EQ(image.bytes(), before);
    ASSERT_TRUE(disk.undo());
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(ReachableBlocks, CoverTheDirectoryAndEveryChainWhateverTheBam) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    ASSERT_TRUE(importPrgFile(disk, "A", 600));
    ASSERT_TRUE(disk.importFile(cbmName("R", false), -1, patternBytes(121 * 254, 1), 16, formatById(format_id::rel)));
    dir_entry_t a;
    dir_entry_t rel;
    ASSERT_TRUE(disk.getEntry(0, false, a));
    ASSERT_TRUE(disk.getEntry(1, false, rel));
    std::vector<track_sector_t> used;
    ASSERT_TRUE(disk.readFileBlocks(a, 0, used));
    ASSERT_TRUE(disk.readFileBlocks(rel, 0, used));
    EXPECT_EQ(used.size(), 3u + 123u);
    // A loader disk that marks its own blocks free.
    for (const track_sector_t& block : used)
        markFreeInBam(image, static_cast<unsigned>(block.track), static_cast<unsigned>(block.sector));
    markFreeInBam(image, 18, 1);
    const ReachableBlocks reachable(disk);
    for (const track_sector_t& block : used) EXPECT_TRUE(reachable.contains(block));
    EXPECT_TRUE(reachable.contains(makeBlock(18, 0)));
    EXPECT_TRUE(reachable.contains(makeBlock(18, 1)));
    EXPECT_FALSE(reachable.isUnused(makeBlock(18, 1)));
    EXPECT_FALSE(reachable.contains(makeBlock(1, 0)));
    EXPECT_TRUE(reachable.isUnused(makeBlock(1, 0)));
    // A scratched file's blocks are free space.
    disk.deleteFile(0, true, false);
    EXPECT_TRUE(ReachableBlocks(disk).isUnused(a.firstBlock()));
}

TEST(DiskFill, FillsOnlyBlocksNothingReachesAndTheTailsOfFiles) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    ASSERT_TRUE(importPrgFile(disk, "A", 300));
    ASSERT_TRUE(importPrgFile(disk, "FULL", 254));
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(importPrgFile(disk, "F" + std::to_string(i), 1));
    dir_entry_t a;
    dir_entry_t full;
    ASSERT_TRUE(disk.getEntry(0, false, a));
    ASSERT_TRUE(disk.getEntry(1, false, full));
    markFreeInBam(image, 18, 4);  // the second directory block, free in the BAM
    const bytes_t directory(image.block(18, 4), image.block(18, 4) + 256);
    const bytes_t fullBlock(disk.sectorPointer(full.firstBlock()), disk.sectorPointer(full.firstBlock()) + 256);
    const bytes_t before = image.bytes();

    ASSERT_TRUE(disk.fillFreeBlocks(0xee));
    EXPECT_TRUE(std::all_of(image.block(1, 0), image.block(1, 0) + 256, [](std::uint8_t b) { return b == 0xee; }));
    EXPECT_EQ(bytes_t(image.block(18, 4), image.block(18, 4) + 256), directory);
    EXPECT_EQ(bytes_t(disk.sectorPointer(full.firstBlock()), disk.sectorPointer(full.firstBlock()) + 256), fullBlock);
    // A's last block holds 46 bytes: index 47; bytes 48-255 are filled.
    track_sector_t last;
    std::uint64_t size = 0;
    ASSERT_TRUE(disk.readChain(a.bytes[3], a.bytes[4], 0, &size, nullptr, &last));
    const std::uint8_t* tail = disk.sectorPointer(last);
    EXPECT_EQ(tail[1], 47);
    EXPECT_NE(tail[47], 0xee);
    EXPECT_TRUE(std::all_of(tail + 48, tail + 256, [](std::uint8_t b) { return b == 0xee; }));
    bytes_t data;
    ASSERT_TRUE(readWhole(disk, a, data));
    EXPECT_EQ(data, patternBytes(300, 3));
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskFill, ATailOfIndexZeroOrOneKeepsItsLink) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    ASSERT_TRUE(importPrgFile(disk, "A", 10));
    dir_entry_t a;
    ASSERT_TRUE(disk.getEntry(0, false, a));
    std::uint8_t* block = disk.sectorPointer(a.firstBlock());
    for (const std::uint8_t index : {std::uint8_t{0}, std::uint8_t{1}}) {
        block[1] = index;
        std::fill(block + 2, block + 256, std::uint8_t{0});
        ASSERT_TRUE(disk.fillFileTails(0x55));
        EXPECT_EQ(block[0], 0);
        EXPECT_EQ(block[1], index);
        EXPECT_EQ(block[2], 0x55);
        EXPECT_FALSE(disk.fillFileTails(0x55));
    }
}

}  // namespace
}  // namespace platter
