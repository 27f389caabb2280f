#include "platter/picture/paint_decode.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platter/petscii/palette.hpp"
#include "platter/picture/paint_type_ids.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test_support::programFile;

// Fills `length` bytes from `offset` after the load address.
void fill(Bytes& file, std::size_t offset, std::size_t length, std::uint8_t value) {
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(offset + 2), length, value);
}

std::uint8_t indexAt(const forge::raster_image_t& picture, std::size_t x, std::size_t y) {
    const std::uint8_t* pixel = picture.pixels.data() + y * picture.rowIncrement + x * 3;
    return static_cast<std::uint8_t>(Palette::indexOf({pixel[0], pixel[1], pixel[2]}));
}

Bytes indices(const forge::raster_image_t& picture) {
    Bytes out;
    for (std::size_t y = 0; y < picture.height; ++y) {
        for (std::size_t x = 0; x < picture.width; ++x) out.push_back(indexAt(picture, x, y));
    }
    return out;
}

// Palette indices of a Koala file by a decoder written from the format alone.
Bytes referenceKoalaIndices(const Bytes& file) {
    const test_support::ScratchDir scratch;
    const std::filesystem::path path = scratch.write("picture.koa", file);
    const std::string script = test_support::fixturePath("picture/koala_reference.py").string();
    const auto [output, status] = test_support::runCommand("/usr/bin/python3 " + script + " " + path.string());
    EXPECT_EQ(status, 0) << output;
    return Bytes(output.begin(), output.end());
}

// A picture written by PIL with this program's palette, as RGB.
Bytes pngPixels(const std::string& fixture) {
    const test_support::decoded_png_t png = test_support::decodePng(test_support::readFixture(fixture));
    EXPECT_EQ(png.error, "");
    return png.rgb;
}

TEST(DecodePaintPicture, KoalaMatchesAReferenceDecoder) {
    std::mt19937 random(1541);
    Bytes koala = programFile(0x6000, 10003);
    for (std::size_t i = 2; i < koala.size(); ++i) koala[i] = static_cast<std::uint8_t>(random());
    forge::raster_image_t picture;
    ASSERT_TRUE(decodePaintPicture(koala, paint_type::koala, picture));
    ASSERT_EQ(picture.width, 320u);
    ASSERT_EQ(picture.height, 200u);
    EXPECT_EQ(indices(picture), referenceKoalaIndices(koala));
}

// gimp-cbmplugs wrote these files from the PNG pictures beside them
// (tests/data/picture/make_gimp_fixtures.sh).
TEST(DecodePaintPicture, PicturesWrittenByGimp) {
    forge::raster_image_t picture;
    ASSERT_TRUE(decodePaintPicture(test_support::readFixture("picture/gimp_koala.koa"), paint_type::koala, picture));
    EXPECT_EQ(picture.pixels, pngPixels("picture/gimp_koala.png"));
    ASSERT_TRUE(
        decodePaintPicture(test_support::readFixture("picture/gimp_interpaint.iph"), paint_type::interpaint, picture));
    EXPECT_EQ(picture.pixels, pngPixels("picture/gimp_interpaint.png"));
}

TEST(DecodePaintPicture, MulticolourPatternsTakeTheirFourColours) {
    Bytes koala = programFile(0x6000, 10003);
    fill(koala, 0, 8000, 0x1B);  // 00 01 10 11
    fill(koala, 8000, 1000, 0x25);
    fill(koala, 9000, 1000, 0xF7);
    koala.back() = 0xF6;
    forge::raster_image_t picture;
    ASSERT_TRUE(decodePaintPicture(koala, paint_type::koala, picture));
    const std::uint8_t expected[8] = {6, 6, 2, 2, 5, 5, 7, 7};
    for (std::size_t y : {0u, 99u, 199u}) {
        for (std::size_t x = 0; x < 320; ++x) ASSERT_EQ(indexAt(picture, x, y), expected[x % 8]) << x << "," << y;
    }
}

TEST(DecodePaintPicture, HiresBitsTakeTheScreenNibbles) {
    Bytes studio = programFile(0x2000, 9009);
    fill(studio, 0, 8000, 0xF0);
    fill(studio, 8000, 1000, 0x1E);
    forge::raster_image_t picture;
    ASSERT_TRUE(decodePaintPicture(studio, paint_type::art_studio, picture));
    EXPECT_EQ(indexAt(picture, 0, 0), 1);
    EXPECT_EQ(indexAt(picture, 3, 7), 1);
    EXPECT_EQ(indexAt(picture, 4, 0), 14);
    EXPECT_EQ(indexAt(picture, 319, 199), 14);
}

TEST(DecodePaintData, BackgroundOnlyInsideTheData) {
    Bytes interpaint = programFile(0x4000, 10003, 0x07);
    Bytes screen, bitmap, colour;
    bitmap_info_t info;
    ASSERT_TRUE(decodePaintData(interpaint, paint_type::interpaint_mc, screen, bitmap, colour, info));
    EXPECT_TRUE(info.multicolour);
    EXPECT_EQ(info.background, 0);  // its offset 10001 lies past the file's end
    Bytes koala = programFile(0x6000, 10003, 0x07);
    ASSERT_TRUE(decodePaintData(koala, paint_type::koala, screen, bitmap, colour, info));
    EXPECT_EQ(info.background, 7);
    EXPECT_EQ(bitmap.size(), 8000u);
    EXPECT_EQ(screen.size(), 1000u);
    EXPECT_EQ(colour.size(), 1000u);
}

TEST(DecodePaintData, OneColourValueForPaintMagicAndCentauri) {
    Bytes magic = programFile(0x3F8E, 9332);
    magic[8117 + 2] = 0x0D;
    magic[8118 + 2] = 0x03;
    Bytes screen, bitmap, colour;
    bitmap_info_t info;
    ASSERT_TRUE(decodePaintData(magic, paint_type::paint_magic, screen, bitmap, colour, info));
    EXPECT_EQ(colour, Bytes(1000, 0x0D));

    Bytes centauri = programFile(0x6000, 8194);
    centauri[8000 + 2] = 0x42;  // screen, and the fallback for cells without one
    centauri[8001 + 2] = 0x05;
    ASSERT_TRUE(decodePaintData(centauri, paint_type::centauri, screen, bitmap, colour, info));
    EXPECT_TRUE(info.multicolour);
    EXPECT_EQ(info.fallbackScreen, 0x42);
    EXPECT_EQ(colour, Bytes(1000, 0x05));
    forge::raster_image_t picture;
    ASSERT_TRUE(decodeBitmapImage(screen, colour, bitmap, info, picture));
}

TEST(DecodePaintData, RefusesWhatHasNoLayoutOrDoesNotUnpack) {
    Bytes screen, bitmap, colour;
    bitmap_info_t info;
    EXPECT_FALSE(decodePaintData(programFile(0x1234, 100), paint_type::assembler, screen, bitmap, colour, info));
    // Draz Paint packed data starting after its 16-byte header with a cut-off run.
    Bytes draz = programFile(0x5800, 20, 0x41);
    draz.back() = 0xFD;
    EXPECT_FALSE(decodePaintData(draz, paint_type::draz_packed, screen, bitmap, colour, info));
    // A packed Koala longer than a Koala is not unpacked.
    EXPECT_FALSE(decodePaintData(programFile(0x6000, 10004), paint_type::packed_koala, screen, bitmap, colour, info));
    // Loadstar multicolour parts that do not add up to 10,000 bytes.
    Bytes loadstar = {0x00, 0x40, 0x00, 0x9B, 0x06, 0x9B, 0x00, 0x11};
    EXPECT_FALSE(decodePaintData(loadstar, paint_type::loadstar_mc_packed, screen, bitmap, colour, info));
}

TEST(DecodePaintData, AmicaPaintPackedOrPlain) {
    // Packed: the picture's bytes with 0xC2 runs (count, value), ended by a 0 count.
    Bytes packed = {0x00, 0x40};
    for (int run = 0; run < 41; ++run) packed.insert(packed.end(), {0xC2, 250, 0x1B});
    packed.insert(packed.end(), {0xC2, 7, 0x1B, 0xC2, 0x00});
    forge::raster_image_t picture;
    ASSERT_TRUE(decodePaintPicture(packed, paint_type::amica_packed, picture));
    EXPECT_EQ(picture.width, 320u);
    // Plain: a cut-off run does not unpack, so the file is drawn as it stands.
    Bytes plain = programFile(0x4000, 10259, 0x1B);
    fill(plain, 9000, 1000, 0x03);
    plain[10257] = 0xC2;
    plain[10258] = 0x05;
    ASSERT_TRUE(decodePaintPicture(plain, paint_type::amica_packed, picture));
    EXPECT_EQ(indexAt(picture, 0, 0), 11);  // background 0x1B
    EXPECT_EQ(indexAt(picture, 6, 0), 3);
}

// Loadstar: load address 0x4000, mode, marker, background; then the bitmap
// (8,000 bytes as 32 runs of 250), the screen and the colours.
TEST(DecodePaintPicture, LoadstarMulticolour) {
    Bytes file = {0x00, 0x40, 0x00, 0x9B, 0x06};
    for (int run = 0; run < 32; ++run) file.insert(file.end(), {0x9B, 250, 0x1B});
    for (int run = 0; run < 4; ++run) file.insert(file.end(), {0x00, 250, 0x25});
    for (int run = 0; run < 4; ++run) file.insert(file.end(), {0xFF, 250, 0x07});
    forge::raster_image_t picture;
    ASSERT_TRUE(decodePaintPicture(file, paint_type::loadstar_mc_packed, picture));
    const std::uint8_t expected[8] = {6, 6, 2, 2, 5, 5, 7, 7};
    for (std::size_t x = 0; x < 16; ++x) EXPECT_EQ(indexAt(picture, x, 150), expected[x % 8]);
}

TEST(DecodePaintPicture, GeoPaintPageInCards) {
    // Convert file: three blocks of header, then one record: 1,280 bitmap
    // bytes, 8 spare bytes and the colours of the first of its two card rows.
    Bytes file(762, 0);
    for (int run = 0; run < 10; ++run) file.insert(file.end(), {128 + 127, 0xF0});
    file.insert(file.end(), {128 + 10, 0xF0});                 // 1,280 bitmap bytes: two card rows
    file.insert(file.end(), {128 + 8, 0x00, 128 + 80, 0x2E});  // spare bytes, then 80 colour bytes
    forge::raster_image_t picture;
    ASSERT_TRUE(decodePaintPicture(file, paint_type::geo_paint, picture));
    EXPECT_EQ(picture.width, 640u);
    EXPECT_EQ(picture.height, 720u);
    EXPECT_EQ(indexAt(picture, 0, 0), 2);
    EXPECT_EQ(indexAt(picture, 4, 0), 14);
    EXPECT_EQ(indexAt(picture, 639, 7), 14);
    // Cards the page does not fill read their colours from the fallback (black on white).
    EXPECT_EQ(indexAt(picture, 4, 300), 1);
    Bytes empty(762, 0);
    EXPECT_FALSE(decodePaintPicture(empty, paint_type::geo_paint, picture));
}

TEST(DecodePaintPicture, GoDotFullScreenAndClip) {
    // Two pixels a byte in GoDot's colour order: 0x18 is C64 colours 6 and 14.
    Bytes full = {'G', 'O', 'D', '0', 0xAD, 0x00, 0x18, 0x12};
    forge::raster_image_t picture;
    ASSERT_TRUE(decodePaintPicture(full, paint_type::godot, picture));
    ASSERT_EQ(picture.width, 320u);
    EXPECT_EQ(indexAt(picture, 0, 0), 6);
    EXPECT_EQ(indexAt(picture, 1, 0), 14);
    EXPECT_EQ(indexAt(picture, 7, 7), 14);         // cell 0 holds 32 bytes: 8 lines of 4
    EXPECT_EQ(indexAt(picture, 8 * 8, 0), 6);      // 256 bytes fill eight cells
    EXPECT_EQ(indexAt(picture, 8 * 8 + 1, 0), 9);  // the last byte 0x12: colours 6 and 9
    EXPECT_EQ(indexAt(picture, 319, 199), 0);

    const Bytes clip = {'G', 'O', 'D', '1', 0, 0, 2, 1, 0xAD, 64, 0xFF};
    ASSERT_TRUE(decodePaintPicture(clip, paint_type::godot, picture));
    EXPECT_EQ(picture.width, 16u);
    EXPECT_EQ(picture.height, 8u);
    EXPECT_EQ(indexAt(picture, 15, 7), 1);
    EXPECT_FALSE(decodePaintPicture(Bytes{'G', 'O', 'D', '1', 0, 0, 0, 1}, paint_type::godot, picture));
    EXPECT_FALSE(decodePaintPicture(Bytes{'G', 'O', 'D'}, paint_type::godot, picture));
}

TEST(DecodeBitmapImage, ShortDataReadsAsFallbacks) {
    bitmap_info_t info;
    forge::raster_image_t picture;
    ASSERT_TRUE(decodeBitmapImage({}, {}, Bytes{0x80}, info, picture));
    EXPECT_EQ(indexAt(picture, 0, 0), 0);  // set bit: high nibble of the fallback 0x01
    EXPECT_EQ(indexAt(picture, 1, 0), 1);
    info.cellsAcross = 1 << 13;
    info.cellsDown = 1 << 13;
    EXPECT_FALSE(decodeBitmapImage({}, {}, {}, info, picture));
    EXPECT_EQ(picture.width, 320u);  // left as it was
}

// Every paint type over short, random and all-0xFF data: no split may read
// outside its input; the pictures drawn from what it gives stay in bounds.
TEST(DecodePaintPicture, SurvivesHostileData) {
    std::mt19937 random(64);
    for (std::uint32_t type = 1; type <= paint_type::loadstar_mc; ++type) {
        // A scrap's header alone sizes its bitmap: those take long to split, so fewer lengths.
        const bool scrap = type == paint_type::geo_photo_album || type == paint_type::geo_photo_scrap;
        for (std::size_t length = 0; length <= 1024; length += scrap ? 31 : 1) {
            Bytes data(length);
            for (auto& b : data) b = static_cast<std::uint8_t>(random());
            for (const Bytes& input : {data, Bytes(length, 0xFF)}) {
                Bytes screen, bitmap, colour;
                bitmap_info_t info;
                const bool split = decodePaintData(input, type, screen, bitmap, colour, info);
                forge::raster_image_t picture;
                if (split && length % 61 == 0) {
                    EXPECT_TRUE(decodeBitmapImage(screen, colour, bitmap, info, picture));
                }
            }
        }
    }
}

}  // namespace
}  // namespace platter
