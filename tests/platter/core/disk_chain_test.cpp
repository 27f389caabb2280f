#include <gtest/gtest.h>

#include <vector>

#include "platter/core/disk.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::readWhole;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::TestImage;

// Writes a chain of blocks on track 1 (sectors 0, 1, ...) whose last link is
// 0/lastByte, and returns its data as readChain should see it.
bytes_t writeTrackOneChain(TestImage& image, unsigned blocks, std::uint8_t lastByte) {
    bytes_t expected;
    for (unsigned s = 0; s < blocks; ++s) {
        std::uint8_t* b = image.block(1, s);
        for (unsigned i = 2; i < 256; ++i) b[i] = static_cast<std::uint8_t>(s * 16 + i);
        const bool last = s + 1 == blocks;
        b[0] = last ? 0 : 1;
        b[1] = last ? lastByte : static_cast<std::uint8_t>(s + 1);
        const int end = last ? (lastByte >= 2 ? lastByte + 1 : 2) : 256;
        expected.insert(expected.end(), b + 2, b + end);
    }
    return expected;
}

TEST(DiskChain, LastBlockByteOneDecidesTheSize) {
    struct case_t {
        std::uint8_t lastByte;
        std::uint64_t size;
    };
    for (const case_t c : {case_t{1, 254 * 2}, {255, 254 * 3}, {0, 254 * 2}, {2, 254 * 2 + 1}}) {
        TestImage image = TestImage::blank();
        const bytes_t expected = writeTrackOneChain(image, 3, c.lastByte);
        std::uint64_t size = 0;
        bytes_t data;
        track_sector_t last;
        std::vector<track_sector_t> blocks;
        ASSERT_TRUE(image.disk->readChain(1, 0, 0, &size, &data, &last, &blocks)) << int(c.lastByte);
        EXPECT_EQ(size, c.size) << int(c.lastByte);
        EXPECT_EQ(data, expected) << int(c.lastByte);
        EXPECT_EQ(last, makeBlock(1, 2));
        EXPECT_EQ(blocks.size(), 3u);
    }
}

TEST(DiskChain, SingleBlockLinkedZeroZeroHasNoData) {
    TestImage image = TestImage::blank();
    image.block(1, 0)[0] = 0;
    image.block(1, 0)[1] = 0;
    std::uint64_t size = 99;
    bytes_t data;
    EXPECT_TRUE(image.disk->readChain(1, 0, 0, &size, &data));
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(data.empty());
    bytes_t whole;
    EXPECT_TRUE(image.disk->readChain(1, 0, 0, &size, &whole, nullptr, nullptr, true));
    EXPECT_EQ(whole.size(), 254u);
    // Track 0 is an empty chain.
    EXPECT_TRUE(image.disk->readChain(0, 5, 0, &size));
    EXPECT_EQ(size, 0u);
}

TEST(DiskChain, DamagedChainsFailAfterBoundedWork) {
    struct link_t {
        const char* what;
        std::uint8_t track0, sector0, track1, sector1;
        std::uint32_t code;
    };
    for (const link_t c : {link_t{"self loop", 1, 0, 0, 0, 0},
                           {"2-cycle", 1, 1, 1, 0, 0},
                           {"track 36", 36, 0, 0, 0, kErrPastImage},
                           {"sector 21", 1, 21, 0, 0, kErrPastImage}}) {
        TestImage image = TestImage::blank();
        image.block(1, 0)[0] = c.track0;
        image.block(1, 0)[1] = c.sector0;
        image.block(1, 1)[0] = c.track1;
        image.block(1, 1)[1] = c.sector1;
        std::uint64_t size = 0;
        bytes_t data;
        std::vector<track_sector_t> blocks;
        image.disk->setLastError(0);
        EXPECT_FALSE(image.disk->readChain(1, 0, 0, &size, &data, nullptr, &blocks)) << c.what;
        EXPECT_LE(blocks.size(), 2u) << c.what;
        EXPECT_EQ(image.disk->lastError(), c.code) << c.what;
    }
}

TEST(DiskChain, BamModesMarkAndFreeEveryBlock) {
    TestImage image = TestImage::blank();
    writeTrackOneChain(image, 3, 10);
    std::uint64_t size = 0;
    ASSERT_TRUE(image.disk->readChain(1, 0, 1, &size));
    EXPECT_EQ(image.disk->blocksFree(), 661u);
    ASSERT_TRUE(image.disk->readChain(1, 0, 1, &size));  // already used: unchanged
    EXPECT_EQ(image.disk->blocksFree(), 661u);
    ASSERT_TRUE(image.disk->readChain(1, 0, 2, &size));
    EXPECT_EQ(image.disk->blocksFree(), 664u);
}

TEST(DiskChain, DelEntryWithoutDataReadsAsEmpty) {
    TestImage image = TestImage::blank();
    dir_entry_t entry;
    entry.setName(test_support::cbmName("EMPTY"));
    entry.bytes[2] = 0x80;
    ASSERT_TRUE(image.disk->insertEntry(0, entry));
    bytes_t data;
    EXPECT_TRUE(image.disk->readFileByIndex(0, false, data));
    EXPECT_TRUE(data.empty());
    entry.bytes[2] = 0x82;  // the same for a PRG fails
    ASSERT_TRUE(image.disk->insertEntry(1, entry));
    EXPECT_FALSE(image.disk->readFileByIndex(1, false, data));
}

TEST(DiskChain, BlockRangeStopsAtTheDirectoryTrackAndTheEnd) {
    TestImage image = TestImage::blank();
    bytes_t out;
    EXPECT_TRUE(image.disk->readBlockRange(17, 0, 21, 0, &out));
    EXPECT_EQ(out.size(), 21u * 256);
    out.clear();
    EXPECT_FALSE(image.disk->readBlockRange(17, 20, 2, 0, &out));
    EXPECT_EQ(image.disk->lastError(), kErrPastImage);
    EXPECT_FALSE(image.disk->readBlockRange(35, 0, 40, 0, &out));
    EXPECT_EQ(image.disk->lastError(), kErrPastImage);
    EXPECT_TRUE(image.disk->readBlockRange(1, 0, 0, 0, &out));
}

// A VLIR file on a blank image: info block 1/0, record index 1/1, records at 1/2 (two blocks
// 1/2-1/3) and 1/4.
dir_entry_t writeVlirFile(TestImage& image) {
    std::uint8_t* info = image.block(1, 0);
    std::fill(info, info + 256, 0);
    info[1] = 0xff;
    info[2] = 0x03;
    std::uint8_t* index = image.block(1, 1);
    std::fill(index, index + 256, 0);
    index[1] = 0xff;
    index[2] = 1, index[3] = 2;     // record 0
    index[4] = 0, index[5] = 0xff;  // record 1 empty
    index[6] = 1, index[7] = 4;     // record 2
    image.block(1, 2)[0] = 1, image.block(1, 2)[1] = 3;
    image.block(1, 3)[0] = 0, image.block(1, 3)[1] = 11;  // 10 bytes
    image.block(1, 4)[0] = 0, image.block(1, 4)[1] = 5;   // 4 bytes
    dir_entry_t entry;
    entry.bytes[2] = 0x83;
    entry.bytes[3] = 1, entry.bytes[4] = 1;
    entry.setName(test_support::cbmName("GEOS APP"));
    entry.bytes[21] = 1, entry.bytes[22] = 0;
    entry.bytes[23] = 1;
    entry.bytes[24] = 6;
    entry.bytes[25] = 90, entry.bytes[26] = 5, entry.bytes[27] = 17, entry.bytes[28] = 12, entry.bytes[29] = 30;
    return entry;
}

TEST(DiskChain, GeosVlirFileComesOutInConvertLayout) {
    TestImage image = TestImage::blank();
    Disk& disk = *image.disk;
    dir_entry_t entry = writeVlirFile(image);
    ASSERT_TRUE(disk.isGeosFile(entry));
    EXPECT_EQ(disk.geosInfoWord(entry, geos_info_field::LoadAddress), 0u);
    // The info block, the index and the records' blocks.
    std::vector<track_sector_t> blocks;
    ASSERT_TRUE(disk.readFileBlocks(entry, 0, blocks));
    EXPECT_EQ(blocks.size(), 1u + 1 + 3);
    // The one read of the entry goes through the same blocks.
    std::vector<track_sector_t> read;
    EXPECT_TRUE(disk.readEntry(entry, &read).whole());
    EXPECT_EQ(read, blocks);
    bytes_t cvt;
    ASSERT_TRUE(readWhole(disk, entry, cvt));
    ASSERT_EQ(cvt.size(), 762u + 2 * 254 + 4);
    EXPECT_EQ(std::string(cvt.begin() + 30, cvt.begin() + 58), "PRG formatted GEOS file V1.0");
    EXPECT_EQ(cvt[254], 0x03);  // info block data
    // Record table: (blocks, last index) pairs; 00 FF empty, 00 00 ends.
    EXPECT_EQ(bytes_t(cvt.begin() + 508, cvt.begin() + 516), (bytes_t{2, 11, 0, 0xff, 1, 5, 0, 0}));
    EXPECT_EQ(cvt[762], image.block(1, 2)[2]);
    EXPECT_EQ(cvt[762 + 508], image.block(1, 4)[2]);  // record 2 starts on a whole block
    // An invalid date is not a GEOS file.
    entry.bytes[26] = 13;
    EXPECT_FALSE(disk.isGeosFile(entry));
}

// An entry's chain whose last block says no size is kept whole and cut short; one of blocks
// that starts nowhere holds nothing, while directory art (DEL, or no blocks) is empty and whole,
// a DEL entry of no blocks into the directory too; any other entry there runs into it.
TEST(DiskChain, ALastBlockThatSaysNoSizeIsKeptWholeAndAStartAtNothingHoldsNothing) {
    struct case_t {
        std::uint8_t type;
        std::uint8_t firstTrack;
        std::uint16_t blocks;
        std::uint8_t lastByte;
        read_outcome outcome;
        std::size_t bytes;
        std::uint8_t firstSector = 0;
    };
    for (const case_t c : {case_t{0x82, 1, 2, 1, read_outcome::cutShort, 508},
                           {0x82, 1, 2, 0, read_outcome::cutShort, 508},
                           {0x82, 1, 2, 2, read_outcome::whole, 255},
                           {0x82, 0, 2, 2, read_outcome::unreadable, 0},
                           {0x80, 0, 0, 2, read_outcome::whole, 0},
                           {0x82, 0, 0, 2, read_outcome::whole, 0},
                           {0x80, 18, 0, 2, read_outcome::whole, 0, 1},
                           {0x82, 18, 1, 2, read_outcome::unreadable, 0, 1}}) {
        TestImage image = TestImage::blank();
        writeTrackOneChain(image, 2, c.lastByte);
        dir_entry_t entry;
        entry.bytes[2] = c.type;
        entry.bytes[3] = c.firstTrack, entry.bytes[4] = c.firstSector;
        entry.bytes[30] = static_cast<std::uint8_t>(c.blocks);
        const entry_read_t read = image.disk->readEntry(entry);
        EXPECT_EQ(read.outcome, c.outcome) << int{c.lastByte} << " " << int{c.firstTrack};
        EXPECT_EQ(read.bytes.size(), c.bytes) << int{c.lastByte} << " " << int{c.firstTrack};
        if (c.outcome == read_outcome::cutShort) {
            EXPECT_EQ(read.unsized, (unsized_chain_t{std::nullopt, c.lastByte, 2}));
        }
    }
}

// A VLIR file whose index, records or info link are damaged reads as not whole, saying why.
TEST(DiskChain, AVlirFileWhoseLinksAreDamagedIsNotWhole) {
    struct case_t {
        const char* what;
        track_sector_t block;  // of the damage; none for the entry
        std::size_t at;        // two bytes from here
        std::uint8_t first;
        std::uint8_t second;
        read_outcome outcome;
    };
    for (const case_t& c : {case_t{"record 0 at its index", makeBlock(1, 1), 2, 1, 1, read_outcome::cutShort},
                            case_t{"record 0 ends the table", makeBlock(1, 1), 2, 0, 0, read_outcome::cutShort},
                            case_t{"record 2's last byte", makeBlock(1, 4), 0, 0, 1, read_outcome::cutShort},
                            case_t{"info past the image", noBlock(), 21, 99, 0, read_outcome::unreadable},
                            case_t{"info at 0/0", noBlock(), 21, 0, 0, read_outcome::unreadable}}) {
        TestImage image = TestImage::blank();
        dir_entry_t entry = writeVlirFile(image);
        std::uint8_t* at =
            c.block.isNone() ? &entry.bytes[c.at] : image.disk->sectorPointer(c.block.track, c.block.sector) + c.at;
        at[0] = c.first;
        at[1] = c.second;
        const entry_read_t read = image.disk->readEntry(entry);
        EXPECT_EQ(read.outcome, c.outcome) << c.what;
        if (c.first == 1 && c.second == 1) {
            EXPECT_EQ(read.stop, (chain_stop_t{chain_end::turnsBack, makeBlock(1, 1), makeBlock(1, 1)}));
            EXPECT_EQ(read.bytes.size(), 762u) << "nothing of the index is read as a record";
        }
        if (c.block == makeBlock(1, 4)) {
            EXPECT_EQ(read.unsized, (unsized_chain_t{2, 1, 1}));
            EXPECT_EQ(read.bytes.size(), 762u + 2 * 254 + 254);
        }
    }
}

// A record of 300 blocks goes out whole, counted as the 255 blocks the form's table can hold,
// and named in that read's result only.
TEST(DiskChain, AVlirRecordOverTheConvertTablesCountIsNamed) {
    TestImage image = TestImage::fromBytes(test_support::readFixture("geos/records.d64"));
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(0, false, entry));
    const entry_read_t first = image.disk->readEntry(entry);
    ASSERT_TRUE(first.whole());
    EXPECT_EQ(first.bytes, test_support::readFixture("geos/long.cvt"));
    EXPECT_EQ(first.recordsCountedShort, (std::vector<vlir_record_blocks_t>{{1, 300}}));
    ASSERT_TRUE(image.disk->getEntry(1, false, entry));
    const entry_read_t second = image.disk->readEntry(entry);
    ASSERT_TRUE(second.whole());
    EXPECT_TRUE(second.recordsCountedShort.empty());
}

TEST(DiskChain, GeosInfoSettersJournalTheOldBytes) {
    TestImage image = TestImage::blank();
    dir_entry_t entry;
    entry.bytes[21] = 1, entry.bytes[22] = 0;
    ASSERT_TRUE(image.disk->setGeosInfoText(entry, geos_info_field::Class, "Paint V1.0"));
    EXPECT_EQ(image.disk->geosInfoText(entry, geos_info_field::Class), "Paint V1.0");
    ASSERT_TRUE(image.disk->setGeosInfoWord(entry, geos_info_field::StartAddress, 0x1234));
    EXPECT_EQ(image.block(1, 0)[75], 0x34);
    ASSERT_TRUE(image.disk->undo());
    ASSERT_TRUE(image.disk->undo());
    EXPECT_EQ(image.block(1, 0)[77], 0x01);  // the format pattern is back
}

// An opener that knows an entry's file is not whole says so once, in the image's report; the
// read of that entry says it is not whole, the other entries read whole.
TEST(DiskChain, AnEntryNotedDamagedReadsAsItsNoteSays) {
    TestImage image = TestImage::blank();
    ASSERT_TRUE(image.disk->importFile(test_support::cbmName("STORY"), 0, bytes_t(600, 7), 0, nullptr));
    ASSERT_TRUE(image.disk->importFile(test_support::cbmName("WHOLE"), 1, bytes_t(20, 1), 0, nullptr));
    dir_entry_t story;
    ASSERT_TRUE(image.disk->getEntry(0, false, story));
    image.disk->noteEntryDamage(story, read_outcome::cutShort, "file 'STORY' is cut short");
    const entry_read_t cut = image.disk->readEntry(story);
    EXPECT_EQ(cut.outcome, read_outcome::cutShort);
    EXPECT_TRUE(cut.namedByContainer);
    EXPECT_EQ(cut.bytes, bytes_t(600, 7));
    dir_entry_t whole;
    ASSERT_TRUE(image.disk->getEntry(1, false, whole));
    EXPECT_TRUE(image.disk->readEntry(whole).whole());
    EXPECT_EQ(image.disk->damage().notes, std::vector<std::string>{"file 'STORY' is cut short"});
    EXPECT_FALSE(image.disk->damage().maySave());
}

}  // namespace
}  // namespace platter
