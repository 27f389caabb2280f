#include "forge/strings.hpp"

#include <gtest/gtest.h>

#include <clocale>

namespace {

using Pieces = std::vector<std::string>;

TEST(Strings, ExpandTemplate) {
    const std::map<std::string, std::string> values = {{"title", "GAME"}, {"x", "{^title^}"}};
    EXPECT_EQ(forge::expandTemplate("<h1>{^title^}</h1>", values), "<h1>GAME</h1>");
    EXPECT_EQ(forge::expandTemplate("a{^nope^}b", values), "ab");
    EXPECT_EQ(forge::expandTemplate("a{^nope^}b", values, true), "a{^nope^}b");
    EXPECT_EQ(forge::expandTemplate("{^x^}", values), "{^title^}");  // values are not rescanned
    EXPECT_EQ(forge::expandTemplate("{^title^} {^title", values), "GAME {^title");
}

TEST(Strings, ReplaceCaseAndTrim) {
    EXPECT_EQ(forge::replaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(forge::replaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(forge::toUpper("game\xa0"), "GAME\xa0");
    std::string text = "  \t mixed \n";
    forge::trimLeft(text);
    EXPECT_EQ(text, "mixed \n");
    EXPECT_EQ(forge::trim(" \t mixed Text \n"), "mixed Text");
}

TEST(Strings, Split) {
    EXPECT_EQ(forge::split(",a,,b,", ','), (Pieces{"a", "b"}));
    EXPECT_EQ(forge::split(",a,,b,", ',', true), (Pieces{"", "a", "", "b", ""}));
    EXPECT_EQ(forge::split("", ',', true), Pieces{});
}

TEST(Strings, WildcardMatch) {
    EXPECT_TRUE(forge::wildcardMatch("game.prg", "*.prg"));
    EXPECT_FALSE(forge::wildcardMatch("game.prg2", "*.prg"));
    EXPECT_TRUE(forge::wildcardMatch("x", "?"));
    EXPECT_FALSE(forge::wildcardMatch("xy", "?"));
    EXPECT_TRUE(forge::wildcardMatch("", "**"));
    EXPECT_TRUE(forge::wildcardMatch("", ""));
    EXPECT_FALSE(forge::wildcardMatch("a", ""));
    EXPECT_TRUE(forge::wildcardMatch("mississippi", "m*iss*?pi"));  // needs backtracking
    EXPECT_FALSE(forge::wildcardMatch("mississippi", "m*iss*?x"));

    const std::string text(4000, 'a');  // must finish quickly, not explode
    std::string pattern;
    for (int i = 0; i < 200; ++i) pattern += "*a";
    EXPECT_FALSE(forge::wildcardMatch(text, pattern + "b"));
    EXPECT_TRUE(forge::wildcardMatch(text, pattern));
}

TEST(Strings, FormatAndPlural) {
    EXPECT_EQ(forge::format("%s-%03d %%", "x", 7), "x-007 %");
    EXPECT_EQ(forge::plural("s", 0) + forge::plural("s", 1) + forge::plural("es", 2), "ses");
}

TEST(Strings, NumberRuns) {
    const std::vector<std::uint64_t> numbers = {0, 1, 2, 5, 7, 8};
    EXPECT_EQ(forge::numberRuns(numbers), "0-2, 5 and 7-8");
    EXPECT_EQ(forge::numberRuns(std::vector<std::uint64_t>{35}), "35");
    EXPECT_EQ(forge::numberRuns(std::vector<std::uint64_t>{2, 3, 19}), "2-3 and 19");
    EXPECT_EQ(forge::numberRuns({}), "");
}

TEST(Strings, Utf8AndDisplayWidth) {
    // Every length's first and last code point; surrogates and values past U+10FFFF give U+FFFD.
    const std::vector<std::pair<char32_t, std::string>> encoded = {
        {0x0, std::string(1, '\0')},
        {0x7F, "\x7f"},
        {0x80, "\xc2\x80"},
        {0x7FF, "\xdf\xbf"},
        {0x800, "\xe0\xa0\x80"},
        {0xFFFF, "\xef\xbf\xbf"},
        {0x10000, "\xf0\x90\x80\x80"},
        {0x10FFFF, "\xf4\x8f\xbf\xbf"},
        {0xD800, "\xef\xbf\xbd"},
        {0xDFFF, "\xef\xbf\xbd"},
        {0x110000, "\xef\xbf\xbd"},
        {0xFFFFFFFF, "\xef\xbf\xbd"},
    };
    for (const auto& [codePoint, bytes] : encoded) {
        std::string out = "x";
        forge::appendUtf8(codePoint, out);
        EXPECT_EQ(out, "x" + bytes) << std::hex << std::uint32_t{codePoint};
    }
    // Whatever is a character comes back from the decoder as it went in.
    std::string all;
    std::u32string expected;
    for (char32_t codePoint = 0x80; codePoint <= 0x10FFFF; codePoint += 0x7F) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) continue;
        forge::appendUtf8(codePoint, all);
        expected += codePoint;
    }
    EXPECT_EQ(forge::decodeUtf8(all), expected);

    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
    EXPECT_EQ(forge::displayWidth("\xc3\xa9"), 1u);
    EXPECT_EQ(forge::displayWidth("\xe6\xbc\xa2x"), 3u);  // a CJK character takes two columns
    EXPECT_EQ(forge::displayWidth("a\xff"
                                  "b\xc3"),
              2u);                                               // invalid and cut-off bytes count 0
    EXPECT_EQ(forge::displayWidth(std::string("a\0b", 3)), 2u);  // NUL does not end the walk
    std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(Strings, DecodeUtf8) {
    EXPECT_EQ(forge::decodeUtf8("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), U"a\u00e9\u20ac\U0001F600");
    // Stray, cut-off, overlong and surrogate sequences stand for their bytes.
    EXPECT_EQ(forge::decodeUtf8("\xe9t\xc3"), U"\u00e9t\u00c3");
    EXPECT_EQ(forge::decodeUtf8("\xc0\xaf"), U"\u00c0\u00af");
    EXPECT_EQ(forge::decodeUtf8("\xed\xa0\x80"), U"\u00ed\u00a0\u0080");
}

}  // namespace
