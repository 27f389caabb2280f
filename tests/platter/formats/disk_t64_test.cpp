#include "platter/formats/disk_t64.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platter/core/format_registry.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;

namespace platter {
namespace {

using T64Image = test_support::ImageOf<DiskT64>;
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

using test_support::importPrg;

bytes_t prefix(const bytes_t& bytes, std::ptrdiff_t length) { return bytes_t(bytes.begin(), bytes.begin() + length); }

// The file of the index-th entry and whether it was cut short.
struct read_t {
    bytes_t data;
    bool cutShort = false;
};

read_t readEntry(DiskT64& tape, std::uint64_t index) {
    dir_entry_t entry;
    EXPECT_TRUE(tape.getEntry(index, true, entry)) << index;
    const entry_read_t result = tape.readEntry(entry);
    EXPECT_NE(result.outcome, read_outcome::unreadable) << index;
    return {result.bytes, result.outcome == read_outcome::cutShort};
}

using notes_t = std::vector<std::string>;

TEST(DiskT64Fixture, SizesComeFromTheDataOffsetsNotTheEndAddresses) {
    T64Image image = T64Image::fromFixture("t64/files.t64");
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
        T64Image cut = T64Image::fromBytes(bytes);
        EXPECT_EQ(cut.disk->damage().sizeUnknown, size < DiskT64::kHeaderSize) << size;
        for (std::uint64_t i = 0; i < cut.disk->countDirectoryEntries(); ++i) cut.file(i);
    }
    // More entries promised than the file holds, and HELLO's data offset far past its end: the
    // directory ends where SECOND's data begin, not at the end of the file.
    bytes_t bytes = good;
    bytes[0x22] = 0xff;
    bytes[0x23] = 0xff;
    bytes[0x40 + 8 + 3] = 0x7f;
    T64Image odd = T64Image::fromBytes(bytes);
    DiskT64& tape = *odd.disk;
    tape.setIncludeEmpty(true);
    EXPECT_EQ(tape.countDirectoryEntries(), 3u);
    EXPECT_EQ(tape.damageNotes(), notes_t({"the header claims 65535 entries; the tape has room for 3",
                                           "entries 0-1 of 'test tape' run past the end of the tape"}));
    EXPECT_EQ(readEntry(tape, 0).data, program(0x0801, {}));
    // SECOND's data now reach to the end of the file, which ends before HELLO's.
    const read_t second = readEntry(tape, 1);
    EXPECT_EQ(second.data.size(), good.size() - 160 + 2);
    EXPECT_TRUE(second.cutShort);
}

TEST(DiskT64Damage, ACutTapeGivesWhatIsThereAndSaysSo) {
    T64Image image = T64Image::fromFixture("t64/cut.t64");
    DiskT64& tape = *image.disk;
    EXPECT_EQ(tape.damageNotes(), notes_t{"entry 0 of 'test tape' runs past the end of the tape"});
    // Only HELLO's end address tells that its 600 bytes are cut after 140.
    const read_t hello = readEntry(tape, 0);
    EXPECT_EQ(hello.data, program(0x0801, prefix(patternBytes(600, 11), 140)));
    EXPECT_TRUE(hello.cutShort);
    // Saved, data added after HELLO would read as the rest of it.
    const test_support::ScratchDir scratch;
    EXPECT_FALSE(saved(tape.saveAs(scratch.file("copy.t64"))));
    EXPECT_FALSE(std::filesystem::exists(scratch.file("copy.t64")));
    EXPECT_EQ(tape.fileSize(0), 142u);
    const read_t second = readEntry(tape, 1);
    EXPECT_EQ(second.data, program(0xc000, patternBytes(300, 12)));
    EXPECT_FALSE(second.cutShort);

    // Cut inside SECOND: HELLO's data start past the end, and SECOND's run to where they start.
    T64Image earlier = T64Image::fromBytes(prefix(test_support::readFixture("t64/files.t64"), 300));
    EXPECT_EQ(earlier.disk->damageNotes(), notes_t{"entries 0-1 of 'test tape' run past the end of the tape"});
    EXPECT_EQ(readEntry(*earlier.disk, 1).data, program(0xc000, prefix(patternBytes(300, 12), 140)));

    // Cut inside FIRST's padding: its data are whole, LAST's are gone.
    T64Image padding = T64Image::fromBytes(prefix(test_support::readFixture("t64/padded.t64"), 64 + 64 + 110));
    EXPECT_EQ(padding.disk->damageNotes(), notes_t{"entry 1 of 'padded' runs past the end of the tape"});
    EXPECT_FALSE(readEntry(*padding.disk, 0).cutShort);
    EXPECT_EQ(readEntry(*padding.disk, 1).data, program(0x1000, {}));

    // HELLO moved to the last slot behind an empty one: numbered as the listing numbers it.
    bytes_t moved = test_support::readFixture("t64/cut.t64");
    const std::size_t first = DiskT64::kHeaderSize;
    const std::size_t last = DiskT64::kHeaderSize + 2 * DiskT64::kEntrySize;
    std::copy_n(moved.begin() + first, DiskT64::kEntrySize, moved.begin() + last);
    moved[first] = 0;
    T64Image behindEmpty = T64Image::fromBytes(moved);
    EXPECT_EQ(behindEmpty.disk->damageNotes(), notes_t{"entry 1 of 'test tape' runs past the end of the tape"});
    behindEmpty.disk->setIncludeEmpty(true);
    EXPECT_EQ(behindEmpty.disk->damageNotes(), notes_t{"entry 2 of 'test tape' runs past the end of the tape"});
}

TEST(DiskT64Damage, EntriesPastTheEndOfAHeaderThatClaimsTooMuch) {
    T64Image image = T64Image::fromFixture("t64/claims.t64");
    DiskT64& tape = *image.disk;
    tape.setIncludeEmpty(true);
    EXPECT_EQ(tape.countDirectoryEntries(), 4u);
    EXPECT_EQ(tape.damageNotes(), notes_t({"the header claims 65535 entries; the tape has room for 4",
                                           "entries 0-3 of 'damaged' run past the end of the tape"}));
    // Each one its load address alone, offsets of 16 MB and more included.
    for (std::uint64_t i = 0; i < 4; ++i) {
        const read_t read = readEntry(tape, i);
        EXPECT_EQ(read.data, program(0x0801, {})) << i;
        EXPECT_TRUE(read.cutShort) << i;
    }
}

// A header that claims 9 entries where SECOND's data begin after the third slot: the slots
// after it are data, not entries.
TEST(DiskT64Damage, TheDirectoryEndsWhereTheFirstDataBegin) {
    T64Image image = T64Image::fromFixture("t64/nine.t64");
    DiskT64& tape = *image.disk;
    // SECOND, whose end address says nothing, may begin inside the slots the header claims.
    EXPECT_EQ(tape.damageNotes(), notes_t({"the header claims 9 entries; the tape has room for 3",
                                           "the data of entry 1 of 'test tape' are not placed for sure"}));
    EXPECT_EQ(tape.countDirectoryEntries(), 2u);
    tape.setIncludeEmpty(true);
    EXPECT_EQ(tape.countDirectoryEntries(), 3u);
    EXPECT_EQ(readEntry(tape, 0).data, program(0x0801, patternBytes(600, 11)));
    EXPECT_EQ(readEntry(tape, 1).data, program(0xc000, patternBytes(300, 12)));
}

// Every entry of a full directory starts its data at one offset past the end: each is still
// found by its name, in one lookup (this once took minutes).
TEST(DiskT64Damage, AFullDirectoryOfEntriesAtOneOffsetReadsEachByItsName) {
    constexpr std::uint64_t kSlots = 0xffff;
    bytes_t bytes = test_support::readFixture("t64/claims.t64");
    bytes.resize(DiskT64::kHeaderSize + kSlots * DiskT64::kEntrySize);
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        // Its slot number as start address and name, data offset 0xFFFFFFFF.
        const std::size_t at = DiskT64::kHeaderSize + DiskT64::kEntrySize * slot;
        test_support::put(bytes, at, {1, 0x82, static_cast<std::uint8_t>(slot), static_cast<std::uint8_t>(slot >> 8)});
        test_support::put(bytes, at + 8, {0xff, 0xff, 0xff, 0xff});
        std::string name = "F" + std::to_string(slot);
        test_support::put(bytes, at + 16, name.append(16 - name.size(), ' '));
    }
    T64Image image = T64Image::fromBytes(bytes);
    DiskT64& tape = *image.disk;
    tape.setIncludeEmpty(true);
    ASSERT_EQ(tape.countDirectoryEntries(), kSlots);
    for (std::uint64_t slot = 0; slot < kSlots; ++slot) {
        const read_t read = readEntry(tape, slot);
        ASSERT_EQ(read.data, program(static_cast<std::uint16_t>(slot), {})) << slot;
        ASSERT_TRUE(read.cutShort) << slot;
    }
}

TEST(DiskT64Sizes, EndAddressesLeaveOutZeroPadding) {
    T64Image image = T64Image::fromFixture("t64/padded.t64");
    DiskT64& tape = *image.disk;
    EXPECT_EQ(image.file(0), program(0x0801, patternBytes(100, 15)));
    EXPECT_EQ(image.file(1), program(0x1000, patternBytes(300, 16)));
    EXPECT_EQ(tape.fileSize(1), 302u);
    dir_entry_t last;
    ASSERT_TRUE(tape.getEntry(1, false, last));
    EXPECT_EQ(last.blockCount(), 2u);
    EXPECT_TRUE(tape.damageNotes().empty());

    // Removing FIRST with its data takes its padding along.
    const bytes_t before = image.bytes();
    ASSERT_TRUE(tape.removeTapeFile(0, true));
    EXPECT_EQ(image.bytes().size(), before.size() - 120);
    EXPECT_EQ(image.file(0), program(0x1000, patternBytes(300, 16)));
    ASSERT_TRUE(tape.undo());
    EXPECT_EQ(image.bytes(), before);
}

// A tape's directory and its data must account for each other: data offsets after the
// directory, one offset an entry's, end addresses that end where the next data begin (or
// zero padding, or a transfer's fill after the last). What does not add up is named, and
// the entries it touches read as they are there but not whole (none when inside the
// directory); the header's counts of entries may be wrong as long as nothing is lost.
TEST(DiskT64Damage, OffsetsAndEndAddressesAreHeldAgainstEachOther) {
    struct entry_t {
        bytes_t data;  // empty: nothing read
        read_outcome outcome;
    };
    struct row_t {
        const char* fixture;
        notes_t notes;
        std::vector<entry_t> entries;
    };
    const read_outcome whole = read_outcome::whole;
    const read_outcome cut = read_outcome::cutShort;
    const bytes_t hello = program(0x0801, patternBytes(600, 11));
    const bytes_t second = program(0xc000, patternBytes(300, 12));
    const bytes_t secondAndHello = [&] {
        bytes_t joined = second;
        joined.insert(joined.end(), hello.begin() + 2, hello.end());
        return joined;
    }();
    const std::vector<row_t> rows = {
        {"t64/files.t64", {}, {{hello, whole}, {second, whole}}},
        {"t64/xmodem.t64", {}, {{hello, whole}, {second, whole}}},
        {"t64/few_slots.t64", {}, {{hello, whole}, {second, whole}}},
        {"t64/offset_in_header.t64",
         {"entry 1 of 'test tape' has its data inside the tape's header and directory"},
         {{hello, whole}, {{}, read_outcome::unreadable}}},
        // HELLO's end address takes SECOND's 300 bytes and 300 of its own.
        {"t64/shared_offset.t64",
         {"entries 0-1 of 'test tape' share one data offset"},
         {{program(0x0801, bytes_t(secondAndHello.begin() + 2, secondAndHello.begin() + 602)), cut},
          {program(0xc000, {}), cut}}},
        {"t64/inside_data.t64",
         {"the data offsets and end addresses of entries 0-1 of 'test tape' disagree"},
         {{program(0x0801, bytes_t(secondAndHello.begin() + 102, secondAndHello.end())), cut},
          {prefix(second, 102), cut}}},
        // An end address past the next entry's data, and one followed by bytes that are not
        // zero: the gaps are read, but not as whole; the converter's 0xC3C6 says nothing.
        {"t64/wrong_end.t64",
         {"the data offsets and end addresses of entries 0-1 of 'wrong end' disagree"},
         {{program(0x0801, patternBytes(100, 17)), cut},
          {program(0x2000, patternBytes(120, 18)), cut},
          {program(0x0801, patternBytes(50, 19)), whole}}},
    };
    for (const row_t& row : rows) {
        SCOPED_TRACE(row.fixture);
        T64Image image = T64Image::fromFixture(row.fixture);
        DiskT64& tape = *image.disk;
        EXPECT_EQ(tape.damageNotes(), row.notes);
        ASSERT_EQ(tape.countDirectoryEntries(), row.entries.size());
        for (std::size_t k = 0; k < row.entries.size(); ++k) {
            dir_entry_t entry;
            ASSERT_TRUE(tape.getEntry(k, false, entry));
            const entry_read_t read = tape.readEntry(entry);
            EXPECT_EQ(read.outcome, row.entries[k].outcome) << k;
            EXPECT_EQ(read.bytes, row.entries[k].data) << k;
            EXPECT_EQ(read.namedByContainer, !read.whole()) << k;
        }
    }
}

// A third entry over SECOND's data, named by its end address: each of the two reads as its
// end address says, neither as whole.
TEST(DiskT64Layout, EntriesSharingTheirDataTakeTheirEndAddresses) {
    bytes_t bytes = test_support::readFixture("t64/files.t64");
    const std::uint8_t shared[] = {1, 0x82, 0x00, 0x30, 0x64, 0x30, 0,   0,   160, 0,  0,
                                   0, 0,    0,    0,    0,    'T',  'H', 'I', 'R', 'D'};
    std::copy(std::begin(shared), std::end(shared), bytes.begin() + 0x80);
    T64Image image = T64Image::fromBytes(bytes);
    const read_t third = readEntry(*image.disk, 2);
    EXPECT_EQ(third.data, program(0x3000, patternBytes(100, 12)));
    EXPECT_TRUE(third.cutShort);
    EXPECT_EQ(image.file(0), program(0x0801, patternBytes(600, 11)));
    EXPECT_EQ(image.disk->damageNotes(), notes_t{"entries 1-2 of 'test tape' share one data offset"});
}

TEST(DiskT64Edit, NewTapeImportAndUndo) {
    T64Image image = T64Image::blank();
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
    T64Image image = T64Image::fromFixture("t64/files.t64");
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
    T64Image image = T64Image::fromFixture("t64/other.t64");
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
    T64Image image = T64Image::fromFixture("t64/files.t64");
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
    T64Image image = T64Image::blank();
    DiskT64& tape = *image.disk;
    ASSERT_TRUE(importPrg(tape, "BIG", program(0x1000, patternBytes(70000, 4))));
    // No free slot is left: the second entry grows the table and moves all data on.
    ASSERT_TRUE(importPrg(tape, "SMALL", program(0x2000, patternBytes(100, 5))));
    EXPECT_EQ(image.file(0), program(0x1000, patternBytes(70000, 4)));
    EXPECT_EQ(image.file(1), program(0x2000, patternBytes(100, 5)));
    const test_support::ScratchDir scratch;
    ASSERT_TRUE(saved(tape.saveAs(scratch.file("big.t64"))));
    EXPECT_EQ(test_support::readBytes(scratch.file("big.t64")), image.bytes());
}

}  // namespace
}  // namespace platter
