#include "platter/formats/disk_fi.hpp"

#include <gtest/gtest.h>

#include "platter/core/format_registry.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/disk_reads.hpp"
#include "tests/support/image_of.hpp"

namespace platter {
namespace {

using DfiImage = test_support::ImageOf<DiskFI>;
using test_support::bytes_t;
using test_support::cbmName;
using test_support::patternBytes;

using test_support::importPrg;

TEST(DiskFIFixture, ListsAndReadsAcrossTracks) {
    DfiImage image = DfiImage::fromFixture("dfi/files.dfi");
    EXPECT_EQ(image.disk->lastError(), 0u);
    EXPECT_EQ(image.disk->trackCount(), 2u);
    EXPECT_EQ(image.disk->blocksFree(), 239u);
    EXPECT_EQ(image.file(0), patternBytes(100, 7));
    EXPECT_EQ(image.file(1), patternBytes(60000, 8));
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(image.disk->getDiskName(name));
    EXPECT_EQ(name, cbmName("DREAMLOAD TEST", false));
}

TEST(DiskFILayout, TrackCountFollowsBothTheByteAndTheFile) {
    const bytes_t good = test_support::readFixture("dfi/files.dfi");
    struct case_t {
        std::size_t size;
        std::uint8_t count;
        std::uint64_t tracks;
    };
    // The count byte and the file size must agree; only tracks both hold are used.
    for (const case_t c : {case_t{good.size(), 5, 2},
                           {good.size(), 0, 1},
                           {good.size(), 1, 1},
                           {good.size() - 1, 2, 1},
                           {DiskFI::kTrackBytes / 2, 2, 1}}) {
        bytes_t bytes = good;
        bytes.resize(c.size);
        bytes[0x1c] = c.count;
        DfiImage odd = DfiImage::fromBytes(bytes);
        EXPECT_TRUE(odd.disk->damage().sizeUnknown) << c.size << " " << int{c.count};
        EXPECT_EQ(odd.disk->trackCount(), c.tracks) << c.size << " " << int{c.count};
        EXPECT_LE(odd.disk->blocksFree(), c.tracks * DiskFI::kSectors);
        odd.file(1);  // reads what is there, never past it
    }
}

TEST(DiskFIFormat, NewArchiveAndFirstBlock) {
    DfiImage image = DfiImage::blank();
    DiskFI& disk = *image.disk;
    EXPECT_EQ(image.bytes().size(), DiskFI::kTrackBytes);
    EXPECT_EQ(disk.blocksFree(), 221u);
    EXPECT_FALSE(disk.isModified());
    EXPECT_EQ(image.block(1, 2)[0], 0);
    EXPECT_EQ(image.block(1, 2)[1], 0xff);
    EXPECT_EQ(image.block(1, 16)[0], 0xe0);  // 1/0, 1/1, 1/2 used; bit 7 first
    EXPECT_EQ(image.allocate(1).at(0), makeBlock(1, 3));
}

TEST(DiskFIGrowth, ImportGrowsOneTrackAndUndoShrinksBack) {
    DfiImage image = DfiImage::blank();
    DiskFI& disk = *image.disk;
    const bytes_t before = image.bytes();
    const bytes_t data = patternBytes(300 * 254, 9);
    ASSERT_TRUE(importPrg(disk, "GROWN", data));
    EXPECT_EQ(image.bytes().size(), 2 * DiskFI::kTrackBytes);
    EXPECT_EQ(image.block(1, 0)[0x1c], 2);
    EXPECT_EQ(image.file(0), data);
    // Track 2's sector 0 is bit 7 of byte 32 of the first map block.
    EXPECT_FALSE(disk.isBlockFree(makeBlock(2, 0)));
    EXPECT_EQ(image.block(1, 16)[32] & 0x80, 0x80);
    EXPECT_EQ(disk.blocksFree(), 2 * 256 - 35 - 300u);

    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(image.bytes(), before);
    EXPECT_EQ(disk.trackCount(), 1u);
}

TEST(DiskFIGrowth, StopsAt255TracksAndAFailedImportLeavesNoTrace) {
    DfiImage image = DfiImage::blank();
    DiskFI& disk = *image.disk;
    const bytes_t before = image.bytes();
    const bytes_t tooBig(DiskFI::kMaxTracks * DiskFI::kSectors * 254, 0x55);
    EXPECT_FALSE(importPrg(disk, "HUGE", tooBig));
    EXPECT_EQ(disk.lastError(), kErrDiskFull);
    EXPECT_EQ(image.bytes(), before);
    EXPECT_EQ(disk.trackCount(), 1u);
}

}  // namespace
}  // namespace platter
