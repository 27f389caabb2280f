#include "platter/petscii/palette.hpp"

#include "tests/support/scratch_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platter/petscii/colour_codes.hpp"

namespace platter {
namespace {

constexpr forge::rgb_t kMagenta{255, 0, 255};

class PaletteFile : public ::testing::Test {
protected:
    std::string write(const std::string& contents) {
        test_support::writeText(scratch_.file("palette.txt"), contents);
        return scratch_.file("palette.txt").string();
    }

    test_support::ScratchDir scratch_;
};

std::string repeatedLine(const std::string& line, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += line;
    return out;
}

TEST(Palette, BuiltInColours) {
    const Palette palette;
    EXPECT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette.colourAt(16), kMagenta);
    EXPECT_EQ(palette.colourByName("Lt Blue"), palette.colourAt(14));
    EXPECT_EQ(palette.colourByName("black"), kMagenta);  // names match case and all
    EXPECT_EQ(Palette::indexOf(palette.colourAt(12)), 12u);
    EXPECT_EQ(Palette::indexOf({1, 2, 3}), 0u);
}

TEST(Palette, ClearedPaletteHasNoColours) {
    Palette palette;
    palette.clear();
    EXPECT_EQ(palette.colourAt(0), kMagenta);
    EXPECT_EQ(palette.colourByName("White"), kMagenta);
}

TEST(Palette, ParseLine) {
    Palette palette;
    palette.clear();
    palette.parseLine("F 0 0 ");
    palette.parseLine("FF 00 00");  // no white space after the third component
    palette.parseLine("# 10 10 10 ");
    palette.parseLine("");
    palette.parseLine("1G 00 00 ");
    palette.parseLine("aB\t0c 7\r");
    ASSERT_EQ(palette.size(), 2u);
    EXPECT_EQ(palette.colourAt(0), (forge::rgb_t{240, 0, 0}));
    EXPECT_EQ(palette.colourAt(1), (forge::rgb_t{0xAB, 0x0C, 0x70}));
}

TEST_F(PaletteFile, SixteenColoursLoad) {
    Palette palette;
    EXPECT_TRUE(palette.load(write(repeatedLine("FF 00 00 \n", 16))));
    EXPECT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette.colourAt(15), (forge::rgb_t{255, 0, 0}));
    EXPECT_TRUE(palette.load(write(repeatedLine("01 02 03 \r\n", 16))));
    EXPECT_EQ(palette.colourAt(4), (forge::rgb_t{1, 2, 3}));
}

TEST_F(PaletteFile, ShortFileIsCompletedWithDefaults) {
    Palette palette(write(repeatedLine("11 22 33 \n", 3)));
    EXPECT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette.colourAt(2), (forge::rgb_t{0x11, 0x22, 0x33}));
    EXPECT_EQ(palette.colourAt(3), (forge::rgb_t{0x70, 0xA4, 0xB2}));
    EXPECT_FALSE(palette.load(scratch_.file("palette.txt").string()));
}

TEST(Palette, MissingFileOrEmptyPathGivesDefaults) {
    Palette palette;
    EXPECT_FALSE(palette.load("/nonexistent/zt/palette"));
    EXPECT_EQ(palette.size(), 16u);
    EXPECT_FALSE(palette.load(""));
    EXPECT_EQ(palette.colourAt(1), (forge::rgb_t{255, 255, 255}));
}

TEST(ColourCodes, BothDirections) {
    for (int index = 0; index < 16; ++index) {
        const int code = colourToPetscii(index);
        EXPECT_EQ(code, g_petscii_colour_codes[static_cast<std::size_t>(index)]);
        EXPECT_TRUE(isColourCode(static_cast<std::uint8_t>(code)));
        EXPECT_EQ(petsciiToColour(static_cast<std::uint8_t>(code)), index);
    }
    EXPECT_EQ(colourToPetscii(16), -1);
    EXPECT_EQ(colourToPetscii(-1), -1);
    EXPECT_EQ(petsciiToColour(0x20), -1);
    int colourCodes = 0;
    for (int c = 0; c < 256; ++c) colourCodes += isColourCode(static_cast<std::uint8_t>(c)) ? 1 : 0;
    EXPECT_EQ(colourCodes, 16);
}

}  // namespace
}  // namespace platter
