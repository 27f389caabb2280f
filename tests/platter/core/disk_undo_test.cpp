#include <gtest/gtest.h>

#include "platter/core/disk.hpp"
#include "platter/core/undo_journal.hpp"
#include "tests/support/d64_image.hpp"

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::TestImage;

TEST(UndoJournal, PushRules) {
    UndoJournal journal;
    const std::uint8_t byte = 7;
    EXPECT_TRUE(journal.push(kUndoBytes, makeBlock(1, 0), 5, {&byte, 1}, "", false));
    // A run of edits of the same byte keeps one record.
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(journal.push(kUndoBytes, makeBlock(1, 0), 5, {&byte, 1}, "", false));
    EXPECT_EQ(journal.size(), 1u);
    // A snapshot covering the same offset does not swallow the next edit.
    std::vector<std::uint8_t> bam(256, 1);
    EXPECT_TRUE(journal.push(kUndoBamSnapshot, makeBlock(18, 0), 0, bam, "BAM", false));
    EXPECT_TRUE(journal.push(kUndoBytes, makeBlock(18, 0), 0, {&byte, 1}, "", false));
    EXPECT_EQ(journal.size(), 3u);
    // Entry kinds store the value as the entry index.
    EXPECT_TRUE(journal.push(kUndoLock, makeBlock(3, 4), 9, {&byte, 1}, "Lock", true));
    EXPECT_EQ(journal.newest()->entryIndex, 9);
    EXPECT_EQ(journal.newest()->block, track_sector_t{});
    EXPECT_EQ(journal.newest()->includeEmpty, 1);
    // Too many bytes, or suspended: nothing recorded.
    std::vector<std::uint8_t> huge(UndoJournal::kMaxSavedBytes, 0);
    EXPECT_FALSE(journal.push(kUndoBytes, makeBlock(1, 0), 0, huge, "", false));
    journal.setSuspended(true);
    EXPECT_FALSE(journal.push(kUndoGroupStart, {}, 0, {}, "", false));
    EXPECT_EQ(journal.size(), 4u);
}

TEST(DiskUndo, RepeatedByteEditsRestoreTheFirstValue) {
    TestImage image = TestImage::blank();
    const std::uint8_t before = image.block(1, 0)[10];
    for (std::uint8_t v = 0; v < 10; ++v) {
        const std::uint8_t value = static_cast<std::uint8_t>(v + 100);
        image.disk->setBlockBytes(makeBlock(1, 0), 10, {&value, 1});
    }
    EXPECT_EQ(image.disk->journal().size(), 1u);
    EXPECT_TRUE(image.disk->isModified());
    ASSERT_TRUE(image.disk->undo());
    EXPECT_EQ(image.block(1, 0)[10], before);
    EXPECT_FALSE(image.disk->isModified());  // an emptied journal counts as unmodified
    EXPECT_FALSE(image.disk->undo());
}

TEST(DiskUndo, GroupIsUndoneByOneCall) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    const std::uint8_t one = 1;
    disk.setBlockBytes(makeBlock(2, 0), 0, {&one, 1});
    const bytes_t middle = image.bytes();
    disk.beginUndoGroup();
    disk.toggleBlockAt(3, 0);
    disk.setBlockBytes(makeBlock(3, 0), 4, {&one, 1});
    disk.setBlockBytes(makeBlock(3, 1), 4, {&one, 1});
    disk.endUndoGroup("Three");
    EXPECT_EQ(disk.lastUndoName(), "Three");
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), middle);
    EXPECT_EQ(disk.journal().size(), 1u);
    EXPECT_TRUE(disk.isModified());
}

TEST(DiskUndo, LoneStartMarkerGivesFalseAndKeepsFlags) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    disk.beginUndoGroup();
    disk.setIncludeEmpty(true);
    EXPECT_FALSE(disk.undo());
    EXPECT_TRUE(disk.includeEmpty());
    EXPECT_FALSE(disk.journal().suspended());
    EXPECT_TRUE(disk.journal().empty());
}

TEST(DiskUndo, RecordsRevertWithTheirIncludeEmptyFlag) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    // With include-empty, entry 7 is the scratched one; without, it is NOFILE.
    disk.setIncludeEmpty(true);
    dir_entry_t scratched;
    ASSERT_TRUE(disk.getEntry(7, true, scratched));
    disk.setFileSize(scratched, 77, 7);
    disk.setIncludeEmpty(false);
    ASSERT_TRUE(disk.undo());
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(7, true, entry));
    EXPECT_EQ(entry.blockCount(), 1);
    ASSERT_TRUE(disk.getEntry(7, false, entry));
    EXPECT_EQ(entry.blockCount(), 0);
}

TEST(DiskUndo, OutOfBlockRecordChangesNothing) {
    TestImage image = TestImage::blank();
    const bytes_t before = image.bytes();
    std::vector<std::uint8_t> bytes(300, 9);
    image.disk->pushUndoRecord(kUndoBytes, makeBlock(1, 0), 0, bytes);
    image.disk->pushUndoRecord(kUndoBytes, makeBlock(1, 0), 250, std::span(bytes).first(10));
    image.disk->pushUndoRecord(kUndoBytes, makeBlock(36, 0), 0, std::span(bytes).first(10));
    EXPECT_TRUE(image.disk->undo());
    EXPECT_TRUE(image.disk->undo());
    EXPECT_TRUE(image.disk->undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskUndo, EntrySettersRecordOnlyChanges) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    const bytes_t original = image.bytes();
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    disk.setLocked(entry, false, 0);  // already unlocked
    disk.setSplat(entry, false, 0);
    disk.setFileType(entry, kTypePrg, 0);
    EXPECT_TRUE(disk.journal().empty());
    EXPECT_FALSE(disk.isModified());
    disk.setLocked(entry, true, 0);
    EXPECT_EQ(disk.journal().newest()->saved, bytes_t{0});
    disk.setSplat(entry, true, 0);
    disk.setFileType(entry, kTypeSeq, 0);
    disk.setFileName(entry, test_support::cbmName("RENAMED"), 0);
    disk.setStartSector(entry, 9, 0);
    disk.setRecordLength(entry, 5, 0);
    const std::uint8_t stamp[5] = {126, 1, 2, 3, 4};
    disk.setTime(entry, stamp, 0);
    disk.setDiskName(test_support::cbmName("OTHER"));
    const std::uint8_t id[5] = {'X', 'Y', 0xa0, '2', 'A'};
    disk.setDiskId(id);
    dir_entry_t stored;
    ASSERT_TRUE(disk.getEntry(0, false, stored));
    EXPECT_EQ(stored.bytes, entry.bytes);
    EXPECT_EQ(stored.typeByte(), 0x41);
    while (disk.undo()) {}
    EXPECT_EQ(image.bytes(), original);
    EXPECT_FALSE(disk.isModified());
}

TEST(DiskUndo, MoveAndDeleteAreUndoneExactly) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    const bytes_t original = image.bytes();
    EXPECT_EQ(disk.moveEntry(true, 0), 0u);
    EXPECT_EQ(disk.moveEntry(false, 7), 7u);
    EXPECT_EQ(disk.moveEntry(false, 0), 1u);
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(1, false, entry));
    EXPECT_EQ(test_support::nameOf(entry), test_support::cbmName("HELLO"));
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), original);

    const std::uint64_t freeBefore = disk.blocksFree();
    disk.deleteFile(3, true, false);  // LOCKED, 2 blocks
    EXPECT_EQ(disk.blocksFree(), freeBefore + 2);
    EXPECT_EQ(disk.countDirectoryEntries(), 7u);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), original);

    // Wiping an entry in the second directory block clears that entry only.
    std::uint8_t* second = image.block(18, 4);  // slot 0 holds NOFILE, entry 7
    second[32 + 2] = 0x82;
    const bytes_t withSecond = image.bytes();
    disk.deleteFile(7, false, true);
    EXPECT_EQ(second[2], 0);
    EXPECT_EQ(second[5], 0);
    EXPECT_EQ(second[0], 0);
    EXPECT_EQ(second[1], 0xff);
    EXPECT_EQ(second[32 + 2], 0x82);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), withSecond);
}

}  // namespace
}  // namespace platter
