#include "platter/petscii/screen_codes.hpp"

#include "platter/petscii/petscii_tables.hpp"

namespace platter {

std::uint16_t screenCodeToUnicode(std::uint8_t code, Charset mode, std::uint32_t flags) {
    std::uint16_t codePoint = 0;
    std::uint16_t fontBase = 0;
    switch (mode) {
        case Charset::upperGraphics:
            codePoint = g_screen_to_unicode_upper[code];
            fontBase = 0xEE00;
            break;
        case Charset::lowerUpper:
            codePoint = g_screen_to_unicode_lower[code];
            fontBase = 0xEF00;
            break;
        default: return 0;
    }
    if ((flags & kScreenFontGlyphs) != 0) {
        const bool isBlock = codePoint >= 0x2500 && codePoint <= 0x259F;
        if ((flags & kScreenFontBlocksOnly) == 0 || isBlock) {
            codePoint = static_cast<std::uint16_t>(fontBase + code);
        }
    }
    return codePoint;
}

std::uint8_t screenCodeToCp437(std::uint8_t code, Charset mode) {
    std::uint16_t entry = 0;
    switch (mode) {
        case Charset::upperGraphics: entry = g_screen_to_cp437_upper[code]; break;
        case Charset::lowerUpper: entry = g_screen_to_cp437_lower[code]; break;
        default: return 0;
    }
    if (entry == kCp437FromUnicode) return static_cast<std::uint8_t>(screenCodeToUnicode(code, mode, 0) & 0xFF);
    return static_cast<std::uint8_t>(entry);
}

bool petsciiToScreenCode(std::uint8_t c, std::uint8_t& out, bool reverse) {
    if ((c & 0x60) == 0) {
        out = static_cast<std::uint8_t>(0x80 | (c & 0x1F) | ((c >> 1) & 0x40));
        return false;
    }
    if (c == 0xFF) {
        out = 0x5E;
    } else if (c < 0x60) {
        out = c & 0x3F;
    } else if (c < 0x80) {
        out = c & 0x5F;
    } else {
        out = (c & 0x3F) | 0x40;
    }
    if (reverse) out |= 0x80;
    return true;
}

bool isPrintablePetscii(std::uint8_t c) { return (c >= 0x20 && c <= 0x7E) || c == 0xA0 || c == 0xE0; }

}  // namespace platter
