#include "platter/render/petscii_render_rgb.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forge/pixel_limit.hpp"
#include "platter/petscii/palette.hpp"
#include "tests/support/png_decoder.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

PetsciiScreen screenOf(const Bytes& text) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.setData(text).interpret();
    return screen;
}

forge::rgb_t pixelAt(const forge::raster_image_t& picture, std::size_t x, std::size_t y) {
    const std::uint8_t* pixel = picture.pixels.data() + y * picture.rowIncrement + x * 3;
    return {pixel[0], pixel[1], pixel[2]};
}

// Pixels of one cell (16 x 16 at the default size) in the colour.
std::size_t inkedPixels(const forge::raster_image_t& picture, std::size_t column, std::size_t row,
                        forge::rgb_t colour) {
    std::size_t count = 0;
    for (std::size_t y = row * 16; y < row * 16 + 16; ++y) {
        for (std::size_t x = column * 16; x < column * 16 + 16; ++x) count += pixelAt(picture, x, y) == colour;
    }
    return count;
}

forge::raster_image_t draw(const PetsciiScreen& screen, std::uint8_t background = 6) {
    PetsciiRenderRgb render;
    render.setBackground(background).begin();
    EXPECT_TRUE(render.fontReady());
    forge::raster_image_t picture;
    render.drawScreen(screen, picture);
    return picture;
}

TEST(PetsciiRenderRgb, FortyCellsAcrossFontSizeDown) {
    Bytes text;
    for (int row = 0; row < 24; ++row) text.insert(text.end(), {'X', 13});
    text.push_back('X');
    const PetsciiScreen screen = screenOf(text);
    ASSERT_EQ(screen.rowCount(), 25u);
    PetsciiRenderRgb render;
    render.setDocument(true).begin().renderSection(screen, "").end();
    EXPECT_EQ(render.cellWidth(), 16u);
    EXPECT_EQ(render.pictureWidth(), 640u);
    EXPECT_EQ(render.pictureHeight(screen), 400u);
    EXPECT_EQ(render.str().size(), 768000u);

    PetsciiRenderRgb small;
    small.setFontSize(8).begin();
    EXPECT_EQ(small.pictureWidth(), 40u * small.cellWidth());
    EXPECT_EQ(small.pictureHeight(screen), 200u);
}

TEST(PetsciiRenderRgb, ClearedScreensTakeNoSpace) {
    const PetsciiScreen screen = screenOf({'A', 147, 'B'});
    const forge::raster_image_t picture = draw(screen);
    EXPECT_EQ(picture.width, 640u);
    EXPECT_EQ(picture.height, 32u);
    const forge::rgb_t ink = g_default_palette.colourAt(14);
    EXPECT_GT(inkedPixels(picture, 0, 0, ink), 0u);
    EXPECT_GT(inkedPixels(picture, 0, 1, ink), 0u);
}

TEST(PetsciiRenderRgb, BlanksShowBackgroundReversedSpaceIsInk) {
    // Space, reversed space, 'A' in colour 0xFF (no colour of its own: palette 15).
    PetsciiScreen screen(40, 25, 14, false);
    screen.cellAt(0, 0) = {0xE020, 2};
    screen.cellAt(0, 1) = {0xE220, 2};
    screen.cellAt(0, 2) = {0xE041, 0xFF};
    const forge::raster_image_t picture = draw(screen, 0);
    const forge::rgb_t background = g_default_palette.colourAt(0);
    EXPECT_EQ(inkedPixels(picture, 0, 0, background), 256u);
    EXPECT_EQ(inkedPixels(picture, 1, 0, g_default_palette.colourAt(2)), 256u);
    EXPECT_GT(inkedPixels(picture, 2, 0, g_default_palette.colourAt(15)), 0u);
    // The rest of the short row is background.
    EXPECT_EQ(inkedPixels(picture, 39, 0, background), 256u);
}

// INST on a full row widens it to 41 cells; only the first 40 are drawn.
TEST(PetsciiRenderRgb, CellsPastTheFortiethAreClipped) {
    Bytes text(40, 'X');
    text.insert(text.end(), {145, 148});
    const PetsciiScreen screen = screenOf(text);
    ASSERT_GT(screen.maxRowLength(), 40u);
    const forge::raster_image_t picture = draw(screen);
    EXPECT_EQ(picture.width, 640u);
    EXPECT_EQ(pixelAt(picture, 639, 15), g_default_palette.colourAt(6));
}

TEST(PetsciiRenderRgb, NothingToDraw) {
    const PetsciiScreen empty = screenOf({13, 13, 147});
    PetsciiRenderRgb render;
    render.begin();
    forge::raster_image_t picture;
    EXPECT_FALSE(render.drawScreen(empty, picture));
    render.renderSection(empty, "");
    EXPECT_TRUE(render.str().empty());
    PetsciiRenderPng png;
    png.begin().renderSection(empty, "").end();
    EXPECT_TRUE(png.str().empty());
}

// 200,000 rows at 640 pixels: far above the limit, refused before allocating.
TEST(PetsciiRenderRgb, RefusesPicturesAboveTheLimit) {
    Bytes text;
    for (int row = 0; row < 200000; ++row) text.insert(text.end(), {'X', 13});
    const PetsciiScreen screen = screenOf(text);
    PetsciiRenderPng render;
    render.begin();
    EXPECT_GT(render.pictureWidth() * render.pictureHeight(screen), forge::kMaxPicturePixels);
    render.renderSection(screen, "");
    EXPECT_TRUE(render.str().empty());
}

TEST(PetsciiRenderPng, DecodesToTheRgbPicture) {
    const PetsciiScreen screen = screenOf({5, 'H', 'I', 13, 18, 28, ' ', 'X'});
    PetsciiRenderPng png;
    png.setDocument(true).setBackground(6).begin().renderSection(screen, "").end();
    const std::string file = png.str();
    const test_support::decoded_png_t decoded = test_support::decodePng(Bytes(file.begin(), file.end()));
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.width, 640u);
    EXPECT_EQ(decoded.height, 32u);
    EXPECT_EQ(decoded.rgb, draw(screen).pixels);
}

}  // namespace
}  // namespace platter
