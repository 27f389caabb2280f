#include "platter/core/disk_library.hpp"

#include "forge/files.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace platter {
namespace {

bool matches(std::string_view pattern, std::string_view name) {
    std::array<std::uint8_t, 16> padded;
    padded.fill(0xA0);
    std::copy(name.begin(), name.end(), padded.begin());
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(pattern.data()), pattern.size());
    return cbmWildcardMatch(bytes, padded);
}

TEST(CbmWildcardMatch, FollowsDosRules) {
    EXPECT_TRUE(matches("*", "ANYTHING"));
    EXPECT_TRUE(matches("*", ""));
    EXPECT_TRUE(matches("A*", "A"));
    EXPECT_TRUE(matches("A*", "ABC"));
    EXPECT_TRUE(matches("A?C", "ABC"));
    EXPECT_FALSE(matches("A?C", "AC"));
    EXPECT_FALSE(matches("ABC", "AB"));
    EXPECT_FALSE(matches("AB", "ABC"));
    EXPECT_TRUE(matches("A*C", "ABBC"));
    EXPECT_FALSE(matches("A*C", "ABD"));
    EXPECT_TRUE(matches("", ""));
    EXPECT_FALSE(matches("", "A"));
    EXPECT_TRUE(matches("AB??", "AB"));
    EXPECT_FALSE(matches("AB?X", "AB"));
}

TEST(LibraryStrings, CutAndReplace) {
    EXPECT_EQ(afterFirst("A!B!C", '!'), "B!C");
    EXPECT_EQ(afterFirst("ABC", '!'), "ABC");
    EXPECT_EQ(beforeLast("A.B.C", '.'), "A.B");
    EXPECT_EQ(beforeLast("ABC", '.'), "ABC");
    EXPECT_EQ(afterLast("dir/sub/name", '/'), "name");
    EXPECT_EQ(afterLast("name", '/'), "name");
    EXPECT_EQ(replaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replaceAll("x{^a^}y{^a^}", "{^a^}", "1"), "x1y1");
    EXPECT_EQ(replaceAll("abc", "", "z"), "abc");
    std::string name = "a?b\"c/d\\e<f>g*h|i:j";
    eraseChars(name, kHostUnsafeChars);
    EXPECT_EQ(name, "abcdefghij");
}

TEST(GeosEntry, NeedsAnInfoBlockAndAValidStamp) {
    // USR, info block 19/4, VLIR, 1988-12-31 23:59
    const std::array<std::uint8_t, 32> entry = {0, 0, 0x83, 0, 0, 0, 0,  0, 0, 0, 0,  0,  0,  0,  0,
                                                0, 0, 0,    0, 0, 0, 19, 4, 1, 0, 88, 12, 31, 23, 59};
    EXPECT_TRUE(isGeosEntry(entry));
    for (const auto& [offset, value] : {std::pair<std::size_t, int>{29, 60}, {26, 0}, {27, 32}, {28, 24}, {23, 2}, {2, 0x84}}) {
        auto broken = entry;
        broken[offset] = static_cast<std::uint8_t>(value);
        EXPECT_FALSE(isGeosEntry(broken)) << offset;
    }
    auto noInfo = entry;
    noInfo[21] = 0;
    noInfo[22] = 0;
    EXPECT_FALSE(isGeosEntry(noInfo));
    EXPECT_FALSE(isGeosEntry(std::span<const std::uint8_t>(entry).first(31)));
}

TEST(VlirRecordOffset, RecordsTakeWholeBlocks) {
    std::vector<std::uint8_t> file(1000, 0);
    file[508] = 2;
    file[509] = 10;
    file[510] = 1;
    file[511] = 200;
    file[512] = 3;
    file[513] = 5;
    EXPECT_EQ(vlirRecordOffset(file, 0), 762u);
    EXPECT_EQ(vlirRecordOffset(file, 2), 762u + 2 * 254 + 254);
    EXPECT_EQ(vlirRecordOffset(file, 3), 0u);  // 0/0: no record
    EXPECT_EQ(vlirRecordOffset(std::span<const std::uint8_t>(file).first(511), 1), 0u);
    EXPECT_EQ(vlirRecordOffset(file, 500), 0u);
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
           std::uint32_t{bytes[at + 3]} << 24;
}

std::vector<std::vector<std::uint8_t>> zip6Parts(std::uint8_t tracks) {
    std::vector<std::vector<std::uint8_t>> parts(6, std::vector<std::uint8_t>(8, 0));
    parts[0] = {0xFF, 0x03, tracks, 0, 0, 0, 0, 0};
    return parts;
}

TEST(Zip6Frame, GivesOffsetsAndSpeedsForTheDataTracksOnly) {
    std::vector<std::uint8_t> g64;
    ASSERT_TRUE(writeZip6Frame(zip6Parts(36), g64));
    ASSERT_EQ(g64.size(), 684u);
    EXPECT_EQ(std::string(g64.begin(), g64.begin() + 12), std::string("GCR-1541\0\x54\x0C\x1E", 12));
    EXPECT_EQ(le32(g64, 12), 684u);
    EXPECT_EQ(le32(g64, 12 + 8 * 17), 684u + 17 * 7694);  // track 18
    EXPECT_EQ(le32(g64, 12 + 8 * 35), 0u);                // track 36 carries no data
    EXPECT_EQ(le32(g64, 348 + 8 * 17), 2u);
    EXPECT_EQ(le32(g64, 348 + 8 * 24), 1u);

    g64.clear();
    ASSERT_TRUE(writeZip6Frame(zip6Parts(200), g64));  // clamped to the table's 42 tracks
    EXPECT_EQ(g64.size(), 684u);
    EXPECT_NE(le32(g64, 12 + 8 * 41), 0u);
    auto parts = zip6Parts(36);
    parts[0][1] = 0x04;
    EXPECT_FALSE(writeZip6Frame(parts, g64));
    parts.pop_back();
    EXPECT_FALSE(writeZip6Frame(parts, g64));
}

std::vector<std::uint8_t> fixture(const std::string& name) {
    forge::file_t file;
    EXPECT_TRUE(forge::readFile(std::string(ZT_TEST_DATA) + "/core/" + name, file)) << name;
    return file.data;
}

TEST(LynxDirectory, ReadsAnArchiveWrittenByCbmconvert) {
    const std::vector<std::uint8_t> archive = fixture("small.lnx");
    const std::vector<lynx_entry_t> entries = parseLynxDirectory(archive, 80);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, (std::vector<std::uint8_t>{0xC8, 0xC5, 0xCC, 0xCC, 0xCF}));
    EXPECT_EQ(entries[0].type, 2);
    EXPECT_EQ(entries[0].blocks, 2u);
    EXPECT_EQ(entries[0].data, fixture("hello.prg"));
    EXPECT_EQ(entries[1].type, 1);
    EXPECT_EQ(entries[1].data, fixture("notes.seq"));
}

TEST(LynxDirectory, SurvivesTruncationAndLyingCounts) {
    const std::vector<std::uint8_t> archive = fixture("small.lnx");
    for (std::size_t length = 0; length < archive.size(); length += 7) {
        const auto cut = std::span<const std::uint8_t>(archive).first(length);
        for (const lynx_entry_t& entry : parseLynxDirectory(cut, 80)) EXPECT_LE(entry.data.size(), length);
    }

    const auto directory = [](std::string text) {
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        bytes.resize(2000, 0x42);
        return bytes;
    };
    // A file of 0 blocks ends the list instead of wrapping its size.
    EXPECT_TRUE(parseLynxDirectory(directory(" 1\r 2\rA\r 0\rP\r 5\rB\r 1\rP\r"), 80).empty());
    // A huge count is bounded by the text.
    const auto many = parseLynxDirectory(directory(" 1\r 99999999\rA\r 1\rP\r 5\rB\r 1\rP\r 5\r"), 80);
    ASSERT_EQ(many.size(), 2u);
    EXPECT_EQ(many[0].data.size(), 4u);
    // A REL file whose side sectors outnumber its blocks is malformed.
    EXPECT_TRUE(parseLynxDirectory(directory(" 1\r 2\rR\r 1\rR\r 64\r 99999\rB\r 1\rP\r"), 80).empty());
}

TEST(LynxDirectory, LastFileTakesTheRestInTheShortLayout) {
    std::string text = " 1\r 1\rONLY\r 1\rS\r";
    std::vector<std::uint8_t> archive(text.begin(), text.end());
    archive.resize(254, 0);
    archive.insert(archive.end(), {'D', 'A', 'T', 'A', '!'});
    const auto entries = parseLynxDirectory(archive, 80);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].data, (std::vector<std::uint8_t>{'D', 'A', 'T', 'A', '!'}));
}

TEST(GeosPictures, PhotoScrapThatLiesAboutItsSizeIsZeroFilled) {
    const std::vector<std::uint8_t> scrap = {3, 12, 0, 0xAA};
    picture_parts_t parts;
    ASSERT_TRUE(splitPhotoScrap(scrap, parts));
    EXPECT_EQ(parts.bitmap.size(), 2u * 3 * 8);
    EXPECT_EQ(parts.bitmap[0], 0xAA);
    EXPECT_EQ(std::count(parts.bitmap.begin(), parts.bitmap.end(), 0), 47);
    EXPECT_TRUE(parts.colour.empty());
    EXPECT_EQ(parts.heightCards, 2u);
    picture_parts_t none;
    EXPECT_TRUE(splitPhotoScrap({}, none));
    EXPECT_TRUE(none.bitmap.empty());
}

TEST(CopyPayloadRange, SkipsTheLoadAddressAndStopsAtTheEnd) {
    const std::vector<std::uint8_t> file = {0x01, 0x08, 10, 11, 12, 13};
    std::vector<std::uint8_t> out = {99};
    copyPayloadRange(file, 0, 3, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{10, 11, 12}));
    copyPayloadRange(file, 2, 100, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{12, 13}));
    copyPayloadRange(file, 4, 1, out);
    EXPECT_TRUE(out.empty());
    copyPayloadRange(file, ~std::uint64_t{0}, 1, out);
    EXPECT_TRUE(out.empty());
    copyPayloadRange(file, ~std::uint64_t{0} - 1, 1, out);
    EXPECT_TRUE(out.empty());
}

TEST(UnpackRle, ExpandsRunsInEitherOrder) {
    rle_format_t valueFirst{0, 0, 0xFE, false, 1, 0x6000};
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(unpackRle(std::vector<std::uint8_t>{0xAA, 1, 0xFE, 7, 3, 2}, out, valueFirst));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x00, 0x60, 1, 7, 7, 7, 2}));
    // A count of 0 ends the data.
    ASSERT_TRUE(unpackRle(std::vector<std::uint8_t>{0, 1, 0xFE, 7, 0, 2}, out, valueFirst));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x00, 0x60, 1}));
    EXPECT_FALSE(unpackRle(std::vector<std::uint8_t>{0, 1, 0xFE, 7}, out, valueFirst));

    rle_format_t countFirst{0, 0, 0x9B, true, 0, 0};
    ASSERT_TRUE(unpackRle(std::vector<std::uint8_t>{0x9B, 2, 5}, out, countFirst));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{5, 5}));
    EXPECT_TRUE(unpackRle(std::vector<std::uint8_t>{4, 0x9B, 0}, out, countFirst));
    EXPECT_FALSE(unpackRle(std::vector<std::uint8_t>{4, 0x9B, 1}, out, countFirst));
    EXPECT_FALSE(unpackRle(std::vector<std::uint8_t>{4, 0x9B}, out, countFirst));
}

}  // namespace
}  // namespace platter
