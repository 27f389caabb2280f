#include "platter/petscii/cbm_name.hpp"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes padded(std::string_view text) {
    Bytes name(16, 0xA0);
    std::copy(text.begin(), text.end(), name.begin());
    return name;
}

TEST(CbmName, Lengths) {
    EXPECT_EQ(paddedLength(padded("GAME"), 16), 4u);
    EXPECT_EQ(paddedLength(padded("ABCDEFGHIJKLMNOP"), 16), 16u);
    EXPECT_EQ(paddedLength(padded(""), 16), 0u);
    EXPECT_EQ(paddedLength(padded("GAME"), 2), 2u);
    EXPECT_EQ(paddedLength(Bytes{'A'}, 16), 1u);  // never past the bytes given
    EXPECT_EQ(lengthToSpace(Bytes{'A', 'B', ' ', 'C'}, 4), 2u);
    EXPECT_EQ(lengthToSpace(Bytes{'A', 'B'}, 4), 2u);
}

TEST(CbmName, CopyPadded) {
    std::array<std::uint8_t, 8> out{};
    out.fill(0x11);
    copyPadded(out, std::string_view("AB\0CD", 5), 6);
    EXPECT_EQ(out, (std::array<std::uint8_t, 8>{'A', 'B', 0xA0, 0xA0, 0xA0, 0xA0, 0x11, 0x11}));
    copyPadded(out, "ABCDEFGHIJ", 4);
    EXPECT_EQ(out[3], 'D');
    EXPECT_EQ(out[4], 0xA0);                                       // left from before
    copyPadded(std::span<std::uint8_t>(out).first(2), "XYZ", 16);  // n bounded by the destination
    EXPECT_EQ(out[1], 'Y');
    EXPECT_EQ(out[2], 'C');  // untouched
}

TEST(CbmName, Extension) {
    EXPECT_EQ(nameExtension(padded("GAME.PRG")), "PRG");
    EXPECT_EQ(nameExtension(padded("A.B.SEQ")), "SEQ");
    EXPECT_EQ(nameExtension(padded("GAME")), "");
    EXPECT_EQ(nameExtension(padded("GAME.")), "");
    EXPECT_EQ(nameExtension(padded("ABCDEFGHIJKLMNO.")), "");
    EXPECT_EQ(nameExtension(Bytes{'A', '.', 'B'}), "B");
}

TEST(CbmName, FromHostText) {
    Bytes name(16, 0xA0);
    nameFromHostText("Readme_1", name);
    EXPECT_EQ(name,
              (Bytes{0x72, 0x45, 0x41, 0x44, 0x4D, 0x45, 0xA4, '1', 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0}));
    Bytes longName(16, 0);
    nameFromHostText("abcdefghijklmnopqrstuvwxyz", longName);
    EXPECT_EQ(longName.back(), 'P');
    Bytes shortDestination(3, 0);
    nameFromHostText("abcdef", shortDestination);
    EXPECT_EQ(shortDestination, (Bytes{'A', 'B', 'C'}));
}

TEST(CbmName, ClearEntryWithName) {
    Bytes entry(32, 0x55);
    EXPECT_TRUE(clearEntryWithName(entry, "ab"));
    Bytes expected(32, 0);
    std::fill(expected.begin() + 5, expected.begin() + 21, 0xA0);
    expected[5] = 'A';
    expected[6] = 'B';
    EXPECT_EQ(entry, expected);
    Bytes tooShort(20, 0x55);
    EXPECT_FALSE(clearEntryWithName(tooShort, "ab"));
    EXPECT_EQ(tooShort, Bytes(20, 0x55));
}

TEST(CbmName, PathExtension) {
    EXPECT_EQ(pathExtension("dir/game.d64"), ".d64");
    EXPECT_EQ(pathExtension("dir.x/game"), "");
    EXPECT_EQ(pathExtension("a/.profile"), "");
    EXPECT_EQ(pathExtension(".a"), "");
    EXPECT_EQ(pathExtension("x.prg"), ".prg");
    EXPECT_EQ(pathExtension("name."), "");
    EXPECT_EQ(pathExtension("a.b.seq"), ".seq");
}

}  // namespace
}  // namespace platter
