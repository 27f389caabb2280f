// Raw tracks whose blocks do not sit on byte boundaries, and headers of another disk.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platter/formats/gcr_decoder.hpp"
#include "tests/platter/formats/gcr_test_decode.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace platter {
namespace {

using testing::gcr_bytes_t;
using testing::decode;
using testing::g64WithTrack;
using testing::kBlocks35;
using testing::kSize35;
using testing::patternD64;


// Every sector off track 18 holds the format pattern, so that a byte-aligned 0x52 is found
// only where a header puts it.
std::optional<gcr_bytes_t> formatPatternG64() {
    static const std::optional<gcr_bytes_t> g64 = test_support::imageFromScript("g64/make_format_pattern.sh");
    return g64;
}

struct turned_image_t {
    const char* name;
    bool nib;
};

class GcrBitOffset : public ::testing::TestWithParam<turned_image_t> {};

// Bits 1 to 7 put every block off its byte; on a G64 the seam also goes through the first
// sector's sync, its header and its data block (which cc1541 writes from byte 0, 5 and 29
// on), so that a block wraps round the track's end.
TEST_P(GcrBitOffset, TracksTurnedByAnyBitDecodeToTheSameBlocks) {
    const turned_image_t image = GetParam();
    const std::string name = image.name;
    std::optional<gcr_bytes_t> file;
    if (name == "format pattern") {
        file = formatPatternG64();
        if (!file) GTEST_SKIP() << "needs cc1541 and python3";
    } else {
        file = test_support::readFixture(name);
    }
    const gcr_bytes_t expected = decode(*file, image.nib);
    if (name == "format pattern") {
        ASSERT_EQ(expected.size(), kSize35);  // every sector read
        for (std::size_t block = 0; block < kBlocks35; ++block) {
            const auto at = expected.begin() + static_cast<std::ptrdiff_t>(256 * block);
            if (block < 357 || block >= 376) {
                EXPECT_EQ(gcr_bytes_t(at, at + 256), testing::formatPatternBlock()) << block;
            }
        }
    } else {
        EXPECT_EQ(expected, test_support::readFixture("d64/base.d64"));
    }
    std::vector<std::size_t> rotations = {1, 2, 3, 4, 5, 6, 7};
    if (!image.nib) rotations.insert(rotations.end(), {8 * 2 + 3, 8 * 8 + 5, 8 * 129 + 3});
    for (const std::size_t bits : rotations) {
        const gcr_bytes_t turned =
            image.nib ? testing::rotateNibDumps(*file, bits) : testing::rotateG64Tracks(*file, bits);
        EXPECT_EQ(decode(turned, image.nib), expected) << name << " turned by " << bits << " bits";
    }
}

INSTANTIATE_TEST_SUITE_P(Images, GcrBitOffset,
                         ::testing::Values(turned_image_t{"format pattern", false},
                                           turned_image_t{"g64/base.g64", false}, turned_image_t{"g64/base.nib", true}),
                         [](const ::testing::TestParamInfo<turned_image_t>& row) {
                             return std::string(row.param.nib ? "nib" : row.index == 0 ? "format_pattern" : "g64");
                         });

// A header of the wanted sector that carries another disk's ID gives 29 (code 11), unless a
// copy with the track's own ID follows; the sector holds no data. How the ID is chosen stays:
// fast-first from the track's first header, strict from track 18.
TEST(GcrDecoder, AHeaderOfAnotherDiskGivesError29) {
    const gcr_bytes_t d64 = patternD64();
    testing::track_layout_t oneSector;
    oneSector.damage[3].otherDiskId = true;
    const gcr_bytes_t twoTurns = testing::twoTurnsOf(d64, 7, oneSector);
    testing::track_layout_t otherDisk;
    otherDisk.id = {'X', 'Y'};
    const struct {
        const char* what;
        gcr_bytes_t track7;
        bool fastFirst;
        std::vector<std::uint64_t> mismatched;
    } cases[] = {
        {"one sector", testing::encodeTrack(d64, 7, oneSector), true, {3}},
        {"a good copy after it", twoTurns, true, {}},
        {"a track of another disk, fast-first", testing::encodeTrack(d64, 7, otherDisk), true, {}},
        {"a track of another disk, strict",
         testing::encodeTrack(d64, 7, otherDisk),
         false,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
    };
    for (const auto& c : cases) {
        const gcr_bytes_t image = decode(g64WithTrack(d64, 7, c.track7), false, c.fastFirst);
        if (c.mismatched.empty()) {
            EXPECT_EQ(image, d64) << c.what;
            continue;
        }
        ASSERT_EQ(image.size(), kSize35 + kBlocks35) << c.what;
        EXPECT_EQ(std::count(image.begin() + kSize35, image.end(), 1),
                  static_cast<std::ptrdiff_t>(kBlocks35 - c.mismatched.size()))
            << c.what;
        for (const std::uint64_t sector : c.mismatched) {
            const std::size_t block = testing::gcrTestBlockOffset(7, sector) / 256;
            EXPECT_EQ(+image[kSize35 + block], +kGcrDiskIdMismatch) << c.what << " " << sector;
            const auto at = image.begin() + static_cast<std::ptrdiff_t>(256 * block);
            EXPECT_EQ(gcr_bytes_t(at, at + 256), testing::formatPatternBlock()) << c.what << " " << sector;
        }
    }
    EXPECT_EQ(gcrErrorText(kGcrDiskIdMismatch), "29, read error (disk id mismatch)");
}

}  // namespace
}  // namespace platter
