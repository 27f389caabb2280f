// GEOS Convert files become GEOS files of the image: info block, data or
// records with their index, the entry from the file's first 30 bytes; a file
// that cannot be stored leaves the image as it was.
#include <gtest/gtest.h>

#include <string>

#include "platter/core/directory_entry_count.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "tests/support/d64_image.hpp"

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
    ASSERT_TRUE(disk.importCvt(file, 0));

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

TEST(DiskImportCvt, FilesThatCannotBeStoredLeaveNothing) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    disk.importFile(test_support::cbmName("FIRST"), 0, pattern(300, 1), 0, nullptr);
    const bytes_t before = image.bytes();

    bytes_t table(254, 0);
    table[0] = 1, table[1] = 20;  // stored
    table[2] = 1, table[3] = 20;  // starts past the end
    bytes_t tail = table;
    const bytes_t record = pattern(254, 2);
    tail.insert(tail.end(), record.begin(), record.end());
    EXPECT_FALSE(disk.importCvt(convertFile(true, tail), 1));
    EXPECT_EQ(disk.lastError(), kErrImportFailed);
    EXPECT_EQ(image.bytes(), before);

    // A VLIR file too short for its record table, a file without the signature.
    EXPECT_FALSE(disk.importCvt(convertFile(true, pattern(92, 1)), 1));
    bytes_t unsigned_ = convertFile(false, pattern(100, 4));
    unsigned_[40] = 'X';
    EXPECT_FALSE(disk.importCvt(unsigned_, 1));
    EXPECT_EQ(image.bytes(), before);
    EXPECT_EQ(countDirectoryEntries(disk), 1u);
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
