#include "platter/archive/merge_writer.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace platter {
namespace {

using bytes = std::vector<std::uint8_t>;

dir_entry_t entryOf(std::uint8_t type, const std::string& name) {
    dir_entry_t entry;
    entry.bytes[2] = type;
    std::fill_n(entry.bytes.begin() + 5, 16, std::uint8_t{0xA0});
    std::copy(name.begin(), name.end(), entry.bytes.begin() + 5);
    return entry;
}

bool allZero(const bytes& image, std::size_t from, std::size_t to) {
    return std::all_of(image.begin() + static_cast<std::ptrdiff_t>(from),
                       image.begin() + static_cast<std::ptrdiff_t>(to), [](std::uint8_t b) { return b == 0; });
}

TEST(MergeWriter, AnEmptyContainer) {
    MergeWriter writer;
    writer.writeHeader();
    writer.finish();
    const bytes& image = writer.bytes();
    ASSERT_EQ(image.size(), 16777216u);
    EXPECT_EQ((bytes{image.begin() + 0x100, image.begin() + 0x107}), (bytes{0x22, 0, 0x22, 0, 0, 0xFF, 0x20}));
    EXPECT_TRUE(allZero(image, 0, 0x100));
    EXPECT_TRUE(allZero(image, 0x107, 0x300));
    EXPECT_TRUE(allZero(image, 0x2000, image.size()));
}

TEST(MergeWriter, EntriesStartOnPagesWithTheirLengthTypeAndName) {
    MergeWriter writer;
    writer.writeHeader();
    const bytes hundred(100, 0x11);
    ASSERT_TRUE(writer.addFile(entryOf(0x82, "HELLO"), hundred));
    EXPECT_EQ(writer.nextOffset(), 0x2300u);
    // 230 bytes end the entry exactly on a page: a whole empty page follows.
    ASSERT_TRUE(writer.addFile(entryOf(0xC1, "NOTES"), bytes(230, 0x22)));
    EXPECT_EQ(writer.nextOffset(), 0x2500u);
    ASSERT_TRUE(writer.addFile(entryOf(0x83, "U"), {}));
    ASSERT_TRUE(writer.addFile(entryOf(0x84, "R"), bytes(1, 0x33)));
    writer.finish();
    const bytes& image = writer.bytes();

    const auto entry = [&](std::size_t at) {
        return bytes(image.begin() + static_cast<std::ptrdiff_t>(at),
                     image.begin() + static_cast<std::ptrdiff_t>(at + 26));
    };
    bytes hello = {0, 0, 0, 'P', 0x7D, 0, 0, 0, 'H', 'E', 'L', 'L', 'O'};
    hello.resize(26);
    EXPECT_EQ(entry(0x2200), hello);
    EXPECT_TRUE(std::equal(hundred.begin(), hundred.end(), image.begin() + 0x2200 + 26));
    EXPECT_TRUE(allZero(image, 0x2200 + 126, 0x2300));
    EXPECT_EQ(image[0x2300 + 3], 'S');
    EXPECT_EQ(image[0x2300 + 4], 0xFF);  // 0x2300 + 230 + 25
    EXPECT_TRUE(allZero(image, 0x2400, 0x2500));
    EXPECT_EQ(image[0x2500 + 3], 'U');
    EXPECT_EQ(image[0x2600 + 3], 'P');  // REL and every other type

    // The bookkeeping bytes follow the last entry (O = 0x2600, L = 1).
    EXPECT_EQ(image[0x102], 0x27);
    EXPECT_EQ(image[0x103], 0x00);
    EXPECT_EQ((bytes{image.begin() + 0x2031, image.begin() + 0x2039}), (bytes{0x26, 0, 0x1B, 0x26, 0, 0x1A, 0x26, 0}));
    EXPECT_EQ((bytes{image.begin() + 0x2103, image.begin() + 0x2107}), (bytes{0x1E, 0x27, 0, 0x1E}));
}

TEST(MergeWriter, LongFilesCarryTheirLengthInTheUpperBytes) {
    MergeWriter writer;
    writer.writeHeader();
    ASSERT_TRUE(writer.addFile(entryOf(0x82, "BIG"), bytes(0x12345, 1)));
    const bytes& image = writer.bytes();
    // L + 25 = 0x1235E; E = 0x2200 + 0x1235E = 0x1455E.
    EXPECT_EQ(image[0x2200], 0x23);
    EXPECT_EQ(image[0x2201], 0x01);
    EXPECT_EQ(image[0x2204], 0x5E);
    EXPECT_EQ(writer.nextOffset(), 0x14600u);
}

TEST(MergeWriter, EntriesThatDoNotFitAreRefused) {
    MergeWriter writer;
    writer.writeHeader();
    // An entry whose next page would be 0x1000000 does not fit; one byte less does.
    const std::size_t room = 0x1000000 - 0x2200 - 26 - 256;
    EXPECT_FALSE(writer.addFile(entryOf(0x82, "A"), bytes(room, 0)));
    EXPECT_EQ(writer.nextOffset(), 0x2200u);
    EXPECT_EQ(writer.bytes().size(), 0x2200u);
    ASSERT_TRUE(writer.addFile(entryOf(0x82, "A"), bytes(room - 1, 0)));
    EXPECT_EQ(writer.nextOffset(), 0xFFFF00u);
    EXPECT_FALSE(writer.addFile(entryOf(0x82, "B"), {}));
    writer.finish();
    EXPECT_EQ(writer.bytes().size(), 0x1000000u);
}

}  // namespace
}  // namespace platter
