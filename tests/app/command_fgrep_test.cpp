#include "app/command_fgrep.hpp"

#include "platter/open/open_container.hpp"
#include "tests/support/d64_image.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace app {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Format = CommandFgrep::pattern_format;

Bytes pattern(Format format, const std::string& text) {
    CommandFgrep fgrep;
    fgrep.settings.format = format;
    return fgrep.patternBytes(text);
}

TEST(FgrepPattern, PetsciiOfTheLowerUpperSet) {
    EXPECT_EQ(pattern(Format::petscii, "Hi"), (Bytes{0xC8, 0x49}));
    EXPECT_EQ(pattern(Format::petscii, "$41"), (Bytes{0x24, 0x34, 0x31}));
}

TEST(FgrepPattern, HexInEveryNotation) {
    const Bytes ab{0x41, 0x42};
    EXPECT_EQ(pattern(Format::unspecified, "$41 42"), ab);
    EXPECT_EQ(pattern(Format::hex, "4142"), ab);
    EXPECT_EQ(pattern(Format::hex, "41,42"), ab);
    EXPECT_TRUE(pattern(Format::hex, "zz").empty());
}

class FgrepSearch : public ::testing::Test {
protected:
    std::vector<fgrep_match_t> search(const std::vector<std::uint8_t>& image, const std::string& text,
                                      std::optional<std::uint64_t> maximum = std::nullopt) {
        auto disk = test_support::openD64(image);
        EXPECT_TRUE(disk);
        CommandFgrep fgrep;
        return disk ? fgrep.searchDisk(fgrep.patternBytes(text), *disk, maximum) : std::vector<fgrep_match_t>{};
    }

    std::vector<std::uint8_t> files = test_support::readFixture("bam/files.d64");
};

TEST_F(FgrepSearch, MaximumCountsRecords) {
    EXPECT_EQ(search(files, "hello", 1).size(), 1u);
    EXPECT_EQ(search(files, "hello", 0).size(), 1u);  // the check follows the first record
    EXPECT_EQ(search(files, "hello", 5).size(), 2u);
    EXPECT_TRUE(search(files, "zzzzzz", 0).empty());
}

TEST_F(FgrepSearch, ContinuationMustMatchTheLinkedData) {
    files[test_support::d64Offset(20, 10) + 3] = 'X';  // "CRO" + "SX"
    EXPECT_TRUE(search(files, "cross").empty());
}

TEST_F(FgrepSearch, LastBlockOfAChainNeverContinues) {
    // The chain's last block 20/1 (link track 0) now ends in "CRO" too, with
    // no block after it to complete the match.
    const std::size_t last = test_support::d64Offset(20, 1);
    ASSERT_EQ(files[last], 0);
    std::copy_n("CRO", 3, files.begin() + static_cast<std::ptrdiff_t>(last + 253));
    EXPECT_EQ(search(files, "cross").size(), 1u);  // only the one from 20/0
}

TEST_F(FgrepSearch, ABlockCutShortByTheImagesEndIsNotSearched) {
    for (const std::size_t block : {test_support::d64Offset(1, 0), test_support::d64Offset(35, 16)}) {
        std::copy_n("ZZZZ", 4, files.begin() + static_cast<std::ptrdiff_t>(block + 2));
    }
    EXPECT_EQ(search(files, "zzzz").size(), 2u);
    files.pop_back();  // 35/16 lacks its last byte
    const auto disk = platter::openAsKind(platter::format_id::d64, "cut.d64", files).disk;
    ASSERT_TRUE(disk);
    CommandFgrep fgrep;
    const std::vector<fgrep_match_t> matches = fgrep.searchDisk(fgrep.patternBytes("zzzz"), *disk, std::nullopt);
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].track, 1u);
}

TEST_F(FgrepSearch, RemainderLongerThanTheDataNeverMatches) {
    // 3/0 links to 3/1 and ends in one 'Q'; 3/1 holds 254 of them.
    const std::size_t first = test_support::d64Offset(3, 0);
    files[first] = 3;
    files[first + 1] = 1;
    files[first + 255] = 'Q';
    std::fill_n(files.begin() + static_cast<std::ptrdiff_t>(test_support::d64Offset(3, 1) + 2), 254, 'Q');
    auto disk = test_support::openD64(files);
    ASSERT_TRUE(disk);
    CommandFgrep fgrep;
    // 255 bytes would have to follow in 3/1: more than a block's data.
    EXPECT_TRUE(fgrep.searchDisk(std::vector<std::uint8_t>(256, 'Q'), *disk, std::nullopt).empty());
    const std::vector<fgrep_match_t> matches =
        fgrep.searchDisk(std::vector<std::uint8_t>(200, 'Q'), *disk, std::nullopt);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].offset, 255u);
    EXPECT_EQ(matches[0].linkTrack, 3u);
    EXPECT_EQ(matches[0].linkSector, 1u);
    EXPECT_EQ(matches[1].sector, 1u);
    EXPECT_EQ(matches[1].offset, 2u);
}

}  // namespace
}  // namespace app
