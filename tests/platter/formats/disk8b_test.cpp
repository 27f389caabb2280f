#include "platter/formats/disk8b.hpp"

#include <gtest/gtest.h>

#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"

namespace platter {
namespace {

using D8BImage = test_support::ImageOf<Disk8B>;
using test_support::patternBytes;

TEST(Disk8BFixture, ListsAndReadsOverTheMapSeams) {
    D8BImage image = D8BImage::fromFixture("d8b/files.d8b");
    EXPECT_EQ(image.disk->lastError(), 0u);
    EXPECT_FALSE(image.disk->hasErrorBytes());
    EXPECT_EQ(image.disk->blocksFree(), 5300u);
    EXPECT_EQ(image.file(0), patternBytes(100, 5));
    EXPECT_EQ(image.file(1), patternBytes(700, 6));
    for (std::uint64_t t : {14u, 27u, 40u}) EXPECT_FALSE(image.disk->isBlockFree(makeBlock(t, 135))) << t;
    EXPECT_TRUE(image.disk->isBlockFree(makeBlock(14, 134)));
}

TEST(Disk8BLayout, SizesErrorBytesAndDirectoryEnd) {
    std::vector<std::uint8_t> bytes = test_support::readFixture("d8b/files.d8b");
    bytes.resize(Disk8B::kSize + Disk8B::kBlocks, 1);
    bytes.back() = 7;
    bytes[Disk8B::kSize + 136] = 3;
    D8BImage withErrors = D8BImage::fromBytes(bytes);
    EXPECT_EQ(withErrors.disk->lastError(), 0u);
    EXPECT_EQ(withErrors.disk->errorCode(makeBlock(40, 135)), 7);
    EXPECT_EQ(withErrors.disk->errorCode(makeBlock(2, 0)), 3);
    ASSERT_TRUE(withErrors.disk->setErrorCode(makeBlock(1, 135), 5));
    EXPECT_EQ(withErrors.disk->errorBytes()[135], 5);

    for (std::size_t size : {Disk8B::kSize + 1, Disk8B::kSize - 256, std::size_t{1000}}) {
        bytes.resize(size);
        D8BImage odd = D8BImage::fromBytes(bytes);
        EXPECT_TRUE(odd.disk->damage().sizeUnknown) << size;
        EXPECT_FALSE(odd.disk->hasErrorBytes()) << size;
    }

    D8BImage image = D8BImage::blank();
    EXPECT_EQ(image.disk->maxSector(7), 135u);
    track_sector_t at = noBlock();
    std::uint64_t visited = 0;
    while (image.disk->nextDirectorySector(at) && !at.isNone()) ++visited;
    EXPECT_EQ(visited, 132u);
}

TEST(Disk8BFormat, NewImageAllocationAndNoPartitions) {
    D8BImage image = D8BImage::blank();
    Disk8B& disk = *image.disk;
    EXPECT_EQ(image.bytes().size(), Disk8B::kSize);
    EXPECT_EQ(disk.blocksFree(), 5304u);
    EXPECT_EQ(image.block(1, 0)[0x16], 'B');
    EXPECT_EQ(image.block(1, 3)[1], 0xff);
    const std::vector<track_sector_t> chain = image.allocate(137);
    EXPECT_EQ(chain[0], makeBlock(2, 0));
    EXPECT_EQ(chain[136], makeBlock(3, 0));

    EXPECT_FALSE(disk.createSubdirectory(0, 200));
    std::uint64_t min = 0, max = 0, current = 0;
    EXPECT_FALSE(disk.sizeRange(min, max, current));
    EXPECT_EQ(disk.defaultSubdirectorySize(), 0u);
}

TEST(Disk8BBam, TracksWhoseMapCrossesIntoTheNextBlock) {
    D8BImage image = D8BImage::blank();
    Disk8B& disk = *image.disk;
    ASSERT_TRUE(disk.toggleBlock(makeBlock(14, 135)));
    // Track 14: count in 1/1 at 16 + 13 * 18, sector 135 in the map's last byte, in 1/2.
    EXPECT_EQ(image.block(1, 1)[16 + 13 * 18], 135);
    EXPECT_EQ(image.block(1, 2)[27], 0x7f);
    ASSERT_TRUE(disk.toggleBlock(makeBlock(27, 135)));
    EXPECT_EQ(image.block(1, 2)[28 + 12 * 18], 135);
    EXPECT_EQ(image.block(1, 3)[21], 0x7f);
    EXPECT_EQ(disk.blocksFree(), 5302u);
}

}  // namespace
}  // namespace platter
