#include "platter/petscii/token_escapes.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platter/petscii/token_table.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The bytes of a text, or nullopt when the conversion fails.
std::optional<Bytes> convert(std::string_view text, Charset mode = Charset::upperGraphics) {
    Bytes out;
    if (!escapedTextToPetscii(text, out, mode, false)) return std::nullopt;
    return out;
}

TEST(TokenEscapes, NamesInEitherCase) {
    EXPECT_EQ(convert("{clr}"), Bytes{0x93});
    EXPECT_EQ(convert("{CLR}"), Bytes{0x93});
    EXPECT_EQ(convert("{CTRL-A}"), Bytes{0x01});
    EXPECT_EQ(convert("{ctrl-a}"), std::nullopt);
    EXPECT_EQ(convert("{ct a}"), Bytes{0x01});
    EXPECT_EQ(convert("{cta}"), Bytes{0x01});
    EXPECT_EQ(convert("{c t a}"), Bytes{0x01});
    EXPECT_EQ(convert("{Sh A}"), Bytes{0xC1});
    EXPECT_EQ(convert("{no such key}"), std::nullopt);
}

TEST(TokenEscapes, ColoursNumbersAndHex) {
    EXPECT_EQ(convert("{c:2}"), Bytes{0x1C});
    EXPECT_EQ(convert("{C:15}"), Bytes{0x9B});
    EXPECT_EQ(convert("{c:16}"), std::nullopt);
    EXPECT_EQ(convert("{$0d0a}"), (Bytes{0x0D, 0x0A}));
    EXPECT_EQ(convert("{$93}"), Bytes{0x93});
    EXPECT_EQ(convert("{147}"), Bytes{0x93});
    EXPECT_EQ(convert("{0x41}"), Bytes{0x41});
    EXPECT_EQ(convert("{%101}"), Bytes{0x05});
    EXPECT_EQ(convert("{256}"), std::nullopt);
    EXPECT_EQ(convert("{5}"), Bytes{0x35});
    EXPECT_EQ(convert("{05}"), Bytes{0x05});
}

TEST(TokenEscapes, TildeForms) {
    EXPECT_EQ(convert("{~}"), Bytes{0xFF});
    EXPECT_EQ(convert("{~Ab}"), (Bytes{0xC1, 0x42}));
}

TEST(TokenEscapes, Repetition) {
    EXPECT_EQ(convert("{sh a*3}"), (Bytes{0xC1, 0xC1, 0xC1}));
    EXPECT_EQ(convert("{**3}"), (Bytes{0x2A, 0x2A, 0x2A}));
    EXPECT_EQ(convert("{sh **2}"), (Bytes{0xC0, 0xC0}));
    EXPECT_EQ(convert("{sh *}"), Bytes{0xC0});
    EXPECT_EQ(convert("{a*0}"), Bytes{});
    EXPECT_EQ(convert("{a*$10}")->size(), 16u);
    EXPECT_EQ(convert("{nope*2}"), std::nullopt);
    EXPECT_EQ(convert("{a*65535}")->size(), 65535u);
    EXPECT_EQ(convert("{a*65536}"), std::nullopt);
    EXPECT_EQ(convert("{a*99999999999}"), std::nullopt);
    EXPECT_EQ(convert("{a*999999999999999999999999}"), std::nullopt);
}

TEST(TokenEscapes, RepetitionOutputIsBounded) {
    // 65535 repetitions of a two-byte token exceed the output limit.
    EXPECT_EQ(convert("{$4142*65535}"), std::nullopt);
    Bytes out{0x01};
    EXPECT_FALSE(parseToken("$4142*65535", out, Charset::upperGraphics));
    EXPECT_EQ(out, Bytes{0x01});
}

TEST(TokenEscapes, RepetitionOfATokenWithoutBytes) {
    // Hex digits are optional in a '$' token; a long one repeated to the limit
    // still succeeds and adds nothing.
    const std::string token = "{$" + std::string(4000, 'z') + "*65535}";
    EXPECT_EQ(convert(token), Bytes{});
    EXPECT_EQ(convert("{$zzzz*0}"), Bytes{});
    EXPECT_EQ(convert("{*2}"), std::nullopt);
}

TEST(TokenEscapes, BracesOutsideTokens) {
    EXPECT_EQ(convert("A{"), Bytes{0x41});
    Bytes out;
    EXPECT_FALSE(escapedTextToPetscii("A}", out, Charset::upperGraphics, false));
    EXPECT_EQ(out, Bytes{0x41});
    EXPECT_EQ(convert("{{"), std::nullopt);
    EXPECT_EQ(convert("{}"), std::nullopt);
    EXPECT_EQ(convert("ab{red}c"), (Bytes{0xC1, 0xC2, 0x1C, 0xC3}));
    EXPECT_EQ(convert("ab", Charset::lowerUpper), (Bytes{0x41, 0x42}));
}

TEST(TokenEscapes, StrictSkipsRefusedCharacters) {
    Bytes out;
    EXPECT_TRUE(escapedTextToPetscii("a_b", out, Charset::lowerUpper, true));
    EXPECT_EQ(out, (Bytes{0x41, 0x42}));
    out.clear();
    EXPECT_TRUE(escapedTextToPetscii("a_b", out, Charset::lowerUpper, false));
    EXPECT_EQ(out, (Bytes{0x41, '_', 0x42}));
}

// Every listed name reaches its own code, spelled as listed.
TEST(TokenTable, EveryNameMapsToItsCode) {
    std::size_t entered = 0;
    for (const auto& record : tokenNameList()) {
        Bytes out;
        ASSERT_TRUE(parseToken(record.name, out, Charset::upperGraphics)) << record.name;
        EXPECT_EQ(out, Bytes{record.code}) << record.name;
        ++entered;
    }
    EXPECT_EQ(entered, 316u);
}

TEST(TokenTable, CodeNames) {
    // Codes without a name show as three digits, or not at all.
    EXPECT_EQ(tokenName(0x60), "096");
    EXPECT_EQ(tokenName(0xDE), "");
    EXPECT_EQ(tokenName(0xC1), "A");
    // Every shown name reads back as its code (one-letter names in the lower/upper-case set).
    for (int code = 0; code < 256; ++code) {
        const auto name = tokenName(static_cast<std::uint8_t>(code));
        if (name.empty()) continue;
        Bytes out;
        ASSERT_TRUE(parseToken(name, out, Charset::lowerUpper)) << name;
        EXPECT_EQ(out, Bytes{static_cast<std::uint8_t>(code)}) << name;
    }
}

}  // namespace
}  // namespace platter
