// Every byte value in both sets, and random short buffers, through the
// conversions and readers: under the sanitizer build nothing may read out of bounds.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "forge/strings.hpp"
#include "platter/petscii/ascii_to_petscii.hpp"
#include "platter/petscii/byte_readers.hpp"
#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/csv_field.hpp"
#include "platter/petscii/glyph_code_points.hpp"
#include "platter/petscii/petscii_screen.hpp"
#include "platter/petscii/petscii_text.hpp"
#include "platter/petscii/petscii_unicode.hpp"
#include "platter/petscii/petscii_word.hpp"
#include "platter/petscii/screen_codes.hpp"
#include "platter/petscii/text_to_petscii.hpp"
#include "platter/petscii/token_escapes.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(HostileInput, EveryByteInBothSets) {
    for (Charset set : {Charset::upperGraphics, Charset::lowerUpper}) {
        for (int value = 0; value < 256; ++value) {
            const auto c = static_cast<std::uint8_t>(value);
            std::uint8_t out = 0;
            petsciiToAscii(c, out, set, true);
            asciiToPetsciiChar(c, out, set, true);
            const bool printable = petsciiToScreenCode(c, out, false);
            EXPECT_EQ(printable, (c & 0x60) != 0) << value;
            const std::uint16_t unicode = screenCodeToUnicode(c, set, kScreenFontGlyphs | kScreenFontBlocksOnly);
            EXPECT_NE(unicode, 0) << value;
            screenCodeToCp437(c, set);
            EXPECT_GE(glyphCodePoint(c, set, true), 0xE200);
            asciiCharToPetscii(c, set);
            forge::charToPetscii(c, set, false);
            std::string utf8;
            forge::appendUtf8(petsciiCharToUnicode(c, set), utf8);
            EXPECT_FALSE(utf8.empty());
            std::string text;
            petsciiToText(Bytes{c}, text, TextMode::nameSafe, true, false, true);
            for (char ch : text) EXPECT_LT(static_cast<unsigned char>(ch), 0x80) << value;
            const std::string host = petsciiNameToString(Bytes{c, c}, true);
            EXPECT_FALSE(host.empty());
            EXPECT_EQ(host.find_first_of("/\\:\r\n"), std::string::npos) << value;
        }
    }
}

TEST(HostileInput, RandomShortBuffers) {
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        Bytes data(random() % 24);
        for (auto& b : data) b = static_cast<std::uint8_t>(random());
        const std::span<const std::uint8_t> view(data);

        std::string text;
        petsciiToText(view, text, TextMode::plain, true, true, false);
        petsciiNameToUtf8(view, round % 2 == 0);
        nameExtension(view);
        petsciiToCsvField(view, false);
        petsciiToUtf16(view, Charset::lowerUpper, true);
        measurePetsciiWord(view, round % 3 == 0);

        std::size_t cursor = 0;
        Bytes line;
        std::uint32_t number = 0;
        while (readLine(line, view, cursor) >= 0) ++cursor;
        cursor = 0;
        while (readVarint(view, cursor)) {}
        EXPECT_LE(cursor, data.size());
        cursor = 0;
        while (readNumber(number, view, cursor) > 0) skipPast(13, view, cursor);
        EXPECT_LE(cursor, data.size());

        PetsciiScreen screen(40, 25, 14, round % 2 == 0);
        screen.setData(view).interpret();
        for (const auto& row : screen.rows()) EXPECT_TRUE(row.skip == 0 || row.cells.empty());

        const std::string escaped(data.begin(), data.end());
        Bytes petscii;
        escapedTextToPetscii(escaped, petscii, Charset::upperGraphics, false);
    }
}

}  // namespace
}  // namespace platter
