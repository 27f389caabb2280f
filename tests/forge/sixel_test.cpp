#include "forge/sixel.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string sixelOf(const Bytes& rgb, std::uint64_t width, std::uint64_t height) {
    Bytes out;
    EXPECT_TRUE(forge::rgbToSixel(rgb, width, height, out));
    return std::string(out.begin(), out.end());
}

Bytes row(std::size_t count, Bytes colour) {
    Bytes rgb;
    for (std::size_t i = 0; i < count; ++i) {
        rgb.insert(rgb.end(), colour.begin(), colour.end());
    }
    return rgb;
}

const std::string kStart = "\x1bP9;1;0q\n";
const std::string kEnd = "\x1b\\";

TEST(RgbToSixel, OnePixelWithItsPercentagesTruncated) {
    EXPECT_EQ(sixelOf({255, 255, 255}, 1, 1), kStart + "#0;2;100;100;100\n#0@-\n" + kEnd);
    EXPECT_EQ(sixelOf({128, 1, 254}, 1, 1), kStart + "#0;2;50;0;99\n#0@-\n" + kEnd);
}

TEST(RgbToSixel, RunsOfFourOrMoreArePacked) {
    EXPECT_EQ(sixelOf(row(3, {9, 9, 9}), 3, 1), kStart + "#0;2;3;3;3\n#0@@@-\n" + kEnd);
    EXPECT_EQ(sixelOf(row(4, {9, 9, 9}), 4, 1), kStart + "#0;2;3;3;3\n#0!4@-\n" + kEnd);
    EXPECT_EQ(sixelOf(row(300, {9, 9, 9}), 300, 1), kStart + "#0;2;3;3;3\n#0!255@!45@-\n" + kEnd);
}

TEST(RgbToSixel, BandsOfSixRowsWithOneSelectionPerColour) {
    // Seven rows: the second band has only its top row.
    EXPECT_EQ(sixelOf(row(7, {0, 0, 0}), 1, 7), kStart + "#0;2;0;0;0\n#0~-\n#0@-\n" + kEnd);

    // Two colours in one band; the second band has only the first colour.
    Bytes rgb = row(1, {255, 0, 0});
    Bytes blue = row(1, {0, 0, 255});
    rgb.insert(rgb.end(), blue.begin(), blue.end());
    Bytes red = row(1, {255, 0, 0});
    for (int i = 0; i < 6; ++i) {
        rgb.insert(rgb.end(), red.begin(), red.end());
    }
    EXPECT_EQ(sixelOf(rgb, 1, 8), kStart + "#0;2;100;0;0#1;2;0;0;100\n#0|$\n#1A-\n#0B-\n" + kEnd);
}

TEST(RgbToSixel, EmptyPictureHasStartAndEndOnly) {
    EXPECT_EQ(sixelOf({}, 0, 5), kStart + kEnd);
    EXPECT_EQ(sixelOf({}, 5, 0), kStart + kEnd);
}

TEST(RgbToSixel, RefusesMoreThan256ColoursAndShortPixels) {
    Bytes rgb;
    for (unsigned i = 0; i < 257; ++i) {
        rgb.insert(rgb.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 0});
    }
    Bytes out{7};
    EXPECT_FALSE(forge::rgbToSixel(rgb, 257, 1, out));
    EXPECT_FALSE(forge::rgbToSixel(Bytes{1, 2, 3}, 2, 1, out));
    EXPECT_EQ(out, Bytes{7});
    rgb.resize(256 * 3);
    EXPECT_TRUE(forge::rgbToSixel(rgb, 256, 1, out));
}

TEST(RgbToSixel, DecodesToThePictureWithSixel2png) {
    if (!test_support::haveProgram("/usr/bin/sixel2png") || !test_support::haveProgram("/usr/bin/python3")) {
        GTEST_SKIP() << "needs sixel2png (libsixel-bin) and /usr/bin/python3";
    }
    // 16 colours whose channels are multiples of 51, which survive the
    // round trip through percentages exactly.
    const std::uint64_t width = 40, height = 13;
    Bytes rgb;
    for (std::uint64_t y = 0; y < height; ++y) {
        for (std::uint64_t x = 0; x < width; ++x) {
            const unsigned c = static_cast<unsigned>((x / 3 + y * 5) % 16);
            rgb.insert(rgb.end(), {static_cast<std::uint8_t>(51 * (c % 4)), static_cast<std::uint8_t>(51 * (c / 4)),
                                   static_cast<std::uint8_t>(255 - 51 * (c % 3))});
        }
    }
    Bytes sixel;
    ASSERT_TRUE(forge::rgbToSixel(rgb, width, height, sixel));
    test_support::ScratchDir scratch;
    test_support::writeBytes(scratch.file("p.six"), sixel);
    const auto [output, status] = test_support::runCommand("/usr/bin/sixel2png -i " + scratch.file("p.six").string() +
                                                         " -o " + scratch.file("p.png").string());
    ASSERT_EQ(status, 0) << output;
    const test_support::decoded_png_t decoded = test_support::decodePng(test_support::readBytes(scratch.file("p.png")));
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.width, width);
    EXPECT_EQ(decoded.height, height);
    EXPECT_TRUE(decoded.rgb == rgb);
}

}  // namespace
