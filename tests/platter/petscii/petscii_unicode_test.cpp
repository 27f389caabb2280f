#include "platter/petscii/petscii_unicode.hpp"

#include <gtest/gtest.h>

#include "platter/petscii/glyph_code_points.hpp"
#include "platter/petscii/petscii_tables.hpp"
#include "platter/petscii/screen_codes.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PetsciiToUnicode, ChoosesTheSetTable) {
    EXPECT_EQ(petsciiCharToUnicode(0x41, Charset::upperGraphics), 'A');
    EXPECT_EQ(petsciiCharToUnicode(0x41, Charset::lowerUpper), 'a');
    EXPECT_EQ(petsciiToUtf16(Bytes{0x41, 0x05, 0x85}, Charset::upperGraphics, false), u"A\u0045\U0000E065");
    EXPECT_EQ(petsciiToUtf16(Bytes{0x05, 0x85}, Charset::upperGraphics, true), u"\uE245\uEEC5");
    EXPECT_EQ(petsciiToUtf16(Bytes{0x05, 0x85, 0x41}, Charset::lowerUpper, true), u"\uE345\uEFC5a");
}

TEST(Latin1ToUtf8, EveryByteIsItsCodePoint) { EXPECT_EQ(latin1ToUtf8("a\xE9\xFF"), "a\xC3\xA9\xC3\xBF"); }

TEST(GlyphCodePoints, PositionsOfTheFont) {
    EXPECT_EQ(glyphCodePoint(0x41, Charset::upperGraphics, false), 0xE041);
    EXPECT_EQ(glyphCodePoint(0x41, Charset::lowerUpper, false), 0xE141);
    EXPECT_EQ(glyphCodePoint(0x41, Charset::lowerUpper, true), 0xE341);
    EXPECT_EQ(fontCodePoint(0x12, Charset::upperGraphics), 0xEE12);
    EXPECT_EQ(fontCodePoint(0x12, Charset::lowerUpper), 0xEF12);
    EXPECT_EQ(petsciiToGlyphCodePoints(Bytes{0x05, 0x85, 0xC1, 0x41, 0xFF}, Charset::upperGraphics),
              u"\uE245\uEEC5\uEE41\uE041\uE0FF");
    EXPECT_EQ(petsciiToGlyphCodePoints(Bytes{0x05, 0x85, 0xC1}, Charset::lowerUpper), u"\uE345\uEFC5\uEF41");
}

TEST(GlyphCodePoints, InverseRoundTrips) {
    for (int c = 0; c < 256; ++c) {
        const Bytes one{static_cast<std::uint8_t>(c)};
        const auto upper = petsciiToGlyphCodePoints(one, Charset::upperGraphics);
        EXPECT_EQ(glyphCodePointToPetscii(upper[0]), c) << c;
        const bool lowerSetHasInverse = !((c >= 0x80 && c <= 0x9F) || (c >= 0xC0 && c <= 0xDF));
        if (lowerSetHasInverse) {
            const auto lower = petsciiToGlyphCodePoints(one, Charset::lowerUpper);
            EXPECT_EQ(glyphCodePointToPetscii(lower[0]), c) << c;
        }
    }
    EXPECT_EQ(glyphCodePointToPetscii(0x41), 0x41);
    EXPECT_EQ(glyphCodePointToPetscii(0xF000), 0xF000);
}

TEST(ScreenCodes, FromPetscii) {
    struct Case {
        std::uint8_t c;
        bool reverse;
        bool printable;
        std::uint8_t out;
    };
    for (const Case& k : {Case{0x93, false, false, 0xD3}, Case{0x05, false, false, 0x85}, Case{0xFF, false, true, 0x5E},
                          Case{0x41, true, true, 0x81}, Case{0x60, false, true, 0x40}, Case{0xA0, false, true, 0x60},
                          Case{0xC1, false, true, 0x41}}) {
        std::uint8_t out = 0;
        EXPECT_EQ(petsciiToScreenCode(k.c, out, k.reverse), k.printable) << int{k.c};
        EXPECT_EQ(out, k.out) << int{k.c};
    }
    for (int c : {0x20, 0x7E, 0xA0, 0xE0}) EXPECT_TRUE(isPrintablePetscii(static_cast<std::uint8_t>(c)));
    for (int c : {0x1F, 0x7F, 0xA1, 0xDF}) EXPECT_FALSE(isPrintablePetscii(static_cast<std::uint8_t>(c)));
}

TEST(ScreenCodes, ToUnicodeWithFlags) {
    EXPECT_EQ(screenCodeToUnicode(0x40, Charset::upperGraphics, 0), 0x2500);
    EXPECT_EQ(petsciiToUnicode(0xF7, Charset::upperGraphics, 0), 0x2586);
    EXPECT_EQ(screenCodeToUnicode(0x40, Charset::upperGraphics, kScreenFontGlyphs), 0xEE40);
    EXPECT_EQ(screenCodeToUnicode(0x01, Charset::lowerUpper, kScreenFontGlyphs), 0xEF01);
    const std::uint32_t blocksOnly = kScreenFontGlyphs | kScreenFontBlocksOnly;
    EXPECT_EQ(screenCodeToUnicode(0x40, Charset::upperGraphics, blocksOnly), 0xEE40);
    EXPECT_EQ(screenCodeToUnicode(0x01, Charset::upperGraphics, blocksOnly), 'A');
    EXPECT_EQ(screenCodeToUnicode(0x51, Charset::upperGraphics, blocksOnly), 0x2022);
    EXPECT_EQ(screenCodeToUnicode(0x41, Charset::upperGraphics, kScreenFontBlocksOnly), 0x2660);
    EXPECT_EQ(screenCodeToUnicode(0x01, static_cast<Charset>(2), 0), 0);
}

TEST(ScreenCodes, ToCp437) {
    EXPECT_EQ(screenCodeToCp437(0x1C, Charset::upperGraphics), 0x9C);
    EXPECT_EQ(screenCodeToCp437(0x41, Charset::upperGraphics), 0x06);
    EXPECT_EQ(screenCodeToCp437(0x41, Charset::lowerUpper), 0x41);
    EXPECT_EQ(screenCodeToCp437(0x01, Charset::lowerUpper), 'a');
    EXPECT_EQ(screenCodeToCp437(0x31, Charset::upperGraphics), '1');
    EXPECT_EQ(screenCodeToCp437(0x5C, Charset::upperGraphics), 0);
    EXPECT_EQ(screenCodeToCp437(0x41, static_cast<Charset>(2)), 0);
}

// The graphics set's table is the lower/upper-case one with graphics in place of the letters.
TEST(ScreenCodes, Cp437TablesDifferOnlyWhereTheGraphicsAre) {
    for (std::size_t code = 0; code < 256; ++code) {
        const bool graphics = (code >= 0x41 && code <= 0x5A) || code == 0x5E || code == 0xD1 || code == 0xD7;
        if (!graphics) {
            EXPECT_EQ(g_screen_to_cp437_upper[code], g_screen_to_cp437_lower[code]) << code;
        }
    }
    EXPECT_EQ(g_screen_to_cp437_lower[0x41], kCp437FromUnicode);
    EXPECT_EQ(g_screen_to_cp437_upper[0xD7], 0x0A);
}

}  // namespace
}  // namespace platter
