#include "platter/formats/disk80.hpp"

#include <gtest/gtest.h>

#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"

namespace platter {
namespace {

using Image80 = test_support::ImageOf<Disk80>;
using Image82 = test_support::ImageOf<Disk82>;
using test_support::patternBytes;

void fillTracks(Disk& disk, std::uint64_t first, std::uint64_t last) {
    for (std::uint64_t t = first; t <= last; ++t)
        for (std::uint64_t s = 0; s < Disk80::sectorsOnTrack(t); ++s)
            if (disk.isBlockFree(makeBlock(t, s))) disk.toggleBlock(makeBlock(t, s));
}

TEST(Disk80Fixture, BuiltImagesListAndRead) {
    Image80 d80 = Image80::fromFixture("d80/files.d80");
    EXPECT_EQ(d80.disk->lastError(), 0u);
    EXPECT_EQ(d80.disk->blocksFree(), 2046u);
    EXPECT_EQ(d80.file(0), patternBytes(300, 1));
    EXPECT_EQ(d80.file(1), patternBytes(254, 2));
    EXPECT_EQ(d80.file(2), patternBytes(600, 3));
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(d80.disk->getDiskName(name));
    EXPECT_EQ(name, test_support::cbmName("TEST 8050", false));

    Image82 d82 = Image82::fromFixture("d80/files.d82");
    EXPECT_EQ(d82.disk->blocksFree(), 4123u);
    EXPECT_EQ(d82.file(3), patternBytes(1000, 4));
    EXPECT_FALSE(d82.disk->isBlockFree(makeBlock(100, 0)));
    EXPECT_FALSE(d82.disk->isBlockFree(makeBlock(154, 22)));
}

TEST(Disk80Layout, GeometryBamPlacesAndSizes) {
    Image82 image = Image82::blank();
    Disk82& disk = *image.disk;
    EXPECT_FALSE(disk.isValidBlock(makeBlock(77, 23)));
    EXPECT_TRUE(disk.isValidBlock(makeBlock(78, 28)));
    EXPECT_TRUE(disk.isBamBlock(makeBlock(38, 9)));
    // Track 100's entry is the last of 38/3, track 101's the first of 38/6.
    disk.toggleBlock(makeBlock(100, 0));
    EXPECT_EQ(image.block(38, 3)[251], 28);
    disk.toggleBlock(makeBlock(101, 0));
    EXPECT_EQ(image.block(38, 6)[6], 28);
    EXPECT_EQ(image.block(38, 9)[4], 151);
    EXPECT_EQ(image.block(38, 9)[5], 155);

    std::vector<std::uint8_t> bytes = test_support::readFixture("d80/files.d80");
    bytes.resize(Disk80::kSize + Disk80::kBlocks, 1);
    Image80 withErrors = Image80::fromBytes(bytes);
    EXPECT_EQ(withErrors.disk->lastError(), 0u);
    EXPECT_TRUE(withErrors.disk->hasErrorBytes());
    bytes.resize(Disk80::kSize - 1);
    Image80 truncated = Image80::fromBytes(bytes);
    EXPECT_TRUE(truncated.disk->damage().sizeUnknown);
    EXPECT_EQ(truncated.file(0), patternBytes(300, 1));
}

TEST(Disk80Format, NewImagesAndDirectoryOrder) {
    Image80 d80 = Image80::blank();
    EXPECT_EQ(d80.disk->blocksFree(), 2052u);
    EXPECT_EQ(d80.block(39, 1)[0], 0);
    EXPECT_EQ(d80.block(39, 1)[1], 0xff);
    EXPECT_EQ(d80.block(38, 3)[0], 39);
    EXPECT_EQ(d80.block(38, 3)[1], 1);
    EXPECT_EQ(d80.allocate(1).at(0), makeBlock(38, 10));
    EXPECT_EQ(Image82::blank().disk->blocksFree(), 4133u);

    track_sector_t at = noBlock();
    std::uint64_t visited = 0;
    while (d80.disk->nextDirectorySector(at) && !at.isNone()) ++visited;
    EXPECT_EQ(visited, 28u);
}

TEST(Disk80Allocation, SecondDriveHalfAndEveryTrackBeforeFull) {
    Image82 d82 = Image82::blank();
    fillTracks(*d82.disk, 1, 77);
    EXPECT_EQ(d82.allocate(1).at(0), makeBlock(78, 0));

    // Above track 39 a chain goes upward, then on to the tracks below.
    Image80 d80 = Image80::blank();
    fillTracks(*d80.disk, 40, 77);
    track_sector_t at = makeBlock(60, 0);
    ASSERT_TRUE(d80.disk->allocateBlock(at, true));
    EXPECT_EQ(at, makeBlock(38, 10));
    EXPECT_EQ(Image80::blank().allocate(3000).size(), 2052u);
}

}  // namespace
}  // namespace platter
