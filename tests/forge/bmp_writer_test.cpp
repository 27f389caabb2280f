#include "forge/bmp_writer.hpp"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>

#include "forge/png_writer.hpp"
#include "tests/support/files.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t le32(const Bytes& bytes, std::size_t offset) {
    return std::uint32_t{bytes[offset]} | std::uint32_t{bytes[offset + 1]} << 8 |
           std::uint32_t{bytes[offset + 2]} << 16 | std::uint32_t{bytes[offset + 3]} << 24;
}

// A picture whose pixel (x, y) is (x, y, 200) in RGB order.
forge::raster_image_t gradient(std::uint32_t width, std::uint32_t height) {
    forge::raster_image_t picture = forge::raster_image_t::black(width, height);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = &picture.pixels[y * picture.rowIncrement + x * 3];
            pixel[0] = static_cast<std::uint8_t>(x);
            pixel[1] = static_cast<std::uint8_t>(y);
            pixel[2] = 200;
        }
    }
    return picture;
}

TEST(BmpWriter, HeaderFieldsAndRowsWithoutPadding) {
    Bytes bmp;
    ASSERT_TRUE(forge::rasterToBmp(gradient(4, 2), bmp));
    ASSERT_EQ(bmp.size(), 54u + 2 * 12);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    EXPECT_EQ(le32(bmp, 6), 0u);
    EXPECT_EQ(le32(bmp, 10), 54u);
    EXPECT_EQ(le32(bmp, 14), 40u);
    EXPECT_EQ(le32(bmp, 18), 4u);
    EXPECT_EQ(le32(bmp, 22), 2u);
    EXPECT_EQ(bmp[26] | bmp[27] << 8, 1);
    EXPECT_EQ(bmp[28] | bmp[29] << 8, 24);
    EXPECT_EQ(le32(bmp, 30), 0u);
    EXPECT_EQ(le32(bmp, 34), 24u);
    // Bottom row first, blue green red.
    EXPECT_EQ((Bytes(bmp.begin() + 54, bmp.begin() + 60)), (Bytes{200, 1, 0, 200, 1, 1}));
    EXPECT_EQ((Bytes(bmp.begin() + 66, bmp.begin() + 69)), (Bytes{200, 0, 0}));
}

TEST(BmpWriter, RowsArePaddedToFourBytes) {
    Bytes bmp;
    ASSERT_TRUE(forge::rasterToBmp(gradient(3, 2), bmp));  // 9 bytes a row, 3 of padding
    ASSERT_EQ(bmp.size(), 54u + 2 * 12);
    EXPECT_EQ(le32(bmp, 34), 24u);
    EXPECT_EQ((Bytes(bmp.begin() + 63, bmp.begin() + 66)), (Bytes{0, 0, 0}));
    EXPECT_EQ((Bytes(bmp.begin() + 66, bmp.begin() + 69)), (Bytes{200, 0, 0}));
}

TEST(BmpWriter, KeepsBgrPicturesAndRowIncrements) {
    forge::raster_image_t picture = gradient(2, 1);
    picture.channelOrder = forge::raster_image_t::kBgr;
    picture.rowIncrement = 8;
    picture.pixels.resize(8, 0xEE);
    Bytes bmp;
    ASSERT_TRUE(forge::rasterToBmp(picture, bmp));
    EXPECT_EQ((Bytes(bmp.begin() + 54, bmp.end())), (Bytes{0, 0, 200, 1, 0, 200, 0, 0}));
}

TEST(BmpWriter, RefusesPicturesItCannotWrite) {
    Bytes bmp{1};
    forge::raster_image_t shortPixels = gradient(4, 4);
    shortPixels.pixels.resize(40);
    EXPECT_FALSE(forge::rasterToBmp(shortPixels, bmp));
    forge::raster_image_t fourBytes = gradient(2, 2);
    fourBytes.bytesPerPixel = 4;
    EXPECT_FALSE(forge::rasterToBmp(fourBytes, bmp));
    EXPECT_EQ(bmp, Bytes{1});
}

TEST(BmpWriter, DecodesWithNetpbm) {
    if (!test_support::haveProgram("/usr/bin/bmptopnm")) GTEST_SKIP() << "no bmptopnm";
    const test_support::ScratchDir dir;
    for (const std::uint32_t width : {4u, 3u}) {
        Bytes bmp;
        ASSERT_TRUE(forge::rasterToBmp(gradient(width, 3), bmp));
        test_support::writeBytes(dir.file("p.bmp"), bmp);
        const auto [ppm, status] =
            test_support::runCommand("bmptopnm " + dir.file("p.bmp").string() + " 2>/dev/null | pnmtoplainpnm");
        ASSERT_EQ(status, 0);
        std::istringstream numbers(ppm.substr(2));
        std::vector<unsigned> decoded{std::istream_iterator<unsigned>(numbers), std::istream_iterator<unsigned>()};
        std::vector<unsigned> expected{width, 3, 255};
        for (unsigned y = 0; y < 3; ++y) {
            for (unsigned x = 0; x < width; ++x) expected.insert(expected.end(), {x, y, 200});
        }
        EXPECT_EQ(decoded, expected) << "width " << width;
    }
}

TEST(RasterToPng, RepacksBgrRowsForTheDecoder) {
    if (!test_support::haveProgram("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    forge::raster_image_t picture = gradient(3, 2);
    const Bytes rgb = picture.pixels;
    for (std::size_t i = 0; i < picture.pixels.size(); i += 3) std::swap(picture.pixels[i], picture.pixels[i + 2]);
    picture.channelOrder = forge::raster_image_t::kBgr;
    Bytes png;
    ASSERT_TRUE(forge::rasterToPng(picture, png));
    const test_support::decoded_png_t decoded = test_support::decodePng(png);
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.width, 3u);
    EXPECT_EQ(decoded.height, 2u);
    EXPECT_EQ(decoded.rgb, rgb);
}

}  // namespace
