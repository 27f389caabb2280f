#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;
using test_support::readWhole;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::cbmName;
using test_support::patternBytes;
using test_support::TestImage;

bool importAs(Disk& disk, const char* name, const bytes_t& data, format_id rowId, std::uint8_t recordLength = 0,
              std::int64_t position = 1000) {
    return disk.importFile(cbmName(name), position, data, recordLength, formatById(rowId));
}

TEST(DiskImport, SizesGiveBlockCountsAndLastByte) {
    struct case_t {
        std::size_t size;
        std::uint16_t blocks;
        std::uint8_t lastByte;
    };
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    std::uint64_t index = 0;
    for (const case_t c : {case_t{1, 1, 2}, {253, 1, 254}, {254, 1, 255}, {255, 2, 2}, {508, 2, 255}, {509, 3, 2}}) {
        const bytes_t data = patternBytes(c.size, static_cast<unsigned>(c.size));
        const std::uint64_t freeBefore = disk.blocksFree();
        ASSERT_TRUE(importAs(disk, "FILE", data, format_id::prg)) << c.size;
        dir_entry_t entry;
        ASSERT_TRUE(disk.getEntry(index++, false, entry));
        EXPECT_EQ(entry.typeByte(), 0x82);
        EXPECT_EQ(entry.blockCount(), c.blocks) << c.size;
        EXPECT_EQ(disk.blocksFree(), freeBefore - c.blocks) << c.size;
        track_sector_t last;
        std::uint64_t size = 0;
        ASSERT_TRUE(disk.readChain(entry.bytes[3], entry.bytes[4], 0, &size, nullptr, &last));
        EXPECT_EQ(disk.sectorPointer(last)[1], c.lastByte) << c.size;
        bytes_t back;
        ASSERT_TRUE(readWhole(disk, entry, back));
        EXPECT_EQ(back, data) << c.size;
    }
}

TEST(DiskImport, EmptyFilesAndDelRow) {
    TestImage image = TestImage::blank();
    ASSERT_TRUE(importAs(*image.disk, "EMPTY", {}, format_id::prg));
    ASSERT_TRUE(importAs(*image.disk, "MARK", {}, format_id::del));
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(0, false, entry));
    EXPECT_EQ(entry.firstBlock(), makeBlock(0, 0));
    EXPECT_EQ(entry.blockCount(), 0);
    ASSERT_TRUE(image.disk->getEntry(1, false, entry));
    EXPECT_EQ(entry.typeByte(), 0x80);
    EXPECT_EQ(entry.firstBlock(), makeBlock(18, 0));
}

TEST(DiskImport, P00HeaderGivesNameAndIsNotStored) {
    TestImage image = TestImage::blank();
    bytes_t p00 = {'C', '6', '4', 'F', 'i', 'l', 'e', 0, 'H', 'E', 'L', 'L', 'O'};
    p00.resize(26, 0);
    const bytes_t payload = patternBytes(300, 9);
    p00.insert(p00.end(), payload.begin(), payload.end());
    ASSERT_TRUE(importAs(*image.disk, "IGNORED", p00, format_id::p00));
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(0, false, entry));
    EXPECT_EQ(test_support::nameOf(entry), cbmName("HELLO", false));
    bytes_t back;
    ASSERT_TRUE(readWhole(*image.disk, entry, back));
    EXPECT_EQ(back, payload);
    EXPECT_EQ(entry.blockCount(), 2);
    // A P00 shorter than its header, or without the "C64File" signature, is refused and changes nothing.
    const bytes_t before = image.bytes();
    EXPECT_FALSE(importAs(*image.disk, "SHORT", bytes_t(20, 0), format_id::p00));
    EXPECT_FALSE(importAs(*image.disk, "BAD", bytes_t(40, 'Z'), format_id::p00));
    EXPECT_EQ(image.disk->lastError(), kErrImportFailed);
    EXPECT_EQ(image.bytes(), before);
}

// The free-space check counts the payload, not the 26-byte header.
TEST(DiskImport, P00WhosePayloadFillsAFreshDiskFits) {
    TestImage image = TestImage::blank();
    bytes_t p00 = {'C', '6', '4', 'F', 'i', 'l', 'e', 0, 'F', 'U', 'L', 'L'};
    p00.resize(26, 0);
    const bytes_t payload = patternBytes(664 * 254, 3);
    p00.insert(p00.end(), payload.begin(), payload.end());
    ASSERT_TRUE(importAs(*image.disk, "IGNORED", p00, format_id::p00));
    EXPECT_EQ(image.disk->blocksFree(), 0u);
}

TEST(DiskImport, FullDiskFailsWithCode2AndLeavesTheImage) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    ASSERT_TRUE(importAs(disk, "FILL", patternBytes(664 * 254, 1), format_id::prg));
    EXPECT_EQ(disk.blocksFree(), 0u);
    bytes_t back;
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    ASSERT_TRUE(readWhole(disk, entry, back));
    EXPECT_EQ(back, patternBytes(664 * 254, 1));
    const bytes_t before = image.bytes();
    EXPECT_FALSE(importAs(disk, "MORE", bytes_t(1, 1), format_id::prg));
    EXPECT_EQ(disk.lastError(), kErrDiskFull);
    EXPECT_EQ(image.bytes(), before);
    // writeChain on its own rolls back what it allocated.
    TestImage almost = TestImage::blank();
    ASSERT_TRUE(importAs(*almost.disk, "FILL", bytes_t(660 * 254, 1), format_id::prg));
    const bytes_t partly = almost.bytes();
    track_sector_t first;
    EXPECT_FALSE(almost.disk->writeChain(bytes_t(10 * 254, 2), first));
    EXPECT_EQ(almost.disk->lastError(), kErrDiskFull);
    EXPECT_EQ(almost.bytes(), partly);
}

TEST(DiskImport, UndoOfAnImportRestoresTheImageExactly) {
    TestImage image = TestImage::fromFixture("base.d64");
    const bytes_t before = image.bytes();
    ASSERT_TRUE(importAs(*image.disk, "NEW", patternBytes(2000, 3), format_id::prg, 0, 2));
    EXPECT_EQ(image.disk->countDirectoryEntries(), 9u);
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(2, false, entry));
    EXPECT_EQ(test_support::nameOf(entry), cbmName("NEW"));
    ASSERT_TRUE(image.disk->getEntry(3, false, entry));
    EXPECT_EQ(test_support::nameOf(entry), cbmName("USR"));
    ASSERT_TRUE(image.disk->undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskImport, RelFilesGetSideSectors) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    ASSERT_TRUE(importAs(disk, "RECORDS", patternBytes(121 * 254, 4), format_id::rel, 64));
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(entry.typeByte(), 0x84);
    EXPECT_EQ(entry.recordLength(), 64);
    EXPECT_EQ(entry.blockCount(), 123);
    std::vector<track_sector_t> data;
    std::uint64_t size = 0;
    ASSERT_TRUE(disk.readChain(entry.bytes[3], entry.bytes[4], 0, &size, nullptr, nullptr, &data));
    ASSERT_EQ(data.size(), 121u);
    const std::uint8_t* side0 = disk.sectorPointer(entry.sideBlock());
    ASSERT_NE(side0, nullptr);
    const track_sector_t side1Block = makeBlock(side0[0], side0[1]);
    const std::uint8_t* side1 = disk.sectorPointer(side1Block);
    ASSERT_NE(side1, nullptr);
    EXPECT_EQ(side0[2], 0);
    EXPECT_EQ(side0[3], 64);
    EXPECT_EQ(side1[0], 0);
    EXPECT_EQ(side1[1], 16 + 2 - 1);  // one pointer in the second side sector
    EXPECT_EQ(side1[2], 1);
    EXPECT_EQ(makeBlock(side0[4], side0[5]), entry.sideBlock());
    EXPECT_EQ(makeBlock(side0[6], side0[7]), side1Block);
    for (std::size_t i = 0; i < 120; ++i) EXPECT_EQ(makeBlock(side0[16 + 2 * i], side0[17 + 2 * i]), data[i]) << i;
    EXPECT_EQ(makeBlock(side1[16], side1[17]), data[120]);
}

TEST(DiskImport, RelFileNeedingASeventhSideSectorRollsBack) {
    TestImage fits = TestImage::blank();
    ASSERT_TRUE(importAs(*fits.disk, "FIVE", bytes_t(600 * 254, 1), format_id::rel, 10));
    dir_entry_t entry;
    ASSERT_TRUE(fits.disk->getEntry(0, false, entry));
    EXPECT_EQ(entry.blockCount(), 605);
    TestImage image = TestImage::blank();
    image.disk->extendDisk(true);
    const bytes_t before = image.bytes();
    EXPECT_FALSE(importAs(*image.disk, "TOOBIG", bytes_t(721 * 254, 1), format_id::rel, 10));
    EXPECT_EQ(image.disk->lastError(), kErrImportFailed);
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskImport, DirectoryGrowsInDosOrderAndStopsAt144) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    for (int i = 0; i < 144; ++i) {
        ASSERT_TRUE(importAs(disk, ("F" + std::to_string(i)).c_str(), bytes_t(1, 1), format_id::prg)) << i;
    }
    EXPECT_EQ(image.block(18, 1)[0], 18);
    EXPECT_EQ(image.block(18, 1)[1], 4);
    EXPECT_EQ(image.block(18, 4)[1], 7);
    EXPECT_EQ(disk.countDirectoryEntries(), 144u);
    const bytes_t before = image.bytes();
    EXPECT_FALSE(importAs(disk, "F144", bytes_t(1, 1), format_id::prg));
    EXPECT_EQ(disk.lastError(), kErrInsertEntry);
    dir_entry_t entry;
    entry.bytes[2] = 0x82;
    EXPECT_FALSE(disk.insertEntry(200, entry));
    EXPECT_EQ(disk.lastError(), kErrInsertEntry);
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskImport, InsertPastTheEndFillsTheFirstFreeSlot) {
    TestImage image = TestImage::blank();
    dir_entry_t entry;
    entry.bytes[2] = 0x82;
    ASSERT_TRUE(image.disk->insertEntry(1, entry));
    EXPECT_EQ(image.block(18, 1)[2], 0x82);
    ASSERT_TRUE(image.disk->insertEntry(50, entry));
    EXPECT_EQ(image.block(18, 1)[32 + 2], 0x82);
    EXPECT_EQ(image.block(18, 1)[0], 0);  // no new directory block
    EXPECT_EQ(image.disk->blocksFree(), 664u);
}

TEST(DiskImport, HostFileTakesItsNameAndRow) {
    const test_support::ScratchDir scratch;
    const std::filesystem::path host = scratch.write("game.seq", patternBytes(600, 2));
    TestImage image = TestImage::blank();
    ASSERT_TRUE(image.disk->importHostFile(host, 0));
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(0, false, entry));
    EXPECT_EQ(entry.typeByte(), 0x81);
    EXPECT_EQ(test_support::nameOf(entry)[0], 'G');
    EXPECT_EQ(test_support::nameOf(entry)[4], 0xa0);
    EXPECT_FALSE(image.disk->importHostFile(scratch.file("missing.prg"), 0));
    EXPECT_EQ(image.disk->lastError(), kErrOpenFile);
}

TEST(DiskSave, WritesBesideAndRenamesOverTheTarget) {
    namespace fs = std::filesystem;
    const test_support::ScratchDir scratch;
    const fs::path& dir = scratch.path();
    TestImage image = TestImage::fromFixture("base.d64");
    ASSERT_TRUE(importAs(*image.disk, "NEW", bytes_t(10, 1), format_id::prg));
    EXPECT_TRUE(image.disk->isModified());
    const fs::path target = dir / "out.d64";
    test_support::writeText(target, "old");
    ASSERT_TRUE(saved(image.disk->saveAs(target)));
    EXPECT_FALSE(image.disk->isModified());
    EXPECT_EQ(test_support::readBytes(target), image.bytes());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    // A target without a known extension gets the image's own.
    ASSERT_TRUE(saved(image.disk->saveAs(dir / "plain")));
    EXPECT_TRUE(fs::exists(dir / "plain.d64"));
    // A failed save reports and leaves nothing behind.
    EXPECT_FALSE(saved(image.disk->saveAs(dir / "missing" / "x.d64")));
    EXPECT_EQ(image.disk->lastError(), kErrOpenFile);
    // Saving an opened file goes back to its path.
    Disk41 reopened;
    ASSERT_TRUE(reopened.open(target, true));
    EXPECT_EQ(reopened.countDirectoryEntries(), 9u);
    const std::uint8_t byte = 0x55;
    reopened.setBlockBytes(makeBlock(1, 0), 2, {&byte, 1});
    ASSERT_TRUE(saved(reopened.save()));
    Disk41 again;
    ASSERT_TRUE(again.open(target, true));
    EXPECT_EQ(again.sectorPointer(1, 0)[2], 0x55);
}

}  // namespace
}  // namespace platter
