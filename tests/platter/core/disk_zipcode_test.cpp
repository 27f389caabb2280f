#include <gtest/gtest.h>

#include <algorithm>

#include "platter/core/disk.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::TestImage;

// A part of the given number holding the records.
bytes_t part(bool first, const bytes_t& records) {
    bytes_t out = first ? bytes_t{0xfe, 0x03, 'A', 'B'} : bytes_t{0x00, 0x04};
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

bytes_t block(TestImage& image, unsigned track, unsigned sector) {
    const std::uint8_t* data = image.block(track, sector);
    return bytes_t(data, data + 256);
}

TEST(Zip4Part, DecodesEveryRecordMode) {
    TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
    bytes_t records = {1, 0};  // stored
    const bytes_t stored = test_support::patternBytes(256, 5);
    records.insert(records.end(), stored.begin(), stored.end());
    records.insert(records.end(), {0x40 | 1, 1, 0x77});                                         // filled
    records.insert(records.end(), {0xc0 | 1, 2});                                               // header only
    records.insert(records.end(), {0x80 | 1, 3, 7, 0xfe, 9, 0xfe, 200, 0x31, 0xfe, 55, 0x32});  // runs
    ASSERT_TRUE(image.disk->unpackZip4Part(part(true, records), 1));
    EXPECT_EQ(block(image, 1, 0), stored);
    EXPECT_EQ(block(image, 1, 1), bytes_t(256, 0x77));
    EXPECT_EQ(block(image, 1, 2), bytes_t(256, 0));
    bytes_t runs = {9};
    runs.insert(runs.end(), 200, 0x31);
    runs.insert(runs.end(), 55, 0x32);
    EXPECT_EQ(block(image, 1, 3), runs);
}

TEST(Zip4Part, RejectsOtherLoadAddresses) {
    TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
    const bytes_t before = image.bytes();
    for (const bytes_t& data : {bytes_t{}, bytes_t{0xfe}, bytes_t{0x01, 0x08, 0x40 | 1, 0, 0x55}})
        EXPECT_FALSE(image.disk->unpackZip4Part(data, 1));
    for (const unsigned number : {0u, 6u})
        EXPECT_FALSE(image.disk->unpackZip4Part(part(false, {0x40 | 1, 0, 1}), number));
    EXPECT_EQ(image.bytes(), before);
}

// A record whose runs pass 256 bytes, or whose last run is cut off, is no block: the block is
// left empty and named; the next record still decodes.
TEST(Zip4Part, RunsThatDoNotFitTheirBlockLeaveItEmpty) {
    TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
    image.block(9, 0)[0] = 0x44;
    const bytes_t records = {0x80 | 9, 0, 6,    0xfe,     0xfe, 250, 1,    0xfe, 7,    2,  // 257 bytes
                             0x40 | 9, 1, 0x66, 0x80 | 9, 2,    3,   0xfe, 0x55, 0xfe, 3,  // a run token cut off
                             0x80 | 9, 3, 4,    0xfe,     0xfe, 255, 1,    0x02};          // 255 bytes, then a literal
    const auto gaps = image.disk->unpackZip4Part(part(false, records), 2);
    ASSERT_TRUE(gaps);
    EXPECT_EQ(gaps->undecodable, (std::vector<track_sector_t>{makeBlock(9, 0), makeBlock(9, 2)}));
    EXPECT_EQ(gaps->unreached.size(), 8u * 21 - 4);
    EXPECT_FALSE(gaps->none());
    EXPECT_EQ(block(image, 9, 0), bytes_t(256, 0));
    EXPECT_EQ(block(image, 9, 1), bytes_t(256, 0x66));
    EXPECT_EQ(block(image, 9, 2), bytes_t(256, 0));
    bytes_t full(256, 1);
    full[255] = 0x02;
    EXPECT_EQ(block(image, 9, 3), full);
    // A second record of the same block is named and replaces nothing.
    const auto again = image.disk->unpackZip4Part(part(false, {0x40 | 9, 0, 7, 0x40 | 9, 0, 8, 0x40 | 9, 1, 9}), 2);
    EXPECT_EQ(again->stray, zip4_part_gaps_t::stray_record::repeated);
    EXPECT_EQ(again->strayBlock, makeBlock(9, 0));
    EXPECT_FALSE(again->cutShort);
    EXPECT_EQ(block(image, 9, 0), bytes_t(256, 7));
    EXPECT_EQ(block(image, 9, 1), bytes_t(256, 0x66));
    // A record whose coded bytes pass the end of the part ends the decoding.
    ASSERT_TRUE(image.disk->unpackZip4Part(part(false, {0x80 | 2, 0, 200, 0xfe, 1, 2, 3}), 2));
    EXPECT_EQ(block(image, 2, 0), bytes_t(256, 0));
}

// A record of a block outside the part's own tracks (one the image lacks, or another part's)
// ends the part: it and the records after it are left out.
TEST(Zip4Part, ARecordOutsideItsTracksEndsThePart) {
    TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
    const bytes_t before = image.bytes();
    // Track 0, track 63, sector 30 of track 9, track 36 of a 35-track image and 18/0.
    for (const track_sector_t stray : {makeBlock(0, 0), makeBlock(63, 0), makeBlock(9, 30), makeBlock(36, 0),
                                       makeBlock(18, 0)}) {
        const bytes_t records = {static_cast<std::uint8_t>(0x40 | stray.track), static_cast<std::uint8_t>(stray.sector),
                                 0x11, 0x40 | 9, 0, 0x22};
        const auto gaps = image.disk->unpackZip4Part(part(false, records), 2);
        ASSERT_TRUE(gaps);
        EXPECT_EQ(gaps->stray, zip4_part_gaps_t::stray_record::foreign);
        EXPECT_EQ(gaps->strayBlock, stray);
        EXPECT_EQ(gaps->unreached.size(), 8u * 21);
    }
    EXPECT_EQ(image.bytes(), before);
    // Part 1 loads at 0x03FE and no other part does.
    EXPECT_FALSE(image.disk->unpackZip4Part(part(true, {0x40 | 9, 0, 1}), 2));
    EXPECT_FALSE(image.disk->unpackZip4Part(part(false, {0x40 | 1, 0, 1}), 1));
}

TEST(Zip4Part, PartFiveMakesTheImageFortyTracks) {
    TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
    ASSERT_TRUE(image.disk->unpackZip4Part(part(false, {0x40 | 40, 16, 0x99}), 5));
    EXPECT_EQ(image.disk->trackCount(), 40u);
    EXPECT_EQ(block(image, 40, 16), bytes_t(256, 0x99));
    EXPECT_TRUE(image.disk->journal().empty());
}

// A whole part reaches every block of its tracks; every cut of one leaves some without a record.
TEST(Zip4Part, NamesTheBlocksOfItsTracksNoWholeRecordReached) {
    for (const unsigned k : {1u, 2u, 3u, 4u}) {
        TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
        const auto gaps =
            image.disk->unpackZip4Part(test_support::readFixture("zipcode/" + std::to_string(k) + "!game"), k);
        ASSERT_TRUE(gaps);
        EXPECT_EQ(gaps->unreached.size(), 0u) << k;
        EXPECT_FALSE(gaps->cutShort);
    }
    const bytes_t whole = test_support::readFixture("zipcode/2!game");
    for (std::size_t size = 2; size < whole.size(); ++size) {
        TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
        const auto gaps =
            image.disk->unpackZip4Part(bytes_t(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)), 2);
        ASSERT_TRUE(gaps);
        EXPECT_GT(gaps->unreached.size(), 0u) << size;
    }
    TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
    // Cut inside a stored record: that block stays empty as well.
    bytes_t records = {0x40 | 9, 0, 1, 0xc0 | 9, 1, 0x40 | 9, 2, 2, 9, 3, 7};
    auto gaps = image.disk->unpackZip4Part(part(false, records), 2);
    ASSERT_TRUE(gaps);
    EXPECT_TRUE(gaps->cutShort);
    EXPECT_EQ(gaps->unreached.size(), 8u * 21 - 3);
    // One or two bytes after the last record.
    gaps = image.disk->unpackZip4Part(part(false, {0x40 | 9, 1, 5, 0x40 | 9}), 2);
    EXPECT_EQ(gaps->unreached.size(), 8u * 21 - 1);
    EXPECT_TRUE(gaps->cutShort);
    gaps = image.disk->unpackZip4Part(part(false, {0x40 | 36, 0, 5}), 5);
    EXPECT_EQ(gaps->unreached.size(), 5u * 17 - 1);
    EXPECT_FALSE(gaps->cutShort);
}

TEST(Zip4Part, EveryTruncationDecodesSafely) {
    bytes_t records = {0x80 | 1, 0, 9, 0xfe, 0xfe, 100, 1, 0xfe, 100, 2, 5, 6, 7};
    const bytes_t stored = test_support::patternBytes(256, 1);
    records.insert(records.end(), {1, 1});
    records.insert(records.end(), stored.begin(), stored.end());
    records.insert(records.end(), {0x40 | 2, 0, 3, 0xc0 | 3, 0});
    const bytes_t whole = part(true, records);
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        TestImage image = TestImage::fromBytes(bytes_t(174848, 0));
        image.disk->unpackZip4Part(bytes_t(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)), 1);
    }
}

}  // namespace
}  // namespace platter
