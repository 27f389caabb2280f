// GEOS Convert files become GEOS files of the image: info block, data or
// records with their index, the entry from the file's first 30 bytes; a file
// that cannot be stored leaves the image as it was; one whose record table
// and data disagree is stored as far as it goes, and the gaps are counted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platter/core/directory_entry_count.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::readWhole;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::TestImage;

// A Convert file: the entry (bytes 2-31) with the structure at 21, the
// signature, an info block, then the data or the record table and records.
bytes_t convertFile(bool vlir, const bytes_t& tail) {
    bytes_t file(508, 0);
    file[0] = 0x83;
    for (std::size_t i = 3; i < 19; ++i) file[i] = static_cast<std::uint8_t>('A' + i);
    file[21] = vlir ? 1 : 0;
    file[22] = 6;                                                                          // GEOS type
    for (std::size_t i = 0; i < 5; ++i) file[23 + i] = static_cast<std::uint8_t>(90 + i);  // date
    const std::string signature = "PRG formatted GEOS file V1.0";
    std::copy(signature.begin(), signature.end(), file.begin() + 30);
    for (std::size_t i = 0; i < 254; ++i) file[254 + i] = static_cast<std::uint8_t>(i ^ 0x5A);
    file.insert(file.end(), tail.begin(), tail.end());
    return file;
}

bytes_t pattern(std::size_t size, unsigned seed) { return test_support::patternBytes(size, seed); }

bytes_t chain(Disk& disk, std::uint8_t track, std::uint8_t sector) {
    bytes_t data;
    std::uint64_t size = 0;
    EXPECT_TRUE(disk.readChain(track, sector, 0, &size, &data));
    return data;
}

// The index-th file as readFile gives it: a GEOS file in the GEOS Convert form.
// The GEOS Convert form of an entry, which must fit the form whole.
bytes_t convertForm(Disk& disk, std::uint64_t index) {
    dir_entry_t entry;
    EXPECT_TRUE(disk.getEntry(index, false, entry));
    const entry_read_t read = disk.readEntry(entry);
    EXPECT_TRUE(read.whole());
    EXPECT_TRUE(read.recordsCountedShort.empty());
    return read.bytes;
}

TEST(DiskImportCvt, SequentialFileGetsItsInfoBlockAndData) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    const bytes_t data = pattern(600, 3);
    const bytes_t file = convertFile(false, data);
    ASSERT_TRUE(disk.importFile(test_support::cbmName("IGNORED"), 0, file, 0, formatById(format_id::cvt)));
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(bytes_t(entry.bytes.begin() + 5, entry.bytes.begin() + 21), bytes_t(file.begin() + 3, file.begin() + 19));
    EXPECT_EQ(entry.typeByte(), 0x83);
    EXPECT_EQ(bytes_t(entry.bytes.begin() + 23, entry.bytes.begin() + 30),
              bytes_t(file.begin() + 21, file.begin() + 28));
    EXPECT_EQ(entry.blockCount(), 1 + 3);
    EXPECT_EQ(disk.blocksFree(), 664u - 4);
    const std::uint8_t* info = disk.sectorPointer(entry.sideBlock());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info[0], 0);
    EXPECT_EQ(info[1], 0xff);
    EXPECT_EQ(bytes_t(info + 2, info + 256), bytes_t(file.begin() + 254, file.begin() + 508));
    EXPECT_EQ(chain(disk, entry.bytes[3], entry.bytes[4]), data);
}

TEST(DiskImportCvt, VlirRecordsFollowTheirTable) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    bytes_t tail(254, 0);
    // Record 0: two blocks, 10 bytes in the second; 1: empty; 2: 4 bytes, cut by the
    // end of the file; 3: (0, 0) ends the table.
    tail[0] = 2, tail[1] = 11;
    tail[2] = 0, tail[3] = 0xff;
    tail[4] = 1, tail[5] = 9;
    tail[8] = 1, tail[9] = 50;
    const bytes_t first = pattern(264, 5);
    tail.insert(tail.end(), first.begin(), first.end());
    tail.resize(254 + 2 * 254, 0);
    const bytes_t second = pattern(4, 7);
    tail.insert(tail.end(), second.begin(), second.end());
    const bytes_t file = convertFile(true, tail);
    convert_record_gaps_t gaps;
    ASSERT_TRUE(disk.importCvt(file, 0, &gaps));
    EXPECT_EQ(gaps.missing, 4u);
    EXPECT_EQ(gaps.firstCut, 2u);
    EXPECT_EQ(gaps.lastCut, 2u);
    EXPECT_EQ(gaps.leftOver, 0u);

    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    const std::uint8_t* index = disk.sectorPointer(entry.firstBlock());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index[1], 0xff);
    EXPECT_EQ(chain(disk, index[2], index[3]), first);
    EXPECT_EQ(index[4], 0);
    EXPECT_EQ(index[5], 0xff);
    EXPECT_EQ(chain(disk, index[6], index[7]), second);
    EXPECT_EQ(index[8], 0);  // the table ended before record 3
    EXPECT_EQ(index[9], 0);
    EXPECT_EQ(entry.blockCount(), 1 + 2 + 1 + 1);
    EXPECT_EQ(disk.blocksFree(), 664u - 5);
}

// A record of one block without data still takes that block in the file: the records after it
// are read from the blocks behind it.
TEST(DiskImportCvt, AnEmptyOneBlockRecordKeepsItsBlock) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    bytes_t tail(254, 0);
    tail[0] = 1, tail[1] = 1;
    tail[2] = 2, tail[3] = 100;
    const bytes_t records = pattern(3 * 254, 9);
    tail.insert(tail.end(), records.begin(), records.end());
    const bytes_t file = convertFile(true, tail);
    ASSERT_TRUE(disk.importCvt(file, 0));

    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    const std::uint8_t* index = disk.sectorPointer(entry.firstBlock());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index[2], 0);
    EXPECT_EQ(index[3], 0xff);
    EXPECT_EQ(chain(disk, index[4], index[5]), bytes_t(file.begin() + 762 + 254, file.begin() + 762 + 254 + 353));
}

// A last-block byte of 0 or 1 gives a record of two blocks no size: both are kept whole, and
// the record is named, not cut to its first block.
TEST(DiskImportCvt, ARecordWhoseLastBlockByteGivesNoSizeKeepsItsBlocks) {
    for (const std::uint8_t last : {std::uint8_t{0}, std::uint8_t{1}}) {
        TestImage image = TestImage::blank();
        Disk& disk = *image.disk;
        bytes_t tail(254, 0);
        tail[0] = 2, tail[1] = last;
        const bytes_t records = pattern(2 * 254, 3);
        tail.insert(tail.end(), records.begin(), records.end());
        convert_record_gaps_t gaps;
        ASSERT_TRUE(disk.importCvt(convertFile(true, tail), 0, &gaps));
        EXPECT_EQ(gaps.unsized, (std::vector<convert_unsized_record_t>{{0, last, 2}}));
        EXPECT_EQ(gaps.missing, 0u);

        dir_entry_t entry;
        ASSERT_TRUE(disk.getEntry(0, false, entry));
        const std::uint8_t* index = disk.sectorPointer(entry.firstBlock());
        ASSERT_NE(index, nullptr);
        EXPECT_EQ(chain(disk, index[2], index[3]), records) << int{last};
    }
}

// A type byte of 0 would make the entry a scratched one, hiding the blocks just written.
TEST(DiskImportCvt, AFileOfTypeZeroIsStoredAsAClosedDelFile) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    bytes_t file = convertFile(false, pattern(300, 4));
    file[0] = 0;
    ASSERT_TRUE(disk.importCvt(file, 0));

    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(entry.typeByte(), 0x80);
    EXPECT_EQ(entry.blockCount(), 1 + 2);
    EXPECT_EQ(disk.blocksFree(), 664u - 3);
}

// Records the file ends before keep what it holds of them, and say how much is missing.
TEST(DiskImportCvt, RecordsPastTheEndOfTheFileAreKeptAsFarAsItGoes) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    bytes_t tail(254, 0);
    tail[0] = 1, tail[1] = 20;   // 19 bytes, whole
    tail[2] = 2, tail[3] = 100;  // 353 bytes, of which the file holds 50
    tail[4] = 0, tail[5] = 0xff;
    tail[6] = 1, tail[7] = 20;  // starts past the end
    const bytes_t records = pattern(254 + 50, 2);
    tail.insert(tail.end(), records.begin(), records.end());
    convert_record_gaps_t gaps;
    ASSERT_TRUE(disk.importCvt(convertFile(true, tail), 0, &gaps));
    EXPECT_EQ(gaps.missing, 353u - 50 + 19);
    EXPECT_EQ(gaps.firstCut, 1u);
    EXPECT_EQ(gaps.lastCut, 3u);

    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    const std::uint8_t* index = disk.sectorPointer(entry.firstBlock());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(chain(disk, index[2], index[3]), bytes_t(records.begin(), records.begin() + 19));
    EXPECT_EQ(chain(disk, index[4], index[5]), bytes_t(records.begin() + 254, records.end()));
    EXPECT_EQ(bytes_t(index + 6, index + 10), (bytes_t{0, 0xff, 0, 0xff}));  // no data: empty records
    EXPECT_EQ(entry.blockCount(), 1 + 1 + 1 + 1);
}

// Records end on whole blocks; what follows the last one's block belongs to none.
TEST(DiskImportCvt, DataAfterTheLastRecordIsLeftOutAndCounted) {
    bytes_t tail(254, 0);
    tail[0] = 2, tail[1] = 11;  // 264 bytes
    const bytes_t record = pattern(264, 3);
    tail.insert(tail.end(), record.begin(), record.end());
    convert_record_gaps_t gaps;
    for (const std::size_t padding : {0u, 244u}) {
        TestImage image = TestImage::blank();
        bytes_t padded = tail;
        padded.resize(tail.size() + padding, 0);
        ASSERT_TRUE(image.disk->importCvt(convertFile(true, padded), 0, &gaps));
        EXPECT_FALSE(gaps.any()) << padding;
    }
    TestImage image = TestImage::blank();
    tail.resize(tail.size() + 244 + 300, 0x55);
    ASSERT_TRUE(image.disk->importCvt(convertFile(true, tail), 0, &gaps));
    EXPECT_EQ(gaps.leftOver, 300u);
    EXPECT_EQ(gaps.missing, 0u);
    EXPECT_EQ(image.disk->blocksFree(), 664u - 4);
}

TEST(DiskImportCvt, FilesThatCannotBeStoredLeaveNothing) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    disk.importFile(test_support::cbmName("FIRST"), 0, pattern(300, 1), 0, nullptr);
    const bytes_t before = image.bytes();

    // A VLIR file too short for its record table, a file without the signature.
    EXPECT_FALSE(disk.importCvt(convertFile(true, pattern(92, 1)), 1));
    bytes_t unsigned_ = convertFile(false, pattern(100, 4));
    unsigned_[40] = 'X';
    EXPECT_FALSE(disk.importCvt(unsigned_, 1));
    EXPECT_EQ(disk.lastError(), kErrImportFailed);
    EXPECT_EQ(image.bytes(), before);
    EXPECT_EQ(countDirectoryEntries(disk), 1u);
}

// SMALL VLIR of geos/records.d64 goes out and comes back in without a word; only the entry's
// block addresses (file bytes 1-2 and 19-20) tell the images apart.
TEST(DiskImportCvt, AFileWhoseRecordsFitRoundTripsWhole) {
    TestImage source = TestImage::fromBytes(test_support::readFixture("geos/records.d64"));
    const bytes_t exported = convertForm(*source.disk, 1);

    TestImage copy = TestImage::blank();
    convert_record_gaps_t gaps;
    ASSERT_TRUE(copy.disk->importCvt(exported, 0, &gaps));
    EXPECT_FALSE(gaps.any());
    bytes_t again = convertForm(*copy.disk, 0);
    TestImage copyOfCopy = TestImage::blank();
    ASSERT_TRUE(copyOfCopy.disk->importCvt(again, 0, &gaps));
    EXPECT_EQ(convertForm(*copyOfCopy.disk, 0), again);
    ASSERT_EQ(again.size(), exported.size());
    for (const std::size_t at : {1u, 2u, 19u, 20u}) again[at] = exported[at];
    EXPECT_EQ(again, exported);
}

// The export of geos/records.d64 counts record 1 (300 blocks) as 255: back in, record 2 is read
// from its 256th block, and its last 44 blocks and the real record 2 are left over.
TEST(DiskImportCvt, ARecordCountedShortLeavesItsRestOver) {
    TestImage image = TestImage::blank();
    convert_record_gaps_t gaps;
    ASSERT_TRUE(image.disk->importCvt(test_support::readFixture("geos/long.cvt"), 0, &gaps));
    EXPECT_EQ(gaps.leftOver, 44u * 254 + 100);
    EXPECT_EQ(gaps.missing, 0u);
}

TEST(DiskImportCvt, AFullImageSaysSo) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    ASSERT_TRUE(disk.importFile(test_support::cbmName("BIG"), 0, pattern(663 * 254, 1), 0, nullptr));
    EXPECT_FALSE(disk.importCvt(convertFile(false, pattern(600, 3)), 1));
    EXPECT_EQ(disk.lastError(), kErrDiskFull);
    EXPECT_EQ(disk.blocksFree(), 1u);
    EXPECT_EQ(countDirectoryEntries(disk), 1u);
}

}  // namespace
}  // namespace platter
