#include "platter/formats/disk_t64.hpp"

#include <gtest/gtest.h>

#include "platter/core/format_registry.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

using Image = test_support::ImageOf<DiskT64>;
using test_support::bytes_t;
using test_support::cbmName;
using test_support::patternBytes;

// A program as a tape gives it back: the load address, then the data.
bytes_t program(std::uint16_t start, const bytes_t& data) {
    bytes_t out{static_cast<std::uint8_t>(start & 0xff), static_cast<std::uint8_t>(start >> 8)};
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::uint64_t word(const bytes_t& bytes, std::size_t at) { return bytes[at] + 256u * bytes[at + 1]; }

bool importPrg(Disk& disk, const char* name, const bytes_t& data) {
    return disk.importFile(cbmName(name), 1000, data, 0, formatById(format_id::prg));
}

TEST(DiskT64Fixture, SizesComeFromTheDataOffsetsNotTheEndAddresses) {
    Image image = Image::fromFixture("t64/files.t64");
    DiskT64& tape = *image.disk;
    EXPECT_EQ(tape.lastError(), 0u);
    EXPECT_EQ(tape.countDirectoryEntries(), 2u);
    dir_entry_t hello;
    ASSERT_TRUE(tape.getEntry(0, false, hello));
    EXPECT_EQ(hello.blockCount(), 3u);
    EXPECT_EQ(image.file(0), program(0x0801, patternBytes(600, 11)));
    // SECOND's end address lies below its start: its size is where HELLO's data begins.
    dir_entry_t second;
    ASSERT_TRUE(tape.getEntry(1, false, second));
    EXPECT_EQ(second.blockCount(), 2u);
    EXPECT_EQ(image.file(1), program(0xc000, patternBytes(300, 12)));
    EXPECT_EQ(tape.fileSize(1), 302u);
    EXPECT_EQ(tape.loadAddress(1), 0xc000);
    EXPECT_FALSE(tape.showsBlocksFree());

    // A free slot is an empty entry when empty ones are listed too.
    tape.setIncludeEmpty(true);
    EXPECT_EQ(tape.countDirectoryEntries(), 3u);
    dir_entry_t spare;
    ASSERT_TRUE(tape.getEntry(2, true, spare));
    EXPECT_TRUE(isEmptyEntry(spare));
}

TEST(DiskT64Layout, DamagedHeadersAndOffsetsStayInsideTheFile) {
    const bytes_t good = test_support::readFixture("t64/files.t64");
    for (std::size_t size : {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{100}, good.size() - 1}) {
        bytes_t bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        Image cut = Image::fromBytes(bytes);
        EXPECT_EQ(cut.disk->sizeUnknown(), size < DiskT64::kHeaderSize) << size;
        for (std::uint64_t i = 0; i < cut.disk->countDirectoryEntries(); ++i) cut.file(i);
    }
    // More entries promised than the file holds, and data offsets past its end.
    bytes_t bytes = good;
    bytes[0x22] = 0xff;
    bytes[0x23] = 0xff;
    bytes[0x40 + 8 + 3] = 0x7f;
    Image odd = Image::fromBytes(bytes);
    odd.disk->setIncludeEmpty(true);
    EXPECT_EQ(odd.disk->countDirectoryEntries(), (good.size() - 64) / 32);
    EXPECT_TRUE(odd.file(0).empty());
    // SECOND's data now reaches to the end of the file.
    EXPECT_EQ(odd.file(1).size(), good.size() - 160 + 2);
}

TEST(DiskT64Sizes, EndAddressesLeaveOutZeroPadding) {
    Image image = Image::fromFixture("t64/padded.t64");
    DiskT64& tape = *image.disk;
    EXPECT_EQ(image.file(0), program(0x0801, patternBytes(100, 15)));
    EXPECT_EQ(image.file(1), program(0x1000, patternBytes(300, 16)));
    EXPECT_EQ(tape.fileSize(1), 302u);
    dir_entry_t last;
    ASSERT_TRUE(tape.getEntry(1, false, last));
    EXPECT_EQ(last.blockCount(), 2u);

    // Removing FIRST with its data takes its padding along.
    const bytes_t before = image.bytes();
    ASSERT_TRUE(tape.removeTapeFile(0, true));
    EXPECT_EQ(image.bytes().size(), before.size() - 120);
    EXPECT_EQ(image.file(0), program(0x1000, patternBytes(300, 16)));
    ASSERT_TRUE(tape.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskT64Sizes, WrongEndAddressesKeepTheGap) {
    Image image = Image::fromFixture("t64/wrong_end.t64");
    // An end address past the next entry's data, one followed by bytes that are not zero, and
    // the converter's 0xC3C6 on the last entry: no data are cut.
    EXPECT_EQ(image.file(0), program(0x0801, patternBytes(100, 17)));
    EXPECT_EQ(image.file(1), program(0x2000, patternBytes(120, 18)));
    EXPECT_EQ(image.file(2), program(0x0801, patternBytes(50, 19)));
}

TEST(DiskT64Layout, EntriesSharingTheirDataTakeTheirEndAddresses) {
    bytes_t bytes = test_support::readFixture("t64/files.t64");
    // The free third slot becomes a 100-byte entry over SECOND's data.
    const std::uint8_t shared[] = {1, 0x82, 0x00, 0x30, 0x64, 0x30, 0,   0,   160, 0,  0,
                                   0, 0,    0,    0,    0,    'T',  'H', 'I', 'R', 'D'};
    std::copy(std::begin(shared), std::end(shared), bytes.begin() + 0x80);
    Image image = Image::fromBytes(bytes);
    EXPECT_EQ(image.file(2), program(0x3000, patternBytes(100, 12)));
    EXPECT_EQ(image.file(0), program(0x0801, patternBytes(600, 11)));
}

TEST(DiskT64Edit, NewTapeImportAndUndo) {
    Image image = Image::blank();
    DiskT64& tape = *image.disk;
    const bytes_t blank = image.bytes();
    EXPECT_EQ(blank.size(), DiskT64::kNewTapeSize);
    EXPECT_EQ(tape.countDirectoryEntries(), 0u);
    const bytes_t prg = program(0x0801, patternBytes(300, 3));
    ASSERT_TRUE(importPrg(tape, "NEW", prg));
    const bytes_t after = image.bytes();
    EXPECT_EQ(word(after, 0x22), 1u);
    EXPECT_EQ(word(after, 0x24), 1u);
    EXPECT_EQ(image.file(0), prg);
    dir_entry_t entry;
    ASSERT_TRUE(tape.getEntry(0, false, entry));
    EXPECT_EQ(entry.blockCount(), 2u);
    EXPECT_EQ(test_support::nameOf(entry), cbmName("NEW"));
    EXPECT_FALSE(importPrg(tape, "SHORT", bytes_t{1}));

    ASSERT_TRUE(tape.undo());
    EXPECT_EQ(image.bytes(), blank);
}

TEST(DiskT64Edit, DeleteKeepsTheDataRemoveCutsItAndUndoRestores) {
    Image image = Image::fromFixture("t64/files.t64");
    DiskT64& tape = *image.disk;
    const bytes_t before = image.bytes();
    dir_entry_t entry;
    tape.markDeleted(entry, 0, false);
    EXPECT_EQ(image.bytes().size(), before.size());
    EXPECT_EQ(image.bytes()[0x40], 0);
    EXPECT_EQ(word(image.bytes(), 0x24), 1u);
    EXPECT_EQ(tape.countDirectoryEntries(), 1u);
    ASSERT_TRUE(tape.undo());
    EXPECT_EQ(image.bytes(), before);

    // SECOND's data comes first: cutting it moves HELLO's data and offset down.
    ASSERT_TRUE(tape.removeTapeFile(1, true));
    EXPECT_EQ(image.bytes().size(), before.size() - 300);
    EXPECT_EQ(tape.countDirectoryEntries(), 1u);
    EXPECT_EQ(image.file(0), program(0x0801, patternBytes(600, 11)));
    ASSERT_TRUE(tape.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskT64Edit, RenameMoveAndValidate) {
    Image image = Image::fromFixture("t64/other.t64");
    DiskT64& tape = *image.disk;
    dir_entry_t entry;
    ASSERT_TRUE(tape.getEntry(0, false, entry));
    tape.setFileName(entry, cbmName("RENAMED", false), 0);
    const bytes_t renamed = image.bytes();
    EXPECT_EQ(bytes_t(renamed.begin() + 0x50, renamed.begin() + 0x60),
              bytes_t({'R', 'E', 'N', 'A', 'M', 'E', 'D', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(tape.moveEntry(false, 0), 1u);
    ASSERT_TRUE(tape.getEntry(1, false, entry));
    EXPECT_EQ(test_support::nameOf(entry), cbmName("RENAMED", false));

    // The used count says 5 and TWO's end address is 0xC3C6; validation mends both, and leaves
    // ONE's, which tells the data from the padding after them.
    tape.initBam();
    const bytes_t fixed = image.bytes();
    EXPECT_EQ(word(fixed, 0x24), 2u);
    EXPECT_EQ(word(fixed, 0x40 + 4), 0x2000u + 30);
    EXPECT_EQ(word(fixed, 0x60 + 4), 0x1000u + 40);
    while (tape.undo()) {}
    EXPECT_EQ(image.bytes(), test_support::readFixture("t64/other.t64"));
}

TEST(DiskT64Edit, SortAndMoveRunsKeepEachEntryWithItsData) {
    Image image = Image::fromFixture("t64/files.t64");
    DiskT64& tape = *image.disk;
    const bytes_t before = image.bytes();
    const bytes_t hello = program(0x0801, patternBytes(600, 11));
    const bytes_t second = program(0xc000, patternBytes(300, 12));
    ASSERT_TRUE(tape.sortDirectory(false, false));
    EXPECT_EQ(image.file(0), second);
    EXPECT_EQ(image.file(1), hello);
    ASSERT_TRUE(tape.sortDirectory(true, true));
    EXPECT_EQ(image.file(0), second);
    ASSERT_TRUE(tape.sortDirectory(true, false));
    EXPECT_EQ(image.bytes(), before);

    ASSERT_TRUE(tape.moveEntries(1, 1, 0));
    EXPECT_EQ(image.file(0), second);
    EXPECT_EQ(image.file(1), hello);
    ASSERT_TRUE(tape.moveEntries(0, 0, 2));
    EXPECT_EQ(image.file(0), hello);
    EXPECT_FALSE(tape.moveEntries(0, 5, 0));
    while (tape.undo()) {}
    EXPECT_EQ(image.bytes(), before);
}

TEST(DiskT64Save, TapesOverOneTrackAreSavedByteForByte) {
    Image image = Image::blank();
    DiskT64& tape = *image.disk;
    ASSERT_TRUE(importPrg(tape, "BIG", program(0x1000, patternBytes(70000, 4))));
    // No free slot is left: the second entry grows the table and moves all data on.
    ASSERT_TRUE(importPrg(tape, "SMALL", program(0x2000, patternBytes(100, 5))));
    EXPECT_EQ(image.file(0), program(0x1000, patternBytes(70000, 4)));
    EXPECT_EQ(image.file(1), program(0x2000, patternBytes(100, 5)));
    const test_support::ScratchDir scratch;
    ASSERT_TRUE(tape.saveAs(scratch.file("big.t64")));
    EXPECT_EQ(test_support::readBytes(scratch.file("big.t64")), image.bytes());
}

}  // namespace
}  // namespace platter
