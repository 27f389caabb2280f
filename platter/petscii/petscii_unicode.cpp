#include "platter/petscii/petscii_unicode.hpp"

#include "forge/strings.hpp"
#include "platter/petscii/petscii_tables.hpp"

namespace platter {

namespace {

const std::array<std::uint16_t, 256>& unicodeTable(Charset set) {
    return set == Charset::upperGraphics ? g_petscii_to_unicode_upper : g_petscii_to_unicode_lower;
}

}  // namespace

std::uint16_t petsciiCharToUnicode(std::uint8_t c, Charset set) { return unicodeTable(set)[c]; }

std::u16string petsciiToUtf16(std::span<const std::uint8_t> bytes, Charset set, bool glyphControls) {
    const auto& table = unicodeTable(set);
    const bool upper = set == Charset::upperGraphics;
    std::u16string out;
    out.reserve(bytes.size());
    for (std::uint8_t c : bytes) {
        std::uint16_t unit = table[c];
        if (glyphControls && c < 0x20) {
            unit = static_cast<std::uint16_t>((upper ? 0xE240 : 0xE340) + c);
        } else if (glyphControls && c >= 0x80 && c <= 0x9F) {
            unit = static_cast<std::uint16_t>((upper ? 0xEEC0 : 0xEFC0) + (c - 0x80));
        }
        out += static_cast<char16_t>(unit);
    }
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) forge::appendUtf8(static_cast<std::uint8_t>(c), out);
    return out;
}

}  // namespace platter
