#include "platter/formats/disk_np.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::readWhole;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::cbmName;
using test_support::nameOf;
using test_support::patternBytes;

constexpr std::uint64_t kTrack = DiskNP::kTrackBytes;

std::unique_ptr<DiskNP> openNative(bytes_t bytes) {
    auto disk = std::make_unique<DiskNP>();
    EXPECT_TRUE(disk->openBytes("x.dnp", std::move(bytes)));
    return disk;
}

std::unique_ptr<DiskNP> newNative(std::uint32_t tracks) {
    auto disk = std::make_unique<DiskNP>();
    EXPECT_TRUE(disk->open({}, false, true, tracks));
    return disk;
}

bytes_t contents(const Disk& disk) {
    bytes_t out;
    for (std::uint64_t track = 1; track <= disk.trackCount(); ++track) {
        for (std::uint64_t sector = 0; sector < DiskNP::kSectors; ++sector) {
            const auto block = disk.blockBytes(makeBlock(track, sector));
            out.insert(out.end(), block.begin(), block.end());
        }
    }
    return out;
}

TEST(DiskNP, NewImageOfTwoTracksHas477BlocksFree) {
    const auto disk = newNative(2);
    EXPECT_EQ(disk->trackCount(), 2u);
    EXPECT_EQ(disk->providerSize(), 2 * kTrack);
    EXPECT_EQ(disk->blocksFree(), 477u);  // 512 less 1/0-1/33 and the directory block 1/34
    EXPECT_FALSE(disk->isModified());
    const auto header = disk->blockBytes(makeBlock(1, 1));
    EXPECT_EQ(header[0], 1);
    EXPECT_EQ(header[1], 34);
    EXPECT_EQ(header[2], 'H');
    EXPECT_EQ(header[0x16], 'C');
    EXPECT_EQ(header[0x19], '1');
    EXPECT_EQ(header[0x1a], 'H');
    const auto bam = disk->blockBytes(makeBlock(1, 2));
    EXPECT_EQ(bam[3], 0xb7);
    EXPECT_EQ(bam[8], 2);
    EXPECT_EQ(bam[36], 0x1f);  // sectors 32-34 used, 35-39 free
    EXPECT_EQ(disk->directoryStart(), makeBlock(1, 34));
    EXPECT_FALSE(disk->isBlockFree(makeBlock(1, 34)));
    EXPECT_TRUE(disk->isBlockFree(makeBlock(1, 35)));
    EXPECT_TRUE(disk->isBamBlock(makeBlock(1, 200)));
    EXPECT_FALSE(disk->isBamBlock(makeBlock(2, 0)));
    track_sector_t first;
    ASSERT_NE(disk->allocateBlock(first, false), nullptr);
    EXPECT_EQ(first, makeBlock(1, 35));
    // Clamped to 2..255 tracks.
    EXPECT_EQ(newNative(0)->trackCount(), 2u);
    EXPECT_EQ(newNative(0x10000)->trackCount(), 255u);
}

TEST(DiskNP, WholeTracksAreReadAndOtherSizesFlagged) {
    const auto full = openNative(bytes_t(255 * kTrack));
    EXPECT_EQ(full->trackCount(), 255u);
    EXPECT_FALSE(full->damage().sizeUnknown);
    EXPECT_EQ(full->lastError(), kErrNone);

    const auto ragged = openNative(bytes_t(2 * kTrack + 100));
    EXPECT_EQ(ragged->trackCount(), 2u);
    EXPECT_TRUE(ragged->damage().sizeUnknown);
    EXPECT_FALSE(ragged->isValidBlock(makeBlock(3, 0)));

    const auto tooMany = openNative(bytes_t(256 * kTrack));
    EXPECT_EQ(tooMany->trackCount(), 255u);
    EXPECT_TRUE(tooMany->damage().sizeUnknown);

    const auto empty = openNative(bytes_t(100));
    EXPECT_EQ(empty->trackCount(), 0u);
    EXPECT_EQ(empty->countDirectoryEntries(), 0u);
    EXPECT_EQ(empty->blocksFree(), 0u);
}

// x.dnp: HELLO in 1/35-1/36, SUB's header 1/37 with its directory in 1/38, INNER from 1/39.
constexpr std::size_t offsetOf(std::uint64_t track, std::uint64_t sector) {
    return static_cast<std::size_t>((track - 1) * kTrack + sector * 256);
}
constexpr std::size_t kRootEntries = offsetOf(1, 34);

dir_entry_t entryOf(Disk& disk, std::uint64_t index) {
    dir_entry_t entry;
    EXPECT_TRUE(disk.getEntry(index, false, entry)) << index;
    return entry;
}

// A file that ends before the tracks its BAM names is a cut image of that many tracks: what
// it holds reads whole, the rest is missing, and it is never saved.
TEST(DiskNP, CutImageKeepsTheTracksItsBamNames) {
    const bytes_t fixture = test_support::readFixture("cmd/x.dnp");
    for (const std::size_t size : {std::size_t{kTrack}, std::size_t{20000}}) {
        const auto cut = openNative(bytes_t(fixture.begin(), fixture.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_EQ(cut->trackCount(), 2u) << size;
        EXPECT_TRUE(cut->damage().missesBlocks) << size;
        EXPECT_FALSE(cut->damage().sizeUnknown) << size;
        EXPECT_FALSE(cut->damage().maySave()) << size;
        ASSERT_EQ(cut->countDirectoryEntries(), 2u) << size;
        bytes_t data;
        EXPECT_TRUE(readWhole(*cut, entryOf(*cut, 0), data)) << size;
        EXPECT_EQ(data, patternBytes(300, 1)) << size;
    }

    // The BAM names three tracks and HELLO starts on the third, which the file ends before.
    bytes_t third = fixture;
    third[offsetOf(1, 2) + 8] = 3;
    third[kRootEntries + 3] = 3;
    third[kRootEntries + 4] = 0;
    const auto disk = openNative(third);
    EXPECT_EQ(disk->trackCount(), 3u);
    EXPECT_TRUE(disk->damage().missesBlocks);
    const entry_read_t read = disk->readEntry(entryOf(*disk, 0));
    EXPECT_EQ(read.outcome, read_outcome::unreadable);
    EXPECT_EQ(read.stop.end, chain_end::missing);
}

// A subdirectory's header is none of a directory enclosing it: INNER made a DIR whose header
// is SUB's own is a fault once SUB is entered, and is neither entered nor read.
TEST(DiskNP, SubdirectoryWithTheHeaderOfAnEnclosingOneIsAnAreaFault) {
    bytes_t bytes = test_support::readFixture("cmd/x.dnp");
    const std::size_t innerEntry = offsetOf(1, 38);
    bytes[innerEntry + 2] = 0x86;
    bytes[innerEntry + 3] = 1;
    bytes[innerEntry + 4] = 37;
    const auto disk = openNative(bytes);
    track_sector_t first;
    ASSERT_TRUE(disk->openDirectory(entryOf(*disk, 1), first, false));
    const dir_entry_t inner = entryOf(*disk, 0);
    EXPECT_EQ(disk->partitionFault(inner), block_range_fault::enclosingHeader);
    EXPECT_FALSE(disk->openDirectory(inner, first, false));
    EXPECT_EQ(disk->readEntry(inner).outcome, read_outcome::areaFault);
}

// A header whose link leaves the image is entered: the walk of the directory names the link.
TEST(DiskNP, SubdirectoryWhoseChainLeavesTheImageSaysWhere) {
    bytes_t bytes = test_support::readFixture("cmd/x.dnp");
    bytes[offsetOf(1, 37)] = 99;
    bytes[offsetOf(1, 37) + 1] = 0;
    const auto disk = openNative(bytes);
    track_sector_t first;
    ASSERT_TRUE(disk->openDirectory(entryOf(*disk, 1), first, false));
    EXPECT_EQ(disk->countDirectoryEntries(), 0u);
    EXPECT_EQ(disk->directoryStop(), (chain_stop_t{chain_end::leaves, makeBlock(1, 37), makeBlock(99, 0)}));
    ASSERT_TRUE(disk->closeDirectory(false));
    EXPECT_TRUE(disk->directoryStop().whole());
}

TEST(DiskNP, FixtureListsItsFilesAndEntersItsSubdirectory) {
    const auto disk = openNative(test_support::readFixture("cmd/x.dnp"));
    EXPECT_EQ(disk->blocksFree(), 470u);
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(disk->getDiskName(name));
    EXPECT_EQ(name, cbmName("NATIVE", false));
    ASSERT_EQ(disk->countDirectoryEntries(), 2u);
    dir_entry_t hello, sub;
    ASSERT_TRUE(disk->getEntry(0, false, hello));
    ASSERT_TRUE(disk->getEntry(1, false, sub));
    bytes_t data;
    ASSERT_TRUE(readWhole(*disk, hello, data));
    EXPECT_EQ(data, patternBytes(300, 1));
    EXPECT_EQ(disk->typeWord(sub), "DIR");
    EXPECT_EQ(disk->typeWord(hello), "PRG");

    track_sector_t first;
    ASSERT_TRUE(disk->openDirectory(sub, first, false));
    ASSERT_TRUE(disk->getDiskName(name));
    EXPECT_EQ(name, cbmName("SUB", false));
    dir_entry_t inner;
    ASSERT_TRUE(disk->getEntry(0, false, inner));
    EXPECT_EQ(nameOf(inner), cbmName("INNER", false));
    data.clear();
    ASSERT_TRUE(readWhole(*disk, inner, data));
    EXPECT_EQ(data, patternBytes(600, 2));
    ASSERT_TRUE(disk->closeDirectory(false));
    ASSERT_TRUE(disk->getDiskName(name));
    EXPECT_EQ(name, cbmName("NATIVE", false));
}

TEST(DiskNP, SubdirectoryGetsAHeaderAndAnEmptyDirectoryBlock) {
    const auto disk = newNative(2);
    ASSERT_TRUE(disk->createSubdirectory(0, disk->defaultSubdirectorySize()));
    EXPECT_EQ(disk->lastUndoName(), "Create Sub Directory");
    EXPECT_EQ(disk->blocksFree(), 475u);
    dir_entry_t entry;
    ASSERT_TRUE(disk->getEntry(0, false, entry));
    EXPECT_EQ(entry.typeByte(), 0x86);
    EXPECT_EQ(entry.blockCount(), 2u);
    EXPECT_EQ(entry.firstBlock(), makeBlock(1, 35));
    const auto header = disk->blockBytes(makeBlock(1, 35));
    EXPECT_EQ(header[0], 1);  // its first directory block, 1/36
    EXPECT_EQ(header[1], 36);
    EXPECT_EQ(header[2], 'H');
    EXPECT_EQ(header[0x20], 1);  // itself
    EXPECT_EQ(header[0x21], 35);
    EXPECT_EQ(header[0x22], 1);  // the root's header
    EXPECT_EQ(header[0x23], 1);
    EXPECT_EQ(header[0x24], 1);  // the block and offset of its entry
    EXPECT_EQ(header[0x25], 34);
    EXPECT_EQ(header[0x26], 2);
    const auto directory = disk->blockBytes(makeBlock(1, 36));
    EXPECT_EQ(directory[0], 0);
    EXPECT_EQ(directory[1], 0xff);

    // Entered, it is a directory of its own that takes files.
    track_sector_t first;
    ASSERT_TRUE(disk->openDirectory(entry, first, false));
    EXPECT_EQ(first, makeBlock(1, 36));
    EXPECT_EQ(disk->countDirectoryEntries(), 0u);
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(disk->getDiskName(name));
    EXPECT_EQ(name, cbmName(""));
    EXPECT_TRUE(disk->importFile(cbmName("IN"), -1, patternBytes(400, 3), 0, nullptr));
    EXPECT_EQ(disk->countDirectoryEntries(), 1u);
}

TEST(DiskNP, FailedSubdirectoryLeavesNothingBehind) {
    auto disk = newNative(2);
    while (true) {
        track_sector_t block;
        if (!disk->allocateBlock(block, true)) break;
    }
    disk->setModified(false);
    const bytes_t before = contents(*disk);
    EXPECT_FALSE(disk->createSubdirectory(0, 2));
    EXPECT_EQ(disk->lastError(), kErrDiskFull);
    EXPECT_EQ(contents(*disk), before);

    // Room for the header only: the entry goes again with it.
    disk = newNative(2);
    while (disk->blocksFree() > 1) {
        track_sector_t block;
        disk->allocateBlock(block, true);
    }
    const bytes_t single = contents(*disk);
    EXPECT_FALSE(disk->createSubdirectory(0, 2));
    EXPECT_EQ(contents(*disk), single);
    EXPECT_EQ(disk->countDirectoryEntries(), 0u);
}

TEST(DiskNP, ShrinksNoFurtherThanItsHighestUsedTrack) {
    const auto disk = newNative(10);
    std::uint64_t min = 0, max = 0, current = 0;
    ASSERT_TRUE(disk->sizeRange(min, max, current));
    EXPECT_EQ(min, 2u);
    EXPECT_EQ(max, 255u);
    EXPECT_EQ(current, 10u);
    ASSERT_TRUE(disk->toggleBlock(makeBlock(7, 3)));
    ASSERT_TRUE(disk->sizeRange(min, max, current));
    EXPECT_EQ(min, 7u);

    EXPECT_FALSE(disk->resize(6 * kTrack));
    EXPECT_FALSE(disk->resize(0));
    EXPECT_FALSE(disk->resize(kTrack));
    EXPECT_FALSE(disk->resize(256 * kTrack));
    EXPECT_FALSE(disk->resize(8 * kTrack + 256));
    EXPECT_EQ(disk->trackCount(), 10u);

    ASSERT_TRUE(disk->resize(12 * kTrack));
    EXPECT_EQ(disk->trackCount(), 12u);
    EXPECT_EQ(disk->blockBytes(makeBlock(1, 2))[8], 12);
    EXPECT_EQ(disk->blocksFree(), 12u * 256 - 36);
}

TEST(DiskNP, UndoOfAShrinkRestoresTheCutTracks) {
    const auto disk = newNative(10);
    ASSERT_TRUE(disk->setBlockBytes(makeBlock(9, 17), 0, patternBytes(256, 9)));
    ASSERT_TRUE(disk->setBlockBytes(makeBlock(10, 255), 0, patternBytes(256, 10)));
    const bytes_t before = contents(*disk);
    ASSERT_TRUE(disk->resize(8 * kTrack));
    EXPECT_EQ(disk->trackCount(), 8u);
    EXPECT_EQ(disk->providerSize(), 8 * kTrack);
    EXPECT_TRUE(disk->blockBytes(makeBlock(9, 17)).empty());
    EXPECT_EQ(disk->lastUndoName(), "Disk Size");
    ASSERT_TRUE(disk->undo());
    EXPECT_EQ(disk->trackCount(), 10u);
    EXPECT_EQ(contents(*disk), before);
}

TEST(DiskNP, AllocatesInBlockOrderAcrossTracks) {
    const auto disk = newNative(3);
    for (std::uint64_t s = 35; s < 256; ++s) ASSERT_TRUE(disk->toggleBlock(makeBlock(1, s)));
    for (std::uint64_t s = 0; s < 13; ++s) ASSERT_TRUE(disk->toggleBlock(makeBlock(2, s)));
    track_sector_t block;
    ASSERT_NE(disk->allocateBlock(block, true), nullptr);
    EXPECT_EQ(block, makeBlock(2, 13));
    EXPECT_FALSE(disk->isBlockFree(block));
    EXPECT_FALSE(disk->toggleBlock(makeBlock(4, 0)));
    EXPECT_FALSE(disk->toggleBlock(makeBlock(1, 256)));
}

}  // namespace
}  // namespace platter
