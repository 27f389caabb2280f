#include "platter/petscii/petscii_text.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "platter/petscii/petscii_substitutions.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string text(const Bytes& bytes, TextMode mode = TextMode::plain, bool keepCase = false, bool asciiOnly = false) {
    std::string out;
    petsciiToText(bytes, out, mode, false, keepCase, asciiOnly);
    return out;
}

TEST(PetsciiToText, LettersFollowTheLowerUpperSet) {
    EXPECT_EQ(text({0x48, 0x45, 0x4C, 0x4C, 0x4F}), "hello");
    EXPECT_EQ(text({0x48, 0x45, 0x4C, 0x4C, 0x4F}, TextMode::plain, true), "HELLO");
    EXPECT_EQ(text({0xC8, 0x49}), "Hi");
    EXPECT_EQ(text({0x61}), "A");
}

TEST(PetsciiToText, ControlCodes) {
    EXPECT_EQ(text({0x0D}), "\r\n");
    EXPECT_EQ(text({0x0D}, TextMode::plain, false, true), "?");
    EXPECT_EQ(text({0x09}), "\t");
    EXPECT_EQ(text({0x01}), "a");
    EXPECT_EQ(text({0x01}, TextMode::plain, true), "A");
    EXPECT_EQ(text({0x1C}), "\xA3");
    EXPECT_EQ(text({0x1E}), "\x91");
    EXPECT_EQ(text({0x1F}), "\x90");
}

TEST(PetsciiToText, ShiftedSpacesUnderscoreAndHighBytes) {
    EXPECT_EQ(text({0xA4}), "_");
    EXPECT_EQ(text({0xA0, 0xE0}), "  ");
    EXPECT_EQ(text({0x85, 0xB1}), "\x85\xB1");
    EXPECT_EQ(text({0x85, 0xB1, '}'}, TextMode::plain, false, true), "???");
    EXPECT_EQ(text({0xA4}, TextMode::plain, false, true), "_");
}

TEST(PetsciiToText, NameSafeModeDropsPunctuation) {
    const Bytes name{'A', '/', '*', '+', ',', '!', '#', '%', '(', ')', '-', '.', ' ', 'B'};
    EXPECT_EQ(text(name, TextMode::nameSafe), "a!#%()-. b");
    EXPECT_EQ(text(name), "a/*+,!#%()-. b");
}

TEST(PetsciiToText, SubstitutionsComeFirst) {
    g_petscii_substitutions = {{0x41, "<A>"}, {0x41, "second"}};
    std::string out;
    petsciiToText(Bytes{0x41, 0x42}, out, TextMode::plain, true, false, false);
    EXPECT_EQ(out, "<A>b");
    out.clear();
    petsciiToText(Bytes{0x41}, out, TextMode::plain, false, false, false);
    EXPECT_EQ(out, "a");
    g_petscii_substitutions.clear();
}

TEST(PetsciiNames, CutAtPadding) {
    const Bytes padded(16, 0xA0);
    EXPECT_EQ(petsciiNameToString(padded, false), "");
    const Bytes full{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q'};
    EXPECT_EQ(petsciiNameToString(full, false), "abcdefghijklmnop");  // 16 of 17 bytes
    EXPECT_EQ(petsciiNameToAscii(Bytes{'G', 0xA0, 'X'}, false), "g");
    EXPECT_EQ(petsciiNameToAscii(Bytes{0xB1}, true), "?");
}

TEST(PetsciiNames, HostSafeNamesCannotEscapeTheirDirectory) {
    EXPECT_EQ(petsciiNameToString(Bytes{'A', '?', '"', '\\', '<', '>', '|', ':', 'B'}, true), "ab");
    EXPECT_EQ(petsciiNameToString(Bytes{'.', '.', '/', 'X'}, true), "..x");
    EXPECT_EQ(petsciiNameToString(Bytes{'.', '.'}, true), "_..");
    EXPECT_EQ(petsciiNameToString(Bytes{'.'}, true), "_.");
    EXPECT_EQ(petsciiNameToString(Bytes{'*', '?'}, true), "_");
    EXPECT_EQ(petsciiNameToString(Bytes{0xA0}, true), "_");
    EXPECT_EQ(petsciiNameToString(Bytes{'A', 0x0D, 0x09, 0x85, 'B'}, true), "ab");
    EXPECT_EQ(petsciiNameToString(Bytes{'.', '.'}, false), "..");
}

TEST(PetsciiNames, Utf8EncodesLatin1) { EXPECT_EQ(petsciiNameToUtf8(Bytes{'A', 0xA1}, false), "a\xC2\xA1"); }

TEST(PetsciiToAscii, StrictRules) {
    struct Case {
        std::uint8_t c;
        Charset mode;
        bool ok;
        std::uint8_t out;
    };
    constexpr auto upper = Charset::upperGraphics;
    constexpr auto lower = Charset::lowerUpper;
    for (const Case& k : {Case{0xA4, upper, false, '_'}, Case{0xE0, lower, true, ' '}, Case{141, lower, true, '\n'},
                          Case{0x41, upper, true, 'A'}, Case{0x41, lower, true, 'a'}, Case{0x61, upper, false, 0x61},
                          Case{0x61, lower, true, 'A'}, Case{0xDA, lower, true, 'Z'}, Case{']', upper, true, ']'},
                          Case{0x5C, upper, false, 0x5C}, Case{0x93, lower, false, 0x93}}) {
        std::uint8_t out = 0;
        EXPECT_EQ(petsciiToAscii(k.c, out, k.mode, true), k.ok) << int{k.c};
        EXPECT_EQ(out, k.out) << int{k.c};
        EXPECT_TRUE(petsciiToAscii(k.c, out, k.mode, false)) << int{k.c};
    }
}

}  // namespace
}  // namespace platter
