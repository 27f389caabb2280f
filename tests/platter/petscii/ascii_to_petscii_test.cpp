#include "platter/petscii/ascii_to_petscii.hpp"

#include <gtest/gtest.h>

#include "platter/petscii/petscii_text.hpp"
#include "platter/petscii/text_to_petscii.hpp"

namespace platter {
namespace {

TEST(AsciiToPetscii, TableFamily) {
    std::vector<std::uint8_t> out;
    asciiToPetscii("Ab_\n\x01", out, Charset::lowerUpper);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x61, 0x42, 0xA4, 13, 0x01}));
    EXPECT_EQ(asciiCharToPetscii('a', Charset::upperGraphics), 0x81);
    EXPECT_EQ(asciiCharToPetscii('A', Charset::upperGraphics), 0x41);
    EXPECT_EQ(asciiCharToPetsciiCase('a', false), 'A');
    EXPECT_EQ(asciiCharToPetsciiCase('a', true), 'a');
    EXPECT_EQ(asciiCharToPetsciiCase('_', false), 0xA4);
    EXPECT_EQ(asciiCharToPetsciiCase('\n', false), 13);
    EXPECT_EQ(asciiCharToPetsciiCase('1', false), '1');
}

TEST(AsciiToPetsciiChar, StrictFamily) {
    struct Case {
        std::uint8_t c;
        Charset mode;
        bool ok;
        std::uint8_t out;
    };
    constexpr auto upper = Charset::upperGraphics;
    constexpr auto lower = Charset::lowerUpper;
    for (const Case& k : {Case{8, upper, true, 20}, Case{10, upper, true, 13}, Case{'a', upper, true, 0xC1},
                          Case{'a', lower, true, 0x41}, Case{'A', lower, true, 0xC1}, Case{'A', upper, true, 'A'},
                          Case{'_', lower, false, '_'}, Case{127, lower, false, 127}, Case{1, lower, false, 1}}) {
        std::uint8_t out = 0;
        EXPECT_EQ(asciiToPetsciiChar(k.c, out, k.mode, true), k.ok) << int{k.c};
        EXPECT_EQ(out, k.out) << int{k.c};
        EXPECT_TRUE(asciiToPetsciiChar(k.c, out, k.mode, false)) << int{k.c};
    }
    std::string text;
    EXPECT_FALSE(asciiStringToPetscii("a^b", text, lower, true));
    EXPECT_EQ(text, "A^B");
}

// Printable ASCII survives the way to PETSCII and back; the graphics set has
// no small letters, so those come back refused.
TEST(AsciiToPetsciiChar, RoundTripsPrintableText) {
    for (Charset set : {Charset::upperGraphics, Charset::lowerUpper}) {
        for (int c = 0x20; c < 0x7F; ++c) {
            std::uint8_t petscii = 0;
            if (!asciiToPetsciiChar(static_cast<std::uint8_t>(c), petscii, set, true)) continue;
            std::uint8_t back = 0;
            const bool smallLetter = c >= 'a' && c <= 'z';
            if (set == Charset::upperGraphics && smallLetter) {
                EXPECT_FALSE(petsciiToAscii(petscii, back, set, true)) << c;
            } else {
                EXPECT_TRUE(petsciiToAscii(petscii, back, set, true)) << c;
                EXPECT_EQ(back, c);
            }
        }
    }
}

TEST(ForgeCharToPetscii, LowerUpperSetIsModeZero) {
    EXPECT_EQ(forge::charToPetscii('a', Charset::lowerUpper, false), (0x41u << 8) | 1);
    EXPECT_EQ(forge::charToPetscii('A', Charset::lowerUpper, false), (0xC1u << 8) | 1);
    EXPECT_EQ(forge::charToPetscii('A', Charset::upperGraphics, false), (0x41u << 8) | 1);
    EXPECT_EQ(forge::charToPetscii('a', Charset::upperGraphics, false), 0x61u << 8);
    EXPECT_EQ(forge::charToPetscii('a', Charset::upperGraphics, true), (0x61u << 8) | 1);
    EXPECT_EQ(forge::charToPetscii('_', Charset::lowerUpper, false), (0xA4u << 8) | 1);
    EXPECT_EQ(forge::charToPetscii('`', Charset::lowerUpper, false), (0x5Fu << 8) | 1);
    EXPECT_EQ(forge::charToPetscii(127, Charset::lowerUpper, false), (0x14u << 8) | 1);
    EXPECT_EQ(forge::charToPetscii('\n', Charset::lowerUpper, false), (13u << 8) | 1);
    EXPECT_EQ(forge::charToPetscii('\\', Charset::lowerUpper, false), ('\\' << 8) | 1u);
    EXPECT_EQ(forge::charToPetscii('~', Charset::lowerUpper, false), '~' << 8);
    EXPECT_EQ(forge::charToPetscii(0x01, Charset::lowerUpper, false), 0x01u << 8);
}

TEST(ForgeTextToPetscii, RefusalEmptiesTheResult) {
    EXPECT_TRUE(forge::textToPetscii("a{b", Charset::lowerUpper, false).empty());
    EXPECT_EQ(forge::textToPetscii("a{b", Charset::lowerUpper, true), (std::vector<std::uint8_t>{0x41, '{', 0x42}));
    EXPECT_EQ(forge::textToPetscii("Go", Charset::lowerUpper, false), (std::vector<std::uint8_t>{0xC7, 0x4F}));
}

}  // namespace
}  // namespace platter
