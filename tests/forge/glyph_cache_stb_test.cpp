#include "forge/glyph_cache_stb.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "forge/font/tessel_mono.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes embeddedFont() { return Bytes(g_font_ttf, g_font_ttf + g_font_ttf_size); }

// The code points every part of the program may ask the font for.
std::vector<std::uint32_t> privateUseCodePoints() {
    std::vector<std::uint32_t> codePoints;
    for (std::uint32_t c = 0xE000; c < 0xE400; ++c) {
        codePoints.push_back(c);
    }
    for (std::uint32_t c = 0xEE00; c < 0xF000; ++c) {
        codePoints.push_back(c);
    }
    return codePoints;
}

// Standard code points of the PETSCII and screen-code tables.
std::vector<std::uint32_t> standardCodePoints() {
    std::vector<std::uint32_t> codePoints;
    for (std::uint32_t c = 0x20; c <= 0x5D; ++c) {
        if (c != 0x5C) {
            codePoints.push_back(c);
        }
    }
    for (std::uint32_t c = 'a'; c <= 'z'; ++c) {
        codePoints.push_back(c);
    }
    codePoints.insert(
        codePoints.end(),
        {0x00A0, 0x00A3, 0x03C0, 0x2022, 0x2190, 0x2191, 0x2500, 0x2501, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518,
         0x251C, 0x2524, 0x2525, 0x252C, 0x2534, 0x253C, 0x256D, 0x256E, 0x256F, 0x2570, 0x2571, 0x2572, 0x2573,
         0x2580, 0x2581, 0x2582, 0x2583, 0x2584, 0x2585, 0x2586, 0x2587, 0x2588, 0x258A, 0x258B, 0x258C, 0x258D,
         0x258E, 0x2590, 0x2592, 0x2594, 0x2596, 0x2597, 0x2598, 0x2599, 0x259A, 0x259B, 0x259C, 0x259D, 0x259E,
         0x259F, 0x25CB, 0x25CF, 0x25D8, 0x25D9, 0x25E3, 0x25E4, 0x25E5, 0x2660, 0x2663, 0x2665, 0x2666, 0x2713});
    return codePoints;
}

class EmbeddedFont : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(cache.setFont(embeddedFont())); }
    forge::GlyphCacheStb cache;
};

// Rows of an 8 x 8 glyph drawn at `scale` pixels per font pixel.
Bytes enlarged(const std::vector<std::uint8_t>& rows, std::size_t scale) {
    Bytes cell;
    for (const std::uint8_t bits : rows) {
        for (std::size_t copy = 0; copy < scale; ++copy) {
            for (int x = 0; x < 8; ++x) {
                cell.insert(cell.end(), scale, (bits & (0x80 >> x)) ? 255 : 0);
            }
        }
    }
    return cell;
}

Bytes inverse(Bytes bitmap) {
    for (auto& coverage : bitmap) {
        coverage = static_cast<std::uint8_t>(255 - coverage);
    }
    return bitmap;
}

TEST_F(EmbeddedFont, SameKeySharesOneBitmapUntilTheFontChanges) {
    const forge::glyph_bitmap_t first = cache.glyph(0xE041, 16);
    EXPECT_EQ(cache.glyph(0xE041, 16), first);
    EXPECT_NE(cache.glyph(0xE041, 8), first);
    EXPECT_EQ(cache.glyph(0xE041, 8)->size(), 64u);
    ASSERT_TRUE(cache.setFont(embeddedFont()));
    const forge::glyph_bitmap_t again = cache.glyph(0xE041, 16);
    EXPECT_NE(again, first);
    EXPECT_EQ(*again, *first);
}

TEST_F(EmbeddedFont, CellsAreSquareAndCrispAtMultiplesOfEight) {
    const auto codePoints = privateUseCodePoints();
    for (const std::uint16_t height : {std::uint16_t{8}, std::uint16_t{16}, std::uint16_t{24}, std::uint16_t{32}}) {
        ASSERT_EQ(cache.cellWidth(height), height);
        for (const std::uint32_t c : codePoints) {
            const forge::glyph_bitmap_t bitmap = cache.glyph(c, height);
            ASSERT_EQ(bitmap->size(), std::size_t{height} * height) << std::hex << c;
            ASSERT_TRUE(std::all_of(bitmap->begin(), bitmap->end(), [](std::uint8_t v) { return v == 0 || v == 255; }))
                << std::hex << c << " at " << std::dec << height;
        }
    }
}

TEST_F(EmbeddedFont, DrawsTheCommodoreGlyphs) {
    EXPECT_EQ(*cache.glyph(0xE041, 16), enlarged({0x18, 0x3C, 0x66, 0x7E, 0x66, 0x66, 0x66, 0x00}, 2));
    EXPECT_EQ(*cache.glyph(0xEE00, 8), enlarged({0x3C, 0x66, 0x6E, 0x6E, 0x60, 0x62, 0x3C, 0x00}, 1));
    EXPECT_EQ(*cache.glyph(0xE141, 8), enlarged({0x00, 0x00, 0x3C, 0x06, 0x3E, 0x66, 0x3E, 0x00}, 1));
    EXPECT_EQ(*cache.glyph(0xE061, 8), enlarged({0x08, 0x1C, 0x3E, 0x7F, 0x7F, 0x1C, 0x3E, 0x00}, 1));
    EXPECT_EQ(*cache.glyph(0xE220, 16), Bytes(256, 255));
    EXPECT_EQ(*cache.glyph(0xE020, 16), Bytes(256, 0));
    EXPECT_EQ(*cache.glyph(0xEEC5, 16), inverse(*cache.glyph(0xEE45, 16)));
    // Control codes show the reverse of their letter, as in quote mode.
    EXPECT_EQ(*cache.glyph(0xE005, 8), inverse(*cache.glyph(0xE045, 8)));
}

TEST_F(EmbeddedFont, ReverseGlyphsAreInverseCells) {
    for (std::uint32_t c = 0; c < 0x200; ++c) {
        ASSERT_EQ(*cache.glyph(0xE200 + c, 8), inverse(*cache.glyph(0xE000 + c, 8))) << std::hex << c;
    }
    for (std::uint32_t c = 0; c < 0x80; ++c) {
        ASSERT_EQ(*cache.glyph(0xEE80 + c, 8), inverse(*cache.glyph(0xEE00 + c, 8))) << std::hex << c;
        ASSERT_EQ(*cache.glyph(0xEF80 + c, 8), inverse(*cache.glyph(0xEF00 + c, 8))) << std::hex << c;
    }
}

TEST_F(EmbeddedFont, EveryTableCodePointHasItsOwnGlyph) {
    // Code points the font lacks draw its .notdef box.
    const Bytes missing = *cache.glyph(0xFFFF, 8);
    ASSERT_NE(missing, Bytes(64, 0));
    auto codePoints = privateUseCodePoints();
    const auto standard = standardCodePoints();
    codePoints.insert(codePoints.end(), standard.begin(), standard.end());
    for (const std::uint32_t c : codePoints) {
        EXPECT_NE(*cache.glyph(c, 8), missing) << std::hex << c;
    }
    EXPECT_EQ(*cache.glyph(0x2022, 8), *cache.glyph(0xEE51, 8)) << "the ball of the screen table";
    EXPECT_EQ(*cache.glyph(0x2592, 8), *cache.glyph(0xEE66, 8));
}

TEST_F(EmbeddedFont, EveryHeightStaysInsideItsCell) {
    // Heights that are not multiples of 8 round glyph boxes past the cell.
    const auto codePoints = privateUseCodePoints();
    for (std::uint16_t height = 1; height <= 64; ++height) {
        const std::uint32_t width = cache.cellWidth(height);
        for (std::size_t i = 0; i < codePoints.size(); i += (height % 8 == 0 ? 1u : 7u)) {
            ASSERT_EQ(cache.glyph(codePoints[i], height)->size(), std::size_t{width} * height);
        }
    }
    EXPECT_EQ(cache.glyph(0xE041, 0)->size(), 0u);
}

TEST(GlyphCacheStb, WithoutAFontCellsAreBlank) {
    forge::GlyphCacheStb cache;
    EXPECT_EQ(cache.cellWidth(16), 16u);
    EXPECT_EQ(*cache.glyph(0xE041, 16), Bytes(256, 0));
}

TEST(GlyphCacheStb, RefusesBrokenFonts) {
    forge::GlyphCacheStb cache;
    EXPECT_FALSE(cache.setFont({}));
    EXPECT_FALSE(cache.setFont(Bytes(4096, 0x5A)));

    Bytes truncated = embeddedFont();
    truncated.resize(truncated.size() / 2);
    EXPECT_FALSE(cache.setFont(truncated));

    // The first table record's offset pointed past the end.
    Bytes badDirectory = embeddedFont();
    badDirectory[12 + 8] = 0x7F;
    EXPECT_FALSE(cache.setFont(badDirectory));

    ASSERT_TRUE(cache.setFont(embeddedFont()));
    ASSERT_NE(*cache.glyph(0xE041, 8), Bytes(64, 0));
}

TEST(GlyphCacheStb, RefusesAFontWithoutHeight) {
    Bytes font = embeddedFont();
    // Zero the hhea ascent and descent, bytes 4 to 7 of the table.
    const std::string tag = "hhea";
    const auto record = std::search(font.begin() + 12, font.begin() + 12 + 16 * font[5], tag.begin(), tag.end());
    ASSERT_EQ((record - font.begin() - 12) % 16, 0);
    const std::size_t offset = std::size_t{record[10]} << 8 | record[11];
    std::fill_n(font.data() + offset + 4, 4, 0);
    forge::GlyphCacheStb cache;
    EXPECT_FALSE(cache.setFont(font));
    EXPECT_EQ(*cache.glyph(0xE041, 8), Bytes(64, 0)) << "a refused font leaves no font";
}

}  // namespace
