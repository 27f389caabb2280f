#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <string>
#include <vector>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "tests/support/d64_image.hpp"

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::cbmName;
using test_support::nameOf;
using test_support::patternBytes;
using test_support::TestImage;

using name_t = std::array<std::uint8_t, 16>;

name_t rawName(const std::vector<std::uint8_t>& bytes) {
    name_t name;
    name.fill(0xa0);
    std::copy(bytes.begin(), bytes.end(), name.begin());
    return name;
}

bool importPatternFile(Disk& disk, const std::string& name, std::size_t size, format_id row = format_id::prg) {
    return disk.importFile(cbmName(name, false), -1, patternBytes(size, static_cast<unsigned>(size)), 0,
                           formatById(row));
}

std::vector<std::string> names(Disk& disk) {
    std::vector<std::string> out;
    dir_entry_t entry;
    for (std::uint64_t i = 0; disk.getEntry(i, false, entry); ++i) {
        const name_t name = nameOf(entry);
        std::string text;
        for (const std::uint8_t b : name) {
            if (b == 0xa0) break;
            text += static_cast<char>(b);
        }
        out.push_back(text);
    }
    return out;
}

TEST(DiskNames, CaseChangesOnlyTheChosenLetters) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    ASSERT_TRUE(disk.importFile(rawName({'a', 'B', '1', 0xc1}), 0, bytes_t(1, 1), 0, nullptr));
    const bytes_t before = image.bytes();
    const std::size_t records = disk.journal().size();
    // Dry runs say whether anything would change and record nothing.
    EXPECT_TRUE(disk.changeFileNameCase(0, 0, false));
    EXPECT_TRUE(disk.changeFileNameCase(1, 0, false));
    EXPECT_EQ(disk.journal().size(), records);
    EXPECT_EQ(image.bytes(), before);

    ASSERT_TRUE(disk.changeFileNameCase(2, 0, true));
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(nameOf(entry), rawName({'A', 'b', '1', 0xc1}));
    ASSERT_TRUE(disk.changeFileNameCase(7, 0, true));  // any other mode acts as 0
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(nameOf(entry), rawName({'A', 'B', '1', 0xc1}));
    EXPECT_FALSE(disk.changeFileNameCase(0, 0, false));
    EXPECT_FALSE(disk.changeFileNameCase(0, 0, true));
    EXPECT_FALSE(disk.changeFileNameCase(0, 5, true));  // no such entry
    ASSERT_TRUE(disk.undo());
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskNames, ExpandTrimsAndAligns) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    const auto expanded = [&](const std::vector<std::uint8_t>& name, int mode) {
        dir_entry_t entry;
        entry.bytes[2] = 0x82;
        entry.setName(rawName(name));
        EXPECT_TRUE(disk.expandEntryName(entry, mode, 99));
        return nameOf(entry);
    };
    name_t right;
    right.fill(' ');
    right[14] = 'A';
    right[15] = 'B';
    EXPECT_EQ(expanded({' ', 'A', 'B'}, 2), right);
    name_t centred;
    centred.fill(' ');
    centred[7] = 'A';
    centred[8] = 'B';
    EXPECT_EQ(expanded({' ', 'A', 'B', ' '}, 3), centred);
    EXPECT_EQ(expanded({' ', 'X'}, 0), rawName({'X'}));
    name_t spaces;
    spaces.fill(' ');
    EXPECT_EQ(expanded({' ', ' '}, 1), spaces);
    EXPECT_EQ(expanded({' ', ' '}, 0), rawName({}));
    // Only a space leads; 0xA0 inside the text stays.
    EXPECT_EQ(expanded({'A', 0xa0, 'B'}, 0), rawName({'A', 0xa0, 'B'}));

    ASSERT_TRUE(importPatternFile(disk, "x", 1));
    const bytes_t before = image.bytes();
    ASSERT_TRUE(disk.expandFileName(2, 0));
    EXPECT_FALSE(disk.expandFileName(2, 1));
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskNames, FindByNameComparesUpToThePadding) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    std::uint64_t index = 99;
    ASSERT_TRUE(disk.findEntryByName(cbmName("NOTES"), index, false));
    EXPECT_EQ(index, 1u);
    EXPECT_FALSE(disk.findEntryByName(cbmName("NOTE"), index, false));
    EXPECT_FALSE(disk.findEntryByName(cbmName("NOTES"), index, true));  // a SEQ
    // With prgOnly the index is still the entry's own.
    ASSERT_TRUE(disk.findEntryByName(cbmName("LOCKED"), index, true));
    EXPECT_EQ(index, 3u);
    // A name with a byte past its padding matches the name before it.
    name_t padded = cbmName("USR");
    padded[5] = 'Z';
    ASSERT_TRUE(disk.findEntryByName(padded, index, false));
    EXPECT_EQ(index, 2u);
}

TEST(DiskMove, RunsMoveAsOneUndoableGroup) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    for (const char* name : {"A", "B", "C", "D", "E"}) ASSERT_TRUE(importPatternFile(disk, name, 10));
    const bytes_t before = image.bytes();
    // Targets inside or right after the run change nothing.
    EXPECT_TRUE(disk.moveEntries(2, 4, 3));
    EXPECT_TRUE(disk.moveEntries(2, 4, 2));
    EXPECT_TRUE(disk.moveEntries(1, 3, 2));
    EXPECT_FALSE(disk.moveEntries(3, 2, 0));
    EXPECT_FALSE(disk.moveEntries(0, 5, 0));
    EXPECT_EQ(image.bytes(), before);

    // Down: the run lands before entry 4 and leaves deleted slots behind.
    ASSERT_TRUE(disk.moveEntries(1, 2, 4));
    EXPECT_EQ(names(disk), (std::vector<std::string>{"A", "D", "B", "C", "E"}));
    EXPECT_EQ(image.block(18, 1)[32 + 2], 0);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);

    // Up: the run fills the slots it left.
    ASSERT_TRUE(disk.moveEntries(3, 4, 1));
    EXPECT_EQ(names(disk), (std::vector<std::string>{"A", "D", "E", "B", "C"}));
    EXPECT_EQ(disk.countDirectoryEntries(), 5u);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskMove, AFailedInsertRollsTheWholeMoveBack) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    for (int i = 0; i < 144; ++i) ASSERT_TRUE(importPatternFile(disk, "F" + std::to_string(i), 1));
    // The only free slots lie before the target, and the directory track is full.
    disk.deleteFile(0, true, false);
    const bytes_t before = image.bytes();
    EXPECT_FALSE(disk.moveEntries(1, 2, 100));
    EXPECT_EQ(disk.lastError(), kErrInsertEntry);
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskSort, ByNameAndSizeAlongTheOwnChain) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    for (const auto& [name, size] : std::vector<std::pair<std::string, std::size_t>>{
             {"ABC", 600}, {"AB", 300}, {"Z", 300}, {"M", 10}, {"Q", 3000}, {"K", 10}, {"B", 5}, {"C", 5}, {"D", 5}}) {
        ASSERT_TRUE(importPatternFile(disk, name, size));
    }
    disk.deleteFile(3, true, true);  // M: a hole in the first block
    const std::uint64_t free = disk.blocksFree();
    const bytes_t bam(image.block(18, 0), image.block(18, 0) + 256);
    const bytes_t before = image.bytes();

    ASSERT_TRUE(disk.sortDirectory(true, false));
    EXPECT_EQ(names(disk), (std::vector<std::string>{"ABC", "AB", "B", "C", "D", "K", "Q", "Z"}));
    // The BAM and the chain are the directory's own; the slot after the last entry is empty.
    EXPECT_EQ(disk.blocksFree(), free);
    EXPECT_EQ(bytes_t(image.block(18, 0), image.block(18, 0) + 256), bam);
    EXPECT_EQ(image.block(18, 1)[0], 18);
    EXPECT_EQ(image.block(18, 1)[1], 4);
    EXPECT_EQ(image.block(18, 4)[2], 0);
    EXPECT_EQ(image.block(18, 4)[5], 0);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);

    // Descending by size: equal sizes come in reverse directory order.
    ASSERT_TRUE(disk.sortDirectory(false, true));
    EXPECT_EQ(names(disk), (std::vector<std::string>{"Q", "ABC", "Z", "AB", "D", "C", "B", "K"}));
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskSort, NothingToSortRecordsNothing) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    EXPECT_TRUE(disk.sortDirectory(true, false));
    EXPECT_TRUE(disk.journal().empty());
    ASSERT_TRUE(importPatternFile(disk, "A", 1));
    ASSERT_TRUE(importPatternFile(disk, "B", 1));
    const std::size_t records = disk.journal().size();
    EXPECT_TRUE(disk.sortDirectory(true, false));
    EXPECT_EQ(disk.journal().size(), records);
}

TEST(DiskSubdirectoryLinks, AreNeverWrittenIntoFileData) {
    // A DIR type byte on a D64 (directory art) names a file, not a subdirectory header.
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    for (const char* name : {"C", "B", "A"}) ASSERT_TRUE(importPatternFile(disk, name, 300));
    image.block(18, 1)[32 + 2] = 0x86;
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(1, false, entry));
    const std::uint8_t* data = disk.sectorPointer(entry.firstBlock());
    const bytes_t fileBlock(data, data + 256);
    ASSERT_TRUE(disk.sortDirectory(true, false));
    ASSERT_TRUE(disk.moveEntries(0, 0, 3));
    EXPECT_EQ(bytes_t(data, data + 256), fileBlock);
}

TEST(DiskFileSize, CountsTheBlocksTheChainsTake) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    ASSERT_TRUE(importPatternFile(disk, "PRG", 509));
    ASSERT_TRUE(disk.importFile(cbmName("REL"), -1, patternBytes(121 * 254, 1), 32, formatById(format_id::rel)));
    ASSERT_TRUE(importPatternFile(disk, "EMPTY", 0));
    dir_entry_t entry;
    for (std::uint64_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(disk.getEntry(i, false, entry));
        disk.setFileSize(entry, 999, i);
    }
    const bytes_t wrong = image.bytes();
    for (std::uint64_t i = 0; i < 3; ++i) EXPECT_TRUE(disk.recalculateFileSize(i));
    const std::uint16_t expected[] = {3, 123, 0};
    for (std::uint64_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(disk.getEntry(i, false, entry));
        EXPECT_EQ(entry.blockCount(), expected[i]) << i;
    }
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), wrong);
    EXPECT_FALSE(disk.recalculateFileSize(3));

    // A chain that loops cannot be counted and leaves the entry alone.
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    std::uint8_t* first = disk.sectorPointer(entry.firstBlock());
    first[0] = static_cast<std::uint8_t>(entry.firstBlock().track);
    first[1] = static_cast<std::uint8_t>(entry.firstBlock().sector);
    EXPECT_FALSE(disk.recalculateFileSize(0));
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(entry.blockCount(), 999);
}

// A GEOS file: info block, and a sequential chain or a VLIR index with its records.
struct geos_file_t {
    std::uint64_t index;
    std::uint16_t blocks;
};

geos_file_t addGeosFile(TestImage& image, bool vlir) {
    Disk& disk = *image.disk;
    track_sector_t info{};
    track_sector_t first{};
    EXPECT_TRUE(disk.writeChain(bytes_t(254, 0x11), info));
    std::uint16_t blocks = 1;
    if (vlir) {
        track_sector_t record1{};
        track_sector_t record2{};
        EXPECT_TRUE(disk.writeChain(patternBytes(600, 1), record1));
        EXPECT_TRUE(disk.writeChain(patternBytes(100, 2), record2));
        bytes_t index(254, 0);
        index[0] = static_cast<std::uint8_t>(record1.track);
        index[1] = static_cast<std::uint8_t>(record1.sector);
        index[2] = 0;
        index[3] = 0xff;  // an empty record
        index[4] = static_cast<std::uint8_t>(record2.track);
        index[5] = static_cast<std::uint8_t>(record2.sector);
        EXPECT_TRUE(disk.writeChain(index, first));
        blocks += 1 + 3 + 1;
    } else {
        EXPECT_TRUE(disk.writeChain(patternBytes(800, 3), first));
        blocks += 4;
    }
    dir_entry_t entry;
    entry.bytes[2] = 0x83;
    entry.bytes[3] = static_cast<std::uint8_t>(first.track);
    entry.bytes[4] = static_cast<std::uint8_t>(first.sector);
    entry.setName(cbmName(vlir ? "VLIR" : "SEQUENTIAL"));
    entry.bytes[21] = static_cast<std::uint8_t>(info.track);
    entry.bytes[22] = static_cast<std::uint8_t>(info.sector);
    entry.bytes[23] = vlir ? 1 : 0;
    entry.bytes[24] = 7;
    entry.bytes[25] = 90;
    entry.bytes[26] = 6;
    entry.bytes[27] = 15;
    entry.bytes[28] = 12;
    entry.bytes[29] = 30;
    EXPECT_TRUE(disk.insertEntry(-1, entry));
    return {disk.countDirectoryEntries() - 1, blocks};
}

TEST(DiskFileSize, GeosFilesCountTheirInfoBlockAndRecords) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    for (const bool vlir : {false, true}) {
        const geos_file_t file = addGeosFile(image, vlir);
        ASSERT_TRUE(disk.recalculateFileSize(file.index)) << vlir;
        dir_entry_t entry;
        ASSERT_TRUE(disk.getEntry(file.index, false, entry));
        EXPECT_EQ(entry.blockCount(), file.blocks) << vlir;
        if (vlir) {
            std::uint64_t bytes = 0;
            std::uint64_t blocks = 0;
            ASSERT_TRUE(disk.vlirFileSize(entry, bytes, blocks));
            EXPECT_EQ(bytes, 700u);
            EXPECT_EQ(blocks, 4u);
        }
    }
}

TEST(DiskBlocks, CollectedTrackByTrackUpToTheEndOfTheData) {
    TestImage image = TestImage::fromFixture("base.d64");
    bytes_t all;
    image.disk->collectBlocks(all);
    EXPECT_EQ(all, image.bytes());
    const bytes_t whole = image.bytes();
    TestImage cut = TestImage::fromBytes(bytes_t(whole.begin(), whole.begin() + 100000));
    bytes_t part;
    cut.disk->collectBlocks(part);
    EXPECT_EQ(part.size(), 100000u / 256 * 256);
}

TEST(DiskDelete, FreesARelFilesSideSectorsToo) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    const std::uint64_t empty = disk.blocksFree();
    ASSERT_TRUE(disk.importFile(cbmName("REL"), 0, patternBytes(121 * 254, 1), 32, formatById(format_id::rel)));
    EXPECT_EQ(disk.blocksFree(), empty - 123);
    disk.deleteFile(0, true, false);
    EXPECT_EQ(disk.blocksFree(), empty);
}

// One undo after any edit gives back the image byte for byte.
TEST(DiskUndo, EveryEditIsUndoneByOneUndo) {
    const bytes_t p00 = test_support::readFixture("core/hello.p00");
    using edit_t = std::function<void(Disk&)>;
    const edit_t nothing = [](Disk&) {};
    // A file named in plain letters with a wrong block count.
    const edit_t plainFile = [](Disk& d) {
        ASSERT_TRUE(importPatternFile(d, " ab", 300));
        d.entryAt(8)[30] = 77;
    };
    const std::vector<std::tuple<std::string, edit_t, edit_t>> edits = {
        {"insert into a full block", nothing, [](Disk& d) { ASSERT_TRUE(importPatternFile(d, "NEW", 300)); }},
        {"import REL", nothing,
         [](Disk& d) {
             ASSERT_TRUE(d.importFile(cbmName("R"), 0, patternBytes(3000, 1), 20, formatById(format_id::rel)));
         }},
        {"import P00", nothing,
         [&](Disk& d) { ASSERT_TRUE(d.importFile(cbmName("P"), 3, p00, 0, formatById(format_id::p00))); }},
        {"delete and wipe", nothing, [](Disk& d) { d.deleteFile(1, true, true); }},
        {"move up", nothing, [](Disk& d) { ASSERT_TRUE(d.moveEntries(5, 7, 0)); }},
        {"move down", nothing, [](Disk& d) { ASSERT_TRUE(d.moveEntries(0, 2, 6)); }},
        {"sort", nothing, [](Disk& d) { ASSERT_TRUE(d.sortDirectory(false, false)); }},
        {"compact", nothing, [](Disk& d) { ASSERT_TRUE(d.compactDirectory()); }},
        {"fill", nothing, [](Disk& d) { ASSERT_TRUE(d.fillFreeBlocks(0x42)); }},
        {"size", plainFile, [](Disk& d) { ASSERT_TRUE(d.recalculateFileSize(8)); }},
        {"case", plainFile, [](Disk& d) { ASSERT_TRUE(d.changeFileNameCase(2, 8, true)); }},
        {"expand", plainFile, [](Disk& d) { ASSERT_TRUE(d.expandFileName(2, 8)); }},
    };
    for (const auto& [what, prepare, edit] : edits) {
        TestImage image = TestImage::fromFixture("base.d64");
        prepare(*image.disk);
        const bytes_t before = image.bytes();
        edit(*image.disk);
        EXPECT_NE(image.bytes(), before) << what;
        EXPECT_TRUE(image.disk->undo()) << what;
        EXPECT_EQ(image.bytes(), before) << what;
    }
}

TEST(DiskImport, EveryTruncationOfAP00FileFailsCleanly) {
    const bytes_t p00 = test_support::readFixture("core/hello.p00");
    TestImage image = TestImage::blank();
    const bytes_t before = image.bytes();
    for (std::size_t size = 0; size < 26; ++size) {
        const bytes_t cut(p00.begin(), p00.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(image.disk->importFile(cbmName("P"), 0, cut, 0, formatById(format_id::p00))) << size;
        EXPECT_EQ(image.bytes(), before) << size;
    }
    for (std::size_t size = 26; size <= p00.size(); ++size) {
        const bytes_t cut(p00.begin(), p00.begin() + static_cast<std::ptrdiff_t>(size));
        ASSERT_TRUE(image.disk->importFile(cbmName("P"), 0, cut, 0, formatById(format_id::p00))) << size;
        ASSERT_TRUE(image.disk->undo());
    }
    EXPECT_EQ(image.bytes(), before);
}

TEST(ZipcodeEntries, AreToldAndNamedByTheirFirstBytes) {
    dir_entry_t entry;
    entry.setName(rawName({'1', '!', 'G', 'A', 'M', 'E', ' ', 0xa0, 'X'}));
    EXPECT_TRUE(isZipcodePartEntry(entry));
    EXPECT_EQ(zipcodeSetName(entry), "GAME");
    entry.setName(rawName(std::vector<std::uint8_t>(16, 'Z')));
    EXPECT_FALSE(isZipcodePartEntry(entry));
    entry.setName(rawName({'5', '!', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z'}));
    EXPECT_EQ(zipcodeSetName(entry), std::string(14, 'Z'));
    entry.setName(rawName({'6', '!', 'X'}));
    EXPECT_FALSE(isZipcodePartEntry(entry));
    // The rule of part names: a six-part GCR part is no four/five-part one, a prefix without
    // a set name is no part at all.
    entry.setName(rawName({'1', '!', '!', 'X'}));
    EXPECT_FALSE(isZipcodePartEntry(entry));
    EXPECT_TRUE(isAnyZipcodePartEntry(entry));
    EXPECT_EQ(zipcodeSetName(entry), "X");
    entry.setName(rawName({'1', '!', 0xa0, 'X'}));
    EXPECT_FALSE(isAnyZipcodePartEntry(entry));
}

}  // namespace
}  // namespace platter
