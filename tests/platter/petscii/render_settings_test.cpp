#include "platter/petscii/render_settings.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platter/petscii/palette.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "platter/petscii/rtf_converter.hpp"
#include "platter/petscii/text_converters.hpp"
#include "tests/support/bytes.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::uint64_t> offsets(const bitmap_render_settings_t& settings) {
    std::vector<std::uint64_t> result;
    for (const layout_line_t& line : settings.lines) result.push_back(line.offset);
    return result;
}

std::uint64_t layout(bitmap_render_settings_t& settings, const std::string& text) {
    settings.text = test_support::text(text);
    return layoutPetsciiText(settings, nullptr);
}

TEST(Layout, WrapsAtTheLineWidth) {
    bitmap_render_settings_t settings;
    EXPECT_EQ(layout(settings, std::string(41, 'A')), 2u);
    EXPECT_EQ(offsets(settings), (std::vector<std::uint64_t>{0, 40}));
    EXPECT_EQ(settings.longestLine, 40u);
    settings.wrap = false;
    EXPECT_EQ(layout(settings, std::string(41, 'A')), 1u);
    EXPECT_EQ(settings.longestLine, 41u);
}

TEST(Layout, MovesOrSplitsAWordThatDoesNotFit) {
    bitmap_render_settings_t settings;
    const std::string text = std::string(34, 'A') + " " + std::string(10, 'B');
    EXPECT_EQ(layout(settings, text), 2u);
    EXPECT_EQ(offsets(settings), (std::vector<std::uint64_t>{0, 35}));
    settings.wordWrap = false;
    EXPECT_EQ(layout(settings, text), 2u);
    EXPECT_EQ(offsets(settings), (std::vector<std::uint64_t>{0, 40}));
}

TEST(Layout, LineEndsAndCursorMoves) {
    bitmap_render_settings_t settings;
    // A CR B CR DEL X: the delete goes back to the end of line 1, where X wraps.
    EXPECT_EQ(layout(settings, "A\rB\r\x14X"), 3u);
    EXPECT_EQ(offsets(settings), (std::vector<std::uint64_t>{0, 2, 6}));
    // Delete, cursor left and insert never go before the text's first cell.
    EXPECT_EQ(layout(settings, "\x14\x9d\x94" + std::string(40, 'A')), 2u);
    EXPECT_EQ(layout(settings, "A\x94" + std::string(40, 'B')), 2u);
    EXPECT_EQ(offsets(settings), (std::vector<std::uint64_t>{0, 42}));
}

// The bytes a SEQ writer receives for the text.
std::string seqOf(bitmap_render_settings_t& settings, const std::string& text) {
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    SEQConverter seq(&writer);
    settings.text = test_support::text(text);
    layoutPetsciiText(settings, &writer);
    return std::string(writer.output().begin(), writer.output().end());
}

TEST(Layout, ControlCodesActOutsideQuotes) {
    bitmap_render_settings_t settings;
    EXPECT_EQ(seqOf(settings,
                    "A\x12"
                    "B\x92"
                    "C\rD"),
              "A\x12"
              "B\x92"
              "C\rD");
    // In quote mode a colour code is drawn; outside it changes the colour.
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    settings.text = test_support::text("\"\x1c\"");
    layoutPetsciiText(settings, &writer);
    EXPECT_EQ(writer.foreground(), g_default_palette.colour(14));
    settings.text = test_support::text(
        "\x1c"
        "A\x0e");
    layoutPetsciiText(settings, &writer);
    EXPECT_EQ(writer.foreground(), g_default_palette.colour(2));
    EXPECT_EQ(writer.charset(), Charset::lowerUpper);
}

TEST(Layout, HighlightedRangeIsReversed) {
    bitmap_render_settings_t settings;
    settings.highlightStart = 1;
    settings.highlightEnd = 3;
    EXPECT_EQ(seqOf(settings, "ABCD"),
              "A\x12"
              "BC\x92"
              "D");
}

TEST(Layout, DocumentLinesEndThroughTheWriter) {
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    writer.setCarriageReturnMode(true);
    RTFConverter rtf(&writer);
    bitmap_render_settings_t settings = renderSettingsFor(writer, test_support::text("AB\r" + std::string(41, 'C')));
    EXPECT_EQ(layoutPetsciiText(settings, &writer), 3u);
    EXPECT_EQ(std::string(writer.output().begin(), writer.output().end()),
              "AB\\par\r\n" + std::string(40, 'C') + "\\par\r\nC");
}

TEST(RenderPetsciiTextImage, SizesAndColours) {
    bitmap_render_settings_t settings;
    settings.cellWidth = 8;
    settings.cellHeight = 8;
    settings.text = test_support::text("\x12 \x92\r\r");
    const forge::raster_image_t picture = renderPetsciiTextImage(settings);
    EXPECT_EQ(picture.width, 320u);
    EXPECT_EQ(picture.height, 24u);
    // A reversed space is a solid foreground cell at the top left, the rest is background.
    EXPECT_EQ(picture.pixels[0], 0xFF);
    EXPECT_EQ(picture.pixels[7 * 3], 0xFF);
    EXPECT_EQ(picture.pixels[8 * 3], 0x00);
    EXPECT_EQ(picture.pixels[picture.pixels.size() - 1], 0x00);

    settings.text.assign(2000000, 13);  // two million empty lines
    EXPECT_TRUE(renderPetsciiTextImage(settings).pixels.empty());
}

TEST(Layout, StopsAtALineAndColumn) {
    bitmap_render_settings_t settings;
    layout(settings, "ABC\rDEF\rGHI");
    const std::vector<std::uint64_t> table = offsets(settings);
    layout_range_t range;
    range.rebuild = false;
    range.lineLimit = 1;
    range.start = 5;
    layout_result_t result = layoutPetsciiText(settings, nullptr, range);
    EXPECT_EQ(result.lines, 1u);
    EXPECT_EQ(result.end, 5u);  // nothing walked
    // The text offset of line 2, column 1, of the line table.
    range.start.reset();
    range.lineLimit = 2;
    range.columnLimit = 1;
    result = layoutPetsciiText(settings, nullptr, range);
    EXPECT_EQ(result.lines, 2u);
    EXPECT_EQ(result.end, 5u);
    EXPECT_EQ(offsets(settings), table);  // only read
}

TEST(Layout, DrawsFromALineOfTheTable) {
    bitmap_render_settings_t settings;
    layout(settings,
           "A\rB\x12"
           "C\rD");
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    SEQConverter seq(&writer);
    layout_range_t range;
    range.rebuild = false;
    range.firstLine = 1;
    range.lineLimit = 1;
    range.columnLimit = 40;
    EXPECT_EQ(layoutPetsciiText(settings, &writer, range).end, 6u);
    EXPECT_EQ(std::string(writer.output().begin(), writer.output().end()),
              "B\x12"
              "C\r");
}

TEST(Layout, RawModeDrawsEveryByte) {
    bitmap_render_settings_t settings;
    settings.rawMode = true;
    EXPECT_EQ(layout(settings, "A\rB\x12\x14"), 1u);
    EXPECT_EQ(settings.longestLine, 5u);
    // Only spaces part words; a word too long for the rest of a line starts
    // a new one, where it is split.
    settings.lineWidth = 8;
    EXPECT_EQ(layout(settings, "AA " + std::string(10, 'B')), 3u);
    EXPECT_EQ(offsets(settings), (std::vector<std::uint64_t>{0, 3, 11}));
    settings.rawMode = false;
    EXPECT_EQ(layout(settings, "AA " + std::string(10, 'B')), 2u);
    EXPECT_EQ(offsets(settings), (std::vector<std::uint64_t>{0, 8}));
}

TEST(RenderPetsciiTextImage, RawControlCodesAreReversedGlyphs) {
    bitmap_render_settings_t settings;
    settings.cellWidth = 8;
    settings.cellHeight = 8;
    settings.lineWidth = 2;
    settings.rawMode = true;
    settings.text = test_support::text("\x01\x0d");
    const forge::raster_image_t raw = renderPetsciiTextImage(settings);
    settings.rawMode = false;
    settings.text = test_support::text(
        "\x12"
        "AM");
    EXPECT_EQ(raw.pixels, renderPetsciiTextImage(settings).pixels);
}

TEST(DrawPetsciiTextRows, DrawsRowsIntoTheWindowOnly) {
    bitmap_render_settings_t settings;
    settings.cellWidth = 8;
    settings.cellHeight = 8;
    settings.lineWidth = 5;
    settings.text = test_support::text(
        "\x12"
        "AB\rCD\x92"
        "E\rFG");
    const forge::raster_image_t whole = renderPetsciiTextImage(settings);
    ASSERT_EQ(whole.height, 24u);

    forge::raster_image_t picture = forge::raster_image_t::black(60, 30);
    picture.pixels.assign(picture.pixels.size(), 0x77);
    const pixel_window_t window{4, 3, 40, 9};
    drawPetsciiTextRows(settings, picture, window, 1, 1);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint8_t* pixel = &picture.pixels[(y * picture.width + x) * 3];
            const bool inside = x >= 4 && x < 44 && y >= 3 && y < 12;
            // Text row 1 at the window's top, and the start of row 2 below it.
            const std::uint8_t expected = inside ? whole.pixels[((y - 3 + 8) * whole.width + x - 4) * 3] : 0x77;
            ASSERT_EQ(pixel[0], expected) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace platter
