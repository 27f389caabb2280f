#include "platter/formats/disk41.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

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

struct expected_entry_t {
    const char* name;
    std::uint8_t typeByte;
    std::uint16_t blocks;
    std::size_t size;
    unsigned seed;
};

// What cc1541 wrote into base.d64 (see make_fixtures.sh) and prints for it.
constexpr expected_entry_t kBaseEntries[] = {
    {"HELLO", 0x82, 1, 254, 2}, {"NOTES", 0x81, 2, 255, 3}, {"USR", 0x83, 1, 1, 1},   {"LOCKED", 0xc2, 2, 508, 4},
    {"SPLAT", 0x02, 3, 509, 5}, {"DEL", 0x80, 1, 1, 1},     {"REL", 0x84, 1, 254, 2},
};

TEST(Disk41Fixture, BaseImageReadsLikeCc1541ListsIt) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    EXPECT_EQ(disk.lastError(), 0u);
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(disk.getDiskName(name));
    EXPECT_EQ(name, cbmName("TEST DISK"));
    std::array<std::uint8_t, 5> id;
    ASSERT_TRUE(disk.getDiskId(id));
    EXPECT_EQ(id, (std::array<std::uint8_t, 5>{'A', 'B', ' ', '2', 'A'}));  // cc1541 -i "ab 2a"
    EXPECT_EQ(disk.blocksFree(), 652u);

    for (std::size_t i = 0; i < std::size(kBaseEntries); ++i) {
        const expected_entry_t& want = kBaseEntries[i];
        dir_entry_t entry;
        ASSERT_TRUE(disk.getEntry(i, false, entry)) << want.name;
        EXPECT_EQ(test_support::nameOf(entry), cbmName(want.name)) << want.name;
        EXPECT_EQ(entry.typeByte(), want.typeByte) << want.name;
        EXPECT_EQ(entry.blockCount(), want.blocks) << want.name;
        bytes_t data;
        ASSERT_TRUE(readWhole(disk, entry, data)) << want.name;
        EXPECT_EQ(data, patternBytes(want.size, want.seed)) << want.name;
        EXPECT_EQ(disk.fileSize(i), want.size) << want.name;
    }
    // The entry without data (cc1541 -L) has size 0 and reads whole as no bytes.
    dir_entry_t nofile;
    ASSERT_TRUE(disk.getEntry(7, false, nofile));
    EXPECT_EQ(test_support::nameOf(nofile), cbmName("NOFILE"));
    bytes_t none;
    EXPECT_TRUE(readWhole(disk, nofile, none));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(disk.fileSize(7), 0u);
    EXPECT_FALSE(disk.getEntry(8, false, nofile));
    EXPECT_EQ(disk.countDirectoryEntries(), 8u);
    EXPECT_EQ(disk.loadAddress(0), 0x0902);  // pattern bytes 2, 9
}

TEST(Disk41Fixture, ScratchedEntryIsSeenOnlyWithIncludeEmpty) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(7, true, entry));
    EXPECT_EQ(test_support::nameOf(entry), cbmName("SCRATCHED"));
    EXPECT_EQ(entry.typeByte(), 0);
    disk.setIncludeEmpty(true);
    EXPECT_EQ(disk.countDirectoryEntries(), 16u);  // every slot of 18/1 and 18/4
    // Never-used slots are counted but not found: a loop to the count stops on null.
    std::uint64_t found = 0;
    for (std::uint64_t i = 0; i < disk.directoryEntryCount() && disk.entryAt(i); ++i) ++found;
    EXPECT_EQ(found, 9u);
}

TEST(Disk41Fixture, FortyTrackImagesUseTheirExtendedBam) {
    TestImage speed = TestImage::fromFixture("speed40.d64");
    EXPECT_TRUE(speed.disk->fortyTracks());
    EXPECT_EQ(speed.disk->trackCount(), 40u);
    EXPECT_EQ(speed.disk->extendedBamType(), Disk41::kExtendedSpeed);
    EXPECT_EQ(speed.disk->blocksFree(), 47u);
    bytes_t big;
    dir_entry_t entry;
    ASSERT_TRUE(speed.disk->getEntry(0, false, entry));
    EXPECT_EQ(entry.blockCount(), 700);
    ASSERT_TRUE(readWhole(*speed.disk, entry, big));
    EXPECT_EQ(big, patternBytes(177800, 6));
    std::vector<track_sector_t> blocks;
    std::uint64_t size = 0;
    ASSERT_TRUE(speed.disk->readChain(entry.bytes[3], entry.bytes[4], 0, &size, nullptr, nullptr, &blocks));
    EXPECT_EQ(blocks.back().track, 38u);

    TestImage dolphin = TestImage::fromFixture("dolphin40.d64");
    EXPECT_EQ(dolphin.disk->extendedBamType(), Disk41::kExtendedDolphin);
    EXPECT_EQ(dolphin.disk->blocksFree(), 747u);
}

// The DolphinDOS fixture with its extended entries moved to the PrologicDOS place and a name at 0xA4.
bytes_t prologicImage(const std::array<std::uint8_t, 16>& name) {
    bytes_t bytes = test_support::readFixture("d64/dolphin40.d64");
    std::uint8_t* bam = bytes.data() + test_support::d64Offset(18, 0);
    std::memcpy(bam + 0x90, bam + 0xac, 20);
    std::memset(bam + 0xac, 0, 20);
    std::memcpy(bam + 0xa4, name.data(), 16);
    return bytes;
}

TEST(Disk41Layout, PrologicNameAndSpeedPriority) {
    const auto name = cbmName("PROLOGIC");
    bytes_t bytes = prologicImage(name);
    TestImage image = TestImage::fromBytes(bytes);
    EXPECT_EQ(image.disk->extendedBamType(), Disk41::kExtendedPrologic);
    std::array<std::uint8_t, 16> read;
    ASSERT_TRUE(image.disk->getDiskName(read));
    EXPECT_EQ(read, name);
    EXPECT_EQ(image.disk->blocksFree(), 747u);
    // Consistent entries at both 0xC0 and 0xAC: SpeedDOS wins.
    std::uint8_t* bam = bytes.data() + test_support::d64Offset(18, 0);
    std::memcpy(bam + 0xac, bam + 0x90, 20);
    std::memcpy(bam + 0xc0, bam + 0x90, 20);
    EXPECT_EQ(TestImage::fromBytes(bytes).disk->extendedBamType(), Disk41::kExtendedSpeed);
}

TEST(Disk41Layout, PrologicWithTracks36To40FullKeepsItsNameAndId) {
    const auto name = cbmName("FULL PROLOGIC");
    bytes_t bytes = prologicImage(name);
    std::uint8_t* bam = bytes.data() + test_support::d64Offset(18, 0);
    std::memset(bam + 0x90, 0, 20);  // every block of tracks 36-40 used
    bam[0xb6] = 'P';
    bam[0xb7] = 'D';
    TestImage image = TestImage::fromBytes(bytes);
    EXPECT_EQ(image.disk->extendedBamType(), Disk41::kExtendedPrologic);
    std::array<std::uint8_t, 16> read;
    ASSERT_TRUE(image.disk->getDiskName(read));
    EXPECT_EQ(read, name);
    std::array<std::uint8_t, 5> id;
    ASSERT_TRUE(image.disk->getDiskId(id));
    EXPECT_EQ(id[0], 'P');
    EXPECT_EQ(id[1], 'D');
    EXPECT_FALSE(image.disk->isBlockFree(makeBlock(36, 0)));
    // Under the known layout the used blocks can be freed again.
    ASSERT_TRUE(image.disk->toggleBlock(makeBlock(36, 0)));
    EXPECT_TRUE(image.disk->isBlockFree(makeBlock(36, 0)));
}

TEST(Disk41Layout, DolphinBlocksOfTracks36To40UsedAndFreedAgainInOneGroup) {
    TestImage extended = TestImage::blank();
    ASSERT_TRUE(extended.disk->extendDisk(true));
    TestImage image = TestImage::fromBytes(extended.bytes());
    Disk41& disk = *image.disk;
    ASSERT_EQ(disk.extendedBamType(), Disk41::kExtendedDolphin);
    ASSERT_EQ(disk.blocksFree(), 749u);
    {
        Disk::UndoGroup group(disk);
        for (std::uint64_t t = 36; t <= 40; ++t) {
            for (std::uint64_t s = 0; s < 17; ++s) {
                if (disk.isBlockFree(makeBlock(t, s))) disk.toggleBlock(makeBlock(t, s));
            }
        }
        group.commit("Fill");
    }
    EXPECT_EQ(disk.blocksFree(), 664u);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(disk.blocksFree(), 749u);
}

TEST(Disk41Layout, FortyTracksWithoutExtendedBamNeverFreeOrAllocated) {
    bytes_t bytes = test_support::readFixture("d64/base.d64");
    bytes.resize(Disk41::kSize40, 0);
    TestImage image = TestImage::fromBytes(bytes);
    EXPECT_TRUE(image.disk->fortyTracks());
    EXPECT_EQ(image.disk->extendedBamType(), Disk41::kExtendedNone);
    EXPECT_NE(image.block(40, 16), nullptr);
    EXPECT_FALSE(image.disk->isBlockFree(makeBlock(36, 0)));
    EXPECT_FALSE(image.disk->toggleBlock(makeBlock(36, 0)));
    EXPECT_EQ(image.disk->blocksFree(), 652u);
}

TEST(Disk41Layout, ImageSizesAndErrorBytes) {
    const bytes_t base = test_support::readFixture("d64/base.d64");
    struct size_case_t {
        std::size_t size;
        std::uint64_t tracks;
        std::size_t errorBytes;
        bool known;
    };
    for (const size_case_t c : {size_case_t{174848, 35, 0, true},
                                {175531, 35, 683, true},
                                {196608, 40, 0, true},
                                {197376, 40, 768, true},
                                {205312, 42, 0, true},
                                {206114, 42, 802, true},
                                {174849, 35, 0, false},
                                {174848 - 683, 35, 0, false},
                                {175532, 35, 0, false}}) {
        bytes_t bytes = base;
        bytes.resize(c.size, 1);
        TestImage image = TestImage::fromBytes(bytes);
        EXPECT_EQ(image.disk->trackCount(), c.tracks) << c.size;
        EXPECT_EQ(image.disk->errorBytes().size(), c.errorBytes) << c.size;
        EXPECT_EQ(image.disk->lastError(), c.known ? 0u : 21u) << c.size;
        EXPECT_EQ(image.disk->damage().sizeUnknown, !c.known) << c.size;
        // A walk resets the last error; the flag stays.
        image.disk->countDirectoryEntries();
        EXPECT_EQ(image.disk->damage().sizeUnknown, !c.known) << c.size;
    }
}

// What the header and BAM say decides the tracks: a file cut to a smaller size is the image it
// was cut from, missing blocks; a 35-track BAM with anything past track 35's entry stays 35.
TEST(Disk41Layout, ACutImageHasTheTracksItsBamNames) {
    const bytes_t base = test_support::readFixture("d64/base.d64");
    const bytes_t speed = test_support::readFixture("d64/speed40.d64");
    const bytes_t dolphin = test_support::readFixture("d64/dolphin40.d64");
    const auto cut = [](bytes_t bytes, std::size_t size) {
        bytes.resize(size, 0);
        return bytes;
    };
    const auto withHeaderBytes = [&](std::size_t at, const bytes_t& bytes) {
        bytes_t image = base;
        std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(test_support::d64Offset(18, 0) + at));
        return image;
    };
    // 42 tracks, track 41 formatted empty (each sector 0x4B, then 0x01).
    bytes_t formatted41 = cut(base, Disk41::kSize40);
    for (std::size_t s = 0; s < 17; ++s) {
        formatted41.push_back(0x4b);
        formatted41.insert(formatted41.end(), 255, 0x01);
    }
    formatted41.resize(Disk41::kSize42, 0x01);
    struct cut_case_t {
        const char* what;
        bytes_t bytes;
        std::uint64_t tracks;
        bool missesBlocks;
        bool sizeUnknown;
    };
    const cut_case_t cases[] = {
        {"40 tracks cut to 35", cut(speed, Disk41::kSize35), 40, true, false},
        {"40 tracks cut to 35 with error bytes", cut(dolphin, Disk41::kSize35 + Disk41::kBlocks35), 40, true, false},
        {"40 tracks cut to an odd size", cut(speed, 180000), 40, true, true},
        {"42 tracks cut to 40 with error bytes", cut(formatted41, Disk41::kSize40 + Disk41::kBlocks40), 42, true,
         false},
        {"42 tracks cut to an odd size", cut(formatted41, 200000), 42, true, true},
        {"zeros past track 35's entry", withHeaderBytes(0xac, bytes_t(40, 0)), 35, false, false},
        {"bytes past track 35's entry", withHeaderBytes(0xac, patternBytes(40, 9)), 35, false, false},
        {"a GEOS signature", withHeaderBytes(0xab, {18, 5, 'G', 'E', 'O', 'S', ' ', 'f', 'o', 'r', 'm'}), 35, false,
         false},
        {"a 40-track layout of counts that are no map's", withHeaderBytes(0xc0, bytes_t(20, 17)), 35, false, false},
    };
    for (const cut_case_t& c : cases) {
        SCOPED_TRACE(c.what);
        TestImage image = TestImage::fromBytes(c.bytes);
        EXPECT_EQ(image.disk->trackCount(), c.tracks);
        EXPECT_EQ(image.disk->damage().missesBlocks, c.missesBlocks);
        EXPECT_EQ(image.disk->damage().sizeUnknown, c.sizeUnknown);
        EXPECT_FALSE(image.disk->hasErrorBytes());
    }
    // The tracks past 40 that an odd-sized file holds are read.
    TestImage odd = TestImage::fromBytes(cut(formatted41, 200000));
    EXPECT_EQ(odd.block(41, 0)[0], 0x4b);
    EXPECT_EQ(odd.block(41, 13), nullptr);
    // Zeros after 40 tracks cannot be told from an error table of no errors.
    TestImage zeros = TestImage::fromBytes(cut(base, Disk41::kSize40 + Disk41::kBlocks40));
    EXPECT_EQ(zeros.disk->trackCount(), 40u);
    EXPECT_TRUE(zeros.disk->hasErrorBytes());
}

TEST(Disk41Layout, FortyTwoTracksReachEveryBlockButHaveNoBamBitsPastTrack35) {
    bytes_t bytes = test_support::readFixture("d64/base.d64");
    bytes.resize(Disk41::kSize42 + Disk41::kBlocks42, 1);
    bytes[Disk41::kSize42 + 801] = 5;  // the error code of 42/16
    TestImage image = TestImage::fromBytes(bytes);
    Disk41& disk = *image.disk;
    EXPECT_NE(disk.blockBytes(makeBlock(42, 16)).data(), nullptr);
    EXPECT_TRUE(disk.blockBytes(makeBlock(42, 17)).empty());
    EXPECT_EQ(disk.errorCode(makeBlock(42, 16)), 5);
    EXPECT_EQ(disk.extendedBamType(), Disk41::kExtendedNone);
    EXPECT_FALSE(disk.isBlockFree(makeBlock(36, 0)));
    EXPECT_FALSE(disk.toggleBlock(makeBlock(41, 0)));
    EXPECT_FALSE(disk.extendDisk(true));
    EXPECT_FALSE(disk.extendDisk(false));
    EXPECT_EQ(disk.blocksFree(), TestImage::fromFixture("base.d64").disk->blocksFree());
    // Saved whole, error table included.
    const test_support::ScratchDir scratch;
    ASSERT_TRUE(saved(disk.saveAs(scratch.file("x42.d64"))));
    EXPECT_EQ(test_support::readBytes(scratch.file("x42.d64")), bytes);
}

TEST(Disk41Layout, TruncatedImageListsWhatItHolds) {
    bytes_t bytes = test_support::readFixture("d64/base.d64");
    bytes.resize(test_support::d64Offset(18, 5));  // 18/4 is the last whole block
    // Point HELLO at a block past the end.
    bytes[test_support::d64Offset(18, 1) + 3] = 30;
    TestImage image = TestImage::fromBytes(bytes);
    EXPECT_EQ(image.disk->lastError(), 21u);
    EXPECT_EQ(image.disk->countDirectoryEntries(), 8u);
    EXPECT_EQ(image.block(18, 5), nullptr);
    EXPECT_NE(image.block(18, 4), nullptr);
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(0, false, entry));
    bytes_t data;
    EXPECT_FALSE(readWhole(*image.disk, entry, data));
    ASSERT_TRUE(image.disk->getEntry(1, false, entry));
    EXPECT_TRUE(readWhole(*image.disk, entry, data));
    // A block straddling the end is not accessible at all.
    bytes_t straddle = test_support::readFixture("d64/base.d64");
    straddle.resize(test_support::d64Offset(18, 1) + 100);
    EXPECT_EQ(TestImage::fromBytes(straddle).block(18, 1), nullptr);
    EXPECT_EQ(TestImage::fromBytes(bytes_t(100, 0)).disk->blocksFree(), 0u);
}

TEST(Disk41Geometry, DirectoryOrder) {
    Disk41 disk;
    std::vector<std::uint64_t> order;
    track_sector_t block = noBlock();
    while (disk.nextDirectorySector(block) && !block.isNone()) {
        EXPECT_EQ(block.track, 18u);
        order.push_back(block.sector);
        ASSERT_LT(order.size(), 20u);
    }
    EXPECT_EQ(order, (std::vector<std::uint64_t>{1, 4, 7, 10, 13, 16, 2, 5, 8, 11, 14, 17, 3, 6, 9, 12, 15, 18}));
}

TEST(Disk41Format, NewImageHeaderAndBam) {
    TestImage image = TestImage::blank();
    Disk41& disk = *image.disk;
    EXPECT_EQ(disk.providerSize(), 174848u);
    EXPECT_EQ(disk.blocksFree(), 664u);
    EXPECT_TRUE(disk.journal().empty());
    EXPECT_FALSE(disk.isModified());
    EXPECT_EQ(disk.imagePath(), "New Disk (D64)");
    const std::uint8_t* bam = image.block(18, 0);
    // The header's other bytes are pinned by the images the unar cases write.
    EXPECT_EQ(bam[0], 18);
    EXPECT_EQ(bam[1], 1);
    EXPECT_EQ(bam[4 + 4 * 1], 21);
    EXPECT_EQ(bam[4 + 4 * 1 + 3], 0x1f);
    EXPECT_EQ(bam[4 * 18], 17);  // 18/0 and 18/1 used
    EXPECT_EQ(bam[4 * 31 + 3], 0x01);
    EXPECT_EQ(image.block(18, 1)[1], 0xff);
    EXPECT_EQ(disk.countDirectoryEntries(), 0u);
}

TEST(Disk41Allocation, FirstFileFollowsTheInterleaveOrder) {
    TestImage image = TestImage::blank();
    track_sector_t first;
    ASSERT_TRUE(image.disk->writeChain(bytes_t(25 * 254, 7), first));
    std::vector<track_sector_t> chain;
    std::uint64_t size = 0;
    ASSERT_TRUE(image.disk->readChain(first.track, first.sector, 0, &size, nullptr, nullptr, &chain));
    const std::uint64_t sectors[] = {0, 10, 20, 11, 1, 12, 2, 13, 3, 14, 4, 15, 5, 16, 6, 17, 7, 18, 8, 19, 9};
    ASSERT_EQ(chain.size(), 25u);
    for (std::size_t i = 0; i < 21; ++i) EXPECT_EQ(chain[i], makeBlock(17, sectors[i])) << i;
    EXPECT_EQ(chain[21], makeBlock(16, 0));
    EXPECT_EQ(chain[22], makeBlock(16, 10));
    EXPECT_EQ(chain[23], makeBlock(16, 20));
    EXPECT_EQ(chain[24], makeBlock(16, 11));
    EXPECT_EQ(size, 25u * 254);
}

TEST(Disk41Allocation, FromTheDirectoryTrackDownwardFirst) {
    TestImage image = TestImage::blank();
    track_sector_t block = makeBlock(18, 5);
    ASSERT_NE(image.disk->allocateBlock(block, false), nullptr);
    EXPECT_EQ(block.track, 17u);
    // With tracks 1-17 full it goes on upward.
    for (std::uint64_t t = 1; t <= 17; ++t) {
        for (std::uint64_t s = 0; s < Disk41::sectorsOnTrack(t); ++s) image.disk->toggleBlock(makeBlock(t, s));
    }
    block = makeBlock(18, 5);
    ASSERT_NE(image.disk->allocateBlock(block, false), nullptr);
    EXPECT_EQ(block.track, 19u);
}

TEST(Disk41Allocation, UpperTracksFullContinuesBelowAndFullDiskGivesNull) {
    TestImage image = TestImage::blank();
    Disk41& disk = *image.disk;
    for (std::uint64_t t = 19; t <= 35; ++t)
        for (std::uint64_t s = 0; s < Disk41::sectorsOnTrack(t); ++s) disk.toggleBlockAt(t, s);
    track_sector_t at = makeBlock(20, 5);
    ASSERT_NE(disk.allocateBlock(at, false), nullptr);
    EXPECT_EQ(at, makeBlock(17, 0));
    for (std::uint64_t t = 1; t <= 17; ++t)
        for (std::uint64_t s = 0; s < Disk41::sectorsOnTrack(t); ++s) disk.toggleBlockAt(t, s);
    EXPECT_EQ(disk.blocksFree(), 0u);
    track_sector_t none{};
    EXPECT_EQ(disk.allocateBlock(none, true), nullptr);
    // Track 18 is never used for data.
    EXPECT_TRUE(disk.isBlockFree(makeBlock(18, 2)));
}

TEST(Disk41Bam, InvalidBlocksChangeNothing) {
    TestImage image = TestImage::blank();
    const bytes_t before = image.bytes();
    for (const track_sector_t block :
         {makeBlock(0, 0), makeBlock(1, 21), makeBlock(18, 19), makeBlock(41, 0), makeBlock(36, 0)}) {
        EXPECT_FALSE(image.disk->toggleBlock(block));
        EXPECT_FALSE(image.disk->isBlockFree(block));
    }
    EXPECT_EQ(image.bytes(), before);
    EXPECT_TRUE(image.disk->journal().empty());
}

TEST(Disk41Bam, AWrongCountIsMendedNotWrappedAndUndoRestoresIt) {
    TestImage image = TestImage::blank();
    Disk41& disk = *image.disk;
    image.block(18, 0)[4 * 5] = 0;  // track 5 lists no free sector, its map all of them
    const bytes_t before = image.bytes();
    ASSERT_TRUE(disk.toggleBlock(makeBlock(5, 3)));
    EXPECT_EQ(image.block(18, 0)[4 * 5], 20);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
}

TEST(Disk41Extend, GrowShrinkAndUndo) {
    TestImage image = TestImage::blank();
    Disk41& disk = *image.disk;
    const bytes_t fresh = image.bytes();
    EXPECT_TRUE(disk.extendDisk(true));
    EXPECT_EQ(disk.providerSize(), 196608u);
    EXPECT_EQ(disk.blocksFree(), 749u);
    EXPECT_EQ(disk.extendedBamType(), Disk41::kExtendedDolphin);
    EXPECT_FALSE(disk.extendDisk(true));
    EXPECT_FALSE(disk.extendDisk(false));
    EXPECT_EQ(disk.blocksFree(), 664u);
    EXPECT_EQ(disk.providerSize(), 174848u);
    // Undo the shrink, then the extension: the fresh image comes back exactly.
    EXPECT_TRUE(disk.undo());
    EXPECT_EQ(disk.providerSize(), 196608u);
    EXPECT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), fresh);
    EXPECT_FALSE(disk.fortyTracks());
}

TEST(Disk41Extend, UndoingAShrinkBringsBackTheBytesItCut) {
    TestImage image = TestImage::blank();
    Disk41& disk = *image.disk;
    ASSERT_TRUE(disk.extendDisk(true));
    std::span<std::uint8_t> block = disk.blockBytes(makeBlock(40, 16));
    ASSERT_EQ(block.size(), 256u);
    std::fill(block.begin(), block.end(), std::uint8_t{0x5A});  // contents of a free block
    const bytes_t forty = image.bytes();
    ASSERT_FALSE(disk.extendDisk(false));
    EXPECT_TRUE(disk.blockBytes(makeBlock(40, 16)).empty());
    EXPECT_EQ(disk.geometry(), (disk_geometry_t{35, 21, 683}));
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(disk.geometry(), (disk_geometry_t{40, 21, 768}));
    EXPECT_EQ(image.bytes(), forty);
}

TEST(Disk41Extend, ShrinkRefusedWhileTracks36To40AreUsed) {
    TestImage image = TestImage::fromFixture("speed40.d64");
    EXPECT_FALSE(image.disk->extendDisk(false));
    EXPECT_EQ(image.disk->providerSize(), 196608u);
    EXPECT_TRUE(image.disk->fortyTracks());
}

TEST(Disk41Extend, ErrorTableFollowsAndKeepsItsCodes) {
    bytes_t bytes = test_support::readFixture("d64/base.d64");
    bytes.resize(175531, 1);
    bytes[174848 + 5] = 7;
    TestImage image = TestImage::fromBytes(bytes);
    ASSERT_TRUE(image.disk->extendDisk(true));
    EXPECT_EQ(image.disk->errorBytes().size(), 768u);
    ASSERT_TRUE(image.disk->undo());
    EXPECT_EQ(image.disk->errorBytes().size(), 683u);
    EXPECT_EQ(image.disk->errorBytes()[5], 7);
}

TEST(Disk41Geos, MarkKeepsSignatureWhenExtending) {
    TestImage image = TestImage::blank();
    Disk41& disk = *image.disk;
    const bytes_t fresh = image.bytes();
    EXPECT_FALSE(disk.isGeosDisk());
    ASSERT_TRUE(disk.makeGeosDisk());
    EXPECT_TRUE(disk.isGeosDisk());
    EXPECT_EQ(disk.blocksFree(), 663u);
    const std::uint8_t* bam = image.block(18, 0);
    const track_sector_t border = makeBlock(bam[0xab], bam[0xac]);
    EXPECT_EQ(border, makeBlock(17, 0));
    EXPECT_EQ(image.block(17, 0)[1], 0xff);
    ASSERT_TRUE(disk.extendDisk(true));
    EXPECT_TRUE(disk.isGeosDisk());
    EXPECT_EQ(disk.extendedBamType(), Disk41::kExtendedSpeed);
    EXPECT_EQ(disk.blocksFree(), 663u + 85);
    ASSERT_TRUE(disk.undo());
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), fresh);
    // "GEOS format" anywhere else does not count.
    std::memcpy(image.block(18, 0) + 0xae, "GEOS format", 11);
    EXPECT_FALSE(disk.isGeosDisk());
}

TEST(Disk41ErrorBytes, DosNumbersAreConvertedAndSavedBack) {
    const test_support::ScratchDir scratch;
    for (const std::size_t size : {std::size_t{175531}, std::size_t{197376}}) {
        bytes_t bytes = test_support::readFixture(size == 175531 ? "d64/base.d64" : "d64/speed40.d64");
        const std::size_t blocks = size == 175531 ? 683 : 768;
        bytes.resize(size, 0);
        bytes[bytes.size() - blocks] = 20;  // first: DOS number style
        bytes[bytes.size() - blocks + 2] = 29;
        TestImage image = TestImage::fromBytes(bytes);
        EXPECT_TRUE(image.disk->errorCodeMode());
        EXPECT_EQ(image.disk->errorCode(makeBlock(1, 0)), 2);
        EXPECT_EQ(image.disk->errorCode(makeBlock(1, 1)), 1);
        EXPECT_EQ(image.disk->errorCode(makeBlock(1, 2)), 11);
        ASSERT_TRUE(saved(image.disk->saveAs(scratch.file("round.d64"))));
        EXPECT_EQ(test_support::readBytes(scratch.file("round.d64")), bytes) << size;
    }
    // Codes taken as they are when the first byte is at most 12.
    bytes_t coded = test_support::readFixture("d64/base.d64");
    coded.resize(175531, 1);
    coded[174848] = 0;
    coded[174849] = 20;
    TestImage image = TestImage::fromBytes(coded);
    EXPECT_FALSE(image.disk->errorCodeMode());
    EXPECT_EQ(image.disk->errorCode(makeBlock(1, 1)), 20);
}

TEST(Disk41ErrorBytes, AddingTheTableAndSettingACode) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk41& disk = *image.disk;
    EXPECT_EQ(disk.errorBytePointer(makeBlock(18, 1)), nullptr);
    ASSERT_TRUE(disk.toggleErrorBytes());
    ASSERT_EQ(disk.errorBytes().size(), 683u);
    EXPECT_EQ(disk.errorBytePointer(makeBlock(35, 16)) - disk.errorBytes().data(), 682);
    EXPECT_EQ(disk.errorBytePointer(makeBlock(36, 0)), nullptr);
    EXPECT_EQ(disk.errorCode(makeBlock(36, 0)), 0);
    const std::size_t records = disk.journal().size();
    EXPECT_TRUE(disk.setErrorCode(makeBlock(18, 1), 5));
    EXPECT_EQ(disk.errorBytes()[358], 5);
    EXPECT_FALSE(disk.setErrorCode(makeBlock(18, 1), 5));
    EXPECT_EQ(disk.journal().size(), records + 1);
    EXPECT_TRUE(disk.setErrorBytes(true, 1));  // right length already: nothing journalled
    EXPECT_EQ(disk.journal().size(), records + 1);
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(disk.errorBytes()[358], 1);
    ASSERT_TRUE(disk.undo());
    EXPECT_TRUE(disk.errorBytes().empty());
    EXPECT_FALSE(disk.setErrorBytes(false, 1));
}

}  // namespace
}  // namespace platter
