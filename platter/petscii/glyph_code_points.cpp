#include "platter/petscii/glyph_code_points.hpp"

namespace platter {

std::uint16_t glyphCodePoint(std::uint8_t c, Charset mode, bool reverse) {
    std::uint16_t codePoint = static_cast<std::uint16_t>(0xE000 + c);
    if (mode == Charset::lowerUpper) codePoint += 0x100;
    if (reverse) codePoint += 0x200;
    return codePoint;
}

std::uint16_t fontCodePoint(std::uint8_t c, Charset set) {
    return static_cast<std::uint16_t>((set == Charset::upperGraphics ? 0xEE00 : 0xEF00) + c);
}

std::uint16_t petsciiGlyphCodePoint(std::uint8_t c, Charset set, bool reverse) {
    const unsigned base = set == Charset::upperGraphics ? 0xE000 : 0xE100;
    unsigned offset = reverse ? 0x200 : 0;
    if (c < 0x20) {
        offset = reverse ? 0x40 : 0x240;
    } else if (c >= 0x80 && c <= 0x9F) {
        offset = reverse ? 0xDC0 : 0xE40;
    } else if (c >= 0xC0 && c <= 0xDF) {
        offset = 0xD80;
    }
    return static_cast<std::uint16_t>(base + offset + c);
}

std::u16string petsciiToGlyphCodePoints(std::span<const std::uint8_t> bytes, Charset set) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::uint8_t c : bytes) out += static_cast<char16_t>(petsciiGlyphCodePoint(c, set, false));
    return out;
}

std::uint16_t glyphCodePointToPetscii(std::uint16_t codePoint) {
    if (codePoint >= 0xE240 && codePoint <= 0xE3FF) codePoint -= 0x240;
    if (codePoint >= 0xE000 && codePoint <= 0xE1FF) return codePoint & 0xFF;
    if (codePoint >= 0xEE40 && codePoint <= 0xEE5F) return static_cast<std::uint16_t>(codePoint - 0xEE40 + 0xC0);
    if (codePoint >= 0xEEC0 && codePoint <= 0xEEDF) return static_cast<std::uint16_t>(codePoint - 0xEEC0 + 0x80);
    return codePoint;
}

}  // namespace platter
