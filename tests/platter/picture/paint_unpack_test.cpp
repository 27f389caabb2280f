#include "platter/picture/paint_unpack.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platter/petscii/ascii_to_petscii.hpp"
#include "platter/picture/paint_type_ids.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(UnpackPaintData, LoadstarHiresKeepsItsScreen) {
    Bytes file = {0x00, 0x40, 0x80, 0x9B};
    for (int run = 0; run < 32; ++run) file.insert(file.end(), {0x9B, 250, 0xF0});
    for (int run = 0; run < 4; ++run) file.insert(file.end(), {0x00, 250, 0x1E});
    Bytes out;
    ASSERT_TRUE(unpackPaintData(paint_type::loadstar_hi_packed, file, out));
    ASSERT_EQ(out.size(), 9002u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 0xF0);
    EXPECT_EQ(out[8002], 0x1E);
    // A run that crosses the bitmap's end is cut there; the screen goes on after it.
    Bytes crossing = {0x00, 0x40, 0x80, 0x9B, 0x9B, 0x00, 0xF0};  // 256, then 31 x 250: 8,006
    for (int run = 0; run < 31; ++run) crossing.insert(crossing.end(), {0x9B, 250, 0xF0});
    crossing.insert(crossing.end(), {0x00, 0x05, 0x1E});
    ASSERT_TRUE(unpackPaintData(paint_type::loadstar_hi_packed, crossing, out));
    EXPECT_EQ(out.size(), 8007u);
    EXPECT_EQ(out.back(), 0x1E);
}

TEST(UnpackPaintData, OnlyPackedTypes) {
    Bytes out;
    EXPECT_FALSE(unpackPaintData(paint_type::koala, Bytes(10003, 0), out));
    EXPECT_FALSE(unpackPaintData(paint_type::assembler, Bytes(10, 0), out));
    // Draz Paint: the load address first, the packed data after a 16-byte header.
    Bytes draz(16, 0x20);
    draz.insert(draz.end(), {0x01, 0xFD, 3, 0x07, 0x02, 0xFD, 0x00});
    ASSERT_TRUE(unpackPaintData(paint_type::draz_packed, draz, out));
    EXPECT_EQ(out, (Bytes{0x00, 0x58, 0x01, 0x07, 0x07, 0x07, 0x02}));
}

TEST(UnpackGeoPaint, RunsAndTheirBounds) {
    Bytes file(762, 0);
    file.insert(file.end(), {0, 3, 'a', 'b', 'c', 64 + 2, 1, 2, 3, 4, 5, 6, 7, 8, 128 + 3, 'z'});
    Bytes expected = {'a', 'b', 'c'};
    for (int copy = 0; copy < 2; ++copy) expected.insert(expected.end(), {1, 2, 3, 4, 5, 6, 7, 8});
    expected.insert(expected.end(), {'z', 'z', 'z'});
    EXPECT_EQ(unpackGeoPaint(file), expected);
    // A run cut off by the end of the data is not written.
    file.insert(file.end(), {5, 'x', 'y'});
    EXPECT_EQ(unpackGeoPaint(file), expected);
    EXPECT_TRUE(unpackGeoPaint(Bytes(762, 0)).empty());
    // A page holds 45 records of 1,448 bytes; more runs are not unpacked.
    Bytes bomb(762, 0);
    for (int run = 0; run < 100000; ++run) bomb.insert(bomb.end(), {255, 0xAA});
    EXPECT_EQ(unpackGeoPaint(bomb).size(), 45u * 1448);
}

// A GEOS Convert file of one VLIR record at 762 holding `record`.
Bytes convertFile(const Bytes& record) {
    Bytes file(762, 0);
    file[508] = static_cast<std::uint8_t>((record.size() + 253) / 254);
    file[509] = 0xFF;
    file.insert(file.end(), record.begin(), record.end());
    file.resize(762 + file[508] * 254u, 0);
    return file;
}

TEST(UnpackPhotoAlbum, ScrapRuns) {
    // One card of 8 lines: 8 bitmap bytes and a colour byte.
    Bytes out;
    ASSERT_TRUE(unpackPhotoAlbum(convertFile({1, 8, 0, 8, 0xAA, 128 + 1, 0x2E, 0}), out));
    EXPECT_EQ(out, (Bytes{1, 8, 0, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x2E}));
    // A nested block (its own 3 bytes copied, then its runs) written k times;
    // the output stops at the scrap's size, 3 + 2 x 8 + 2 bytes.
    Bytes nested = {0x11, 0x22, 0x33, 2, 0x44, 0};
    nested.resize(92, 0);
    Bytes scrap = {2, 8, 0, 220, 3};
    scrap.insert(scrap.end(), nested.begin(), nested.end());
    scrap.insert(scrap.end(), {6, 0x55});
    ASSERT_TRUE(unpackPhotoAlbum(convertFile(scrap), out));
    Bytes expected = {2, 8, 0};
    for (int copy = 0; copy < 3; ++copy) expected.insert(expected.end(), {0x11, 0x22, 0x33, 0x44, 0x44});
    expected.insert(expected.end(), {0x55, 0x55, 0x55});
    EXPECT_EQ(out, expected);
}

TEST(UnpackPhotoAlbum, RefusesBrokenAlbums) {
    Bytes out;
    EXPECT_FALSE(unpackPhotoAlbum(Bytes(764, 0), out));
    EXPECT_FALSE(unpackPhotoAlbum(Bytes(800, 0), out));  // record 0 empty
    // A nested block that passes the end of the data.
    Bytes cut = convertFile({1, 8, 0, 230, 2, 1, 2});
    cut.resize(762 + 7);
    EXPECT_FALSE(unpackPhotoAlbum(cut, out));
    // A picture larger than the raster limit.
    EXPECT_FALSE(unpackPhotoAlbum(convertFile({255, 0xFF, 0xFF, 1, 0}), out));
}

// Nested blocks that each repeat the next 255 times: without a bound they
// would unpack to 255^6 copies.
TEST(UnpackPhotoAlbum, NestedRepeatsStayWithinTheScrapSize) {
    Bytes block = {1, 2, 3, 127, 0xEE};
    for (int level = 0; level < 6; ++level) {
        block.resize(std::max<std::size_t>(block.size(), 92), 0);  // a nested block is 92 bytes or more
        Bytes outer = {1, 2, 3, static_cast<std::uint8_t>(128 + block.size()), 255};
        outer.insert(outer.end(), block.begin(), block.end());
        block = outer;
    }
    ASSERT_LE(block.size(), 127u);
    Bytes scrap = {255, 0x00, 0x20, static_cast<std::uint8_t>(128 + block.size()), 255};
    scrap.insert(scrap.end(), block.begin(), block.end());
    Bytes out;
    ASSERT_TRUE(unpackPhotoAlbum(convertFile(scrap), out));
    EXPECT_GT(out.size(), 100000u);
    EXPECT_LE(out.size(), 3u + 255 * 0x2000 + 255 * 0x400);
}

TEST(ExtractGeoWriteText, TextWithoutEscapes) {
    Bytes page = {'H', 'i', 0, 13, 17};
    page.resize(page.size() + 26, 'r');  // the ruler's operands
    page.insert(page.end(), {'A', 16, 1, 2, 3, 4, 'B', 23, 9, 9, 9, '!'});
    Bytes out;
    ASSERT_TRUE(extractGeoWriteText(convertFile(page), out));
    Bytes expected;
    asciiToPetscii("Hi\nAB!", expected, Charset::lowerUpper);
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(extractGeoWriteText(Bytes(637, 0), out));
}

}  // namespace
}  // namespace platter
