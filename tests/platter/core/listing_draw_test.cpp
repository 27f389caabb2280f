#include "platter/core/listing_draw.hpp"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "forge/png_writer.hpp"
#include "platter/core/disk.hpp"
#include "platter/petscii/palette.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

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
    ASSERT_TRUE(image.disk->saveAs(dir.file("l.png")));
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
    ASSERT_TRUE(image.disk->saveAs(dir.file("s.png"), request));
    const test_support::decoded_png_t selected = test_support::decodePng(test_support::readBytes(dir.file("s.png")));
    EXPECT_EQ(selected.height, 2u * 8);
}

TEST(ListingPictures, BmpHoldsThePixelsOfThePng) {
    if (!test_support::haveProgram("/usr/bin/bmptopnm") || !test_support::haveProgram("/usr/bin/pngtopnm")) {
        GTEST_SKIP() << "no netpbm";
    }
    TestImage image = TestImage::fromFixture("base.d64");
    const ScratchDir dir;
    ASSERT_TRUE(image.disk->saveAs(dir.file("l.bmp")));
    ASSERT_TRUE(image.disk->saveAs(dir.file("l.png")));
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

}  // namespace
}  // namespace platter
