#include "platter/picture/charset_image.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr forge::rgb_t kClear{1, 1, 1};
constexpr forge::rgb_t kSet{2, 2, 2};
constexpr forge::rgb_t kThird{3, 3, 3};

forge::rgb_t pixelAt(const forge::raster_image_t& picture, std::size_t x, std::size_t y) {
    const std::uint8_t* pixel = picture.pixels.data() + y * picture.rowIncrement + x * 3;
    return {pixel[0], pixel[1], pixel[2]};
}

charset_image_t sheet() {
    charset_image_t settings;
    settings.slots = {kClear, kSet, kThird, kThird};
    return settings;
}

TEST(DecodeCharsetImage, SixteenBySixteenGlyphSheet) {
    Bytes charset(2048, 0);
    charset[8 * 1] = 0x80;       // glyph 1, top line, leftmost pixel
    charset[8 * 17 + 7] = 0x01;  // glyph 17: second row, second column, bottom right
    forge::raster_image_t picture;
    ASSERT_TRUE(decodeCharsetImage(charset, sheet(), picture));
    ASSERT_EQ(picture.width, 128u);
    ASSERT_EQ(picture.height, 128u);
    EXPECT_EQ(pixelAt(picture, 8, 0), kSet);
    EXPECT_EQ(pixelAt(picture, 9, 0), kClear);
    EXPECT_EQ(pixelAt(picture, 15, 15), kSet);
    EXPECT_EQ(pixelAt(picture, 0, 0), kClear);
    // Glyphs beyond the data read as empty.
    ASSERT_TRUE(decodeCharsetImage(Bytes{0xFF}, sheet(), picture));
    EXPECT_EQ(pixelAt(picture, 7, 0), kSet);
    EXPECT_EQ(pixelAt(picture, 7, 1), kClear);
    EXPECT_EQ(pixelAt(picture, 127, 127), kClear);
}

TEST(DecodeCharsetImage, MulticolourPairsLeavePatternZero) {
    charset_image_t settings = sheet();
    settings.multicolour = true;
    forge::raster_image_t picture;
    ASSERT_TRUE(decodeCharsetImage(Bytes{0x1B}, settings, picture));  // 00 01 10 11
    EXPECT_EQ(pixelAt(picture, 0, 0), (forge::rgb_t{0, 0, 0}));
    EXPECT_EQ(pixelAt(picture, 1, 0), (forge::rgb_t{0, 0, 0}));
    EXPECT_EQ(pixelAt(picture, 2, 0), kSet);
    EXPECT_EQ(pixelAt(picture, 4, 0), kThird);
    EXPECT_EQ(pixelAt(picture, 7, 0), kSet);
}

TEST(DecodeCharsetImage, TwoByTwoGlyphsAndLimits) {
    charset_image_t settings = sheet();
    settings.twoByTwo = true;
    Bytes charset(2048, 0);
    charset[8 * 64] = 0x80;   // top right quarter of glyph 0
    charset[8 * 128] = 0x80;  // bottom left quarter
    forge::raster_image_t picture;
    ASSERT_TRUE(decodeCharsetImage(charset, settings, picture));
    EXPECT_EQ(pixelAt(picture, 8, 0), kSet);
    EXPECT_EQ(pixelAt(picture, 0, 8), kSet);
    EXPECT_EQ(pixelAt(picture, 0, 0), kClear);
    settings.charsAcross = 1 << 20;
    EXPECT_FALSE(decodeCharsetImage(charset, settings, picture));
    EXPECT_EQ(picture.width, 128u);
}

}  // namespace
}  // namespace platter
