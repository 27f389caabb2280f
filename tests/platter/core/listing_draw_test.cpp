#include "platter/core/listing_draw.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "forge/png_writer.hpp"
#include "platter/core/disk.hpp"
#include "platter/petscii/palette.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "platter/petscii/text_converters.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::ScratchDir;
using test_support::TestImage;

constexpr forge::rgb_t kBlue{0x35, 0x28, 0x79};
constexpr forge::rgb_t kLightBlue{0x6C, 0x5E, 0xB5};

// base.d64 lists 8 entries (cc1541 wrote it; see tests/data/d64).
constexpr std::uint32_t kBaseRows = 8 + 2;

std::set<std::uint32_t> coloursOf(const std::vector<std::uint8_t>& rgb) {
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        colours.insert(std::uint32_t{rgb[i]} << 16 | std::uint32_t{rgb[i + 1]} << 8 | rgb[i + 2]);
    return colours;
}

std::uint32_t packed(forge::rgb_t colour) {
    return std::uint32_t{colour.red} << 16 | std::uint32_t{colour.green} << 8 | colour.blue;
}

TEST(ListingPictures, PngDecodesToTheListingSizeAndColours) {
    if (!test_support::haveProgram("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    TestImage image = TestImage::fromFixture("base.d64");
    const ScratchDir dir;
    ASSERT_TRUE(saved(image.disk->saveAs(dir.file("l.png"))));
    const test_support::decoded_png_t png = test_support::decodePng(test_support::readBytes(dir.file("l.png")));
    ASSERT_EQ(png.error, "");
    EXPECT_EQ(png.width, 30u * 8);
    EXPECT_EQ(png.height, kBaseRows * 8);
    EXPECT_EQ(coloursOf(png.rgb), (std::set<std::uint32_t>{packed(kBlue), packed(kLightBlue)}));
    // The border is background; the reversed space between name and id is a solid cell.
    EXPECT_EQ(png.rgb[0], kBlue.red);
    EXPECT_EQ(png.rgb[(5 * png.width + 20 * 8 + 2 + 3) * 3], kLightBlue.red);

    // Selected entries alone, a row each.
    listing_request_t request;
    request.indices = {1, 3};
    ASSERT_TRUE(saved(image.disk->saveAs(dir.file("s.png"), request)));
    const test_support::decoded_png_t selected = test_support::decodePng(test_support::readBytes(dir.file("s.png")));
    EXPECT_EQ(selected.height, 2u * 8);
}

TEST(ListingPictures, BmpHoldsThePixelsOfThePng) {
    if (!test_support::haveProgram("/usr/bin/bmptopnm") || !test_support::haveProgram("/usr/bin/pngtopnm")) {
        GTEST_SKIP() << "no netpbm";
    }
    TestImage image = TestImage::fromFixture("base.d64");
    const ScratchDir dir;
    ASSERT_TRUE(saved(image.disk->saveAs(dir.file("l.bmp"))));
    ASSERT_TRUE(saved(image.disk->saveAs(dir.file("l.png"))));
    const auto [bmp, bmpStatus] =
        test_support::runCommand("bmptopnm " + dir.file("l.bmp").string() + " 2>/dev/null | md5sum");
    const auto [png, pngStatus] = test_support::runCommand("pngtopnm " + dir.file("l.png").string() + " | md5sum");
    ASSERT_EQ(bmpStatus, 0);
    EXPECT_EQ(bmp, png);
}

TEST(ListingPictures, StackedPicturesTakeTheWiderWidth) {
    forge::raster_image_t top = forge::raster_image_t::black(2, 1);
    top.pixels.assign(top.pixels.size(), 7);
    forge::raster_image_t bottom = forge::raster_image_t::black(3, 2);
    bottom.pixels.assign(bottom.pixels.size(), 9);
    const forge::raster_image_t both = stackPictures(top, bottom);
    EXPECT_EQ(both.width, 3u);
    EXPECT_EQ(both.height, 3u);
    EXPECT_EQ(both.pixels, (bytes_t{7, 7, 7, 7, 7, 7, 0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}));
}

// The lines a drawing hands an ASCII converter.
std::vector<std::string> textLines(Disk& disk, const listing_view_t& view, std::vector<std::uint32_t> selection,
                                   bool selectedOnly) {
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    AsciiConverter ascii(&writer);
    drawListing(disk, writer, view, selection, selectedOnly);
    std::vector<std::string> lines;
    std::string line;
    for (const std::uint8_t c : writer.output()) {
        if (c != '\r') {
            line += static_cast<char>(c);
        } else {
            lines.push_back(line);
            line.clear();
        }
    }
    return lines;
}

TEST(DrawListing, IndexOffsetAndForcedHeader) {
    TestImage image = TestImage::fromFixture("base.d64");
    const std::vector<std::string> all = textLines(*image.disk, {}, {}, false);
    ASSERT_EQ(all.size(), kBaseRows);

    listing_view_t view;
    view.indexOffset = 6;
    EXPECT_EQ(textLines(*image.disk, view, {}, false), (std::vector<std::string>{all[0], all[7], all[8], all[9]}));

    // Selected entries alone: no header unless forced, no footer.
    view.indexOffset = 0;
    EXPECT_EQ(textLines(*image.disk, view, {1, 3}, true), (std::vector<std::string>{all[2], all[4]}));
    view.forceHeader = true;
    EXPECT_EQ(textLines(*image.disk, view, {1, 3}, true), (std::vector<std::string>{all[0], all[2], all[4]}));
}

class ScrolledListing : public ::testing::Test {
protected:
    static constexpr std::uint32_t kWidth = 30 * 8;
    static constexpr std::uint32_t kRowBytes = kWidth * 3;

    void SetUp() override {
        PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
        whole_ = renderDirectory(*image_.disk, writer, {});
        ASSERT_EQ(whole_.height, kBaseRows * 8);
    }

    // The listing drawn on a canvas of the whole listing's size, with only
    // the text rows the window holds.
    forge::raster_image_t drawn(const listing_view_t& view) {
        forge::raster_image_t canvas = forge::raster_image_t::black(kWidth, kBaseRows * 8);
        PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
        drawListing(*image_.disk, writer, view, {}, false);
        return canvas;
    }

    // Pixel rows of text row `row` (cell (0, 0) lies 2 pixels in).
    std::vector<std::uint8_t> textRow(const forge::raster_image_t& picture, std::uint32_t row) {
        const auto begin = picture.pixels.begin() + (row * 8 + 2) * kRowBytes;
        return std::vector<std::uint8_t>(begin, begin + 8 * kRowBytes);
    }

    std::vector<std::uint8_t> background() {
        std::vector<std::uint8_t> pixels;
        for (std::uint32_t i = 0; i < 8 * kWidth; ++i)
            pixels.insert(pixels.end(), {kBlue.red, kBlue.green, kBlue.blue});
        return pixels;
    }

    TestImage image_ = TestImage::fromFixture("base.d64");
    forge::raster_image_t whole_;
};

TEST_F(ScrolledListing, DrawsOnlyTheRowsOfTheWindow) {
    listing_view_t view;
    view.window = {0, 3 * 8, static_cast<std::int32_t>(kWidth), 3 * 8};
    const forge::raster_image_t canvas = drawn(view);
    for (std::uint32_t row = 0; row + 1 < kBaseRows; ++row) {
        const bool inside = row >= 3 && row < 6;
        EXPECT_EQ(textRow(canvas, row), inside ? textRow(whole_, row) : background()) << row;
    }
}

TEST_F(ScrolledListing, ForcedHeaderStaysOnTop) {
    listing_view_t view;
    view.window = {0, 3 * 8, static_cast<std::int32_t>(kWidth), 3 * 8};
    view.forceHeader = true;
    const forge::raster_image_t canvas = drawn(view);
    EXPECT_EQ(textRow(canvas, 3), textRow(whole_, 0));
    EXPECT_EQ(textRow(canvas, 4), textRow(whole_, 4));
    EXPECT_EQ(textRow(canvas, 5), textRow(whole_, 5));
    EXPECT_EQ(textRow(canvas, 6), background());
}

TEST_F(ScrolledListing, AWindowBelowTheListingShowsNoFooter) {
    // The footer's row is kBaseRows - 1; the window starts one row below it.
    listing_view_t view;
    view.window = {0, static_cast<std::int32_t>(kBaseRows * 8), static_cast<std::int32_t>(kWidth), 8};
    forge::raster_image_t canvas = forge::raster_image_t::black(kWidth, (kBaseRows + 3) * 8);
    PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
    drawListing(*image_.disk, writer, view, {}, false);
    for (std::uint32_t row = 0; row + 1 < kBaseRows + 3; ++row) EXPECT_EQ(textRow(canvas, row), background()) << row;
}

TEST(DrawEntry, BasicListerFormOfNamesWithShiftedSpaces) {
    TestImage image = TestImage::blank();
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    writer.setCarriageReturnMode(true);
    SEQConverter seq(&writer);
    const auto line = [&](const std::string& name) {
        dir_entry_t entry;
        entry.bytes[2] = 0x82;
        entry.setBlockCount(1);
        std::array<std::uint8_t, 16> bytes;
        bytes.fill(0xA0);
        std::copy(name.begin(), name.end(), bytes.begin());
        entry.setName(bytes);
        writer.clearOutput();
        image.disk->drawEntry(entry, 0, writer, false);
        return std::string(writer.output().begin(), writer.output().end());
    };
    // The lister ends the line; the next two bytes are a line link, the two
    // after them a line number, and the name goes on after those.
    EXPECT_EQ(line("AB\xa0\x01\x02\x03\x04"
                   "CD"),
              "1    \"AB\r1027CD\"     PRG \r");
    // With one byte of the name left, the number's high byte is a space.
    EXPECT_EQ(line(std::string("AB\0\x01\x02\x41", 6)), "1    \"AB\r8257\"" + std::string(7, ' ') + "PRG \r");
    // Too short for a line number: none is shown.
    EXPECT_EQ(line(std::string("AB\0\x01", 4)), "1    \"AB\r\"" + std::string(11, ' ') + "PRG \r");
}

}  // namespace
}  // namespace platter
