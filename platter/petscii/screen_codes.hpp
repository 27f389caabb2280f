#pragma once

#include <cstdint>

#include "platter/petscii/charset.hpp"

namespace platter {

// screenCodeToUnicode flags: take the font's glyph (0xEE00/0xEF00 + code)
// instead of the table entry ...
inline constexpr std::uint32_t kScreenFontGlyphs = 0x4;
// ... but only for table entries in U+2500-U+259F (box drawing and blocks).
inline constexpr std::uint32_t kScreenFontBlocksOnly = 0x10;

// Code point of a screen code in the set's table; a mode other than the two
// sets gives 0.
std::uint16_t screenCodeToUnicode(std::uint8_t code, Charset mode, std::uint32_t flags);

// The same lookup under the name the renderers use.
inline std::uint16_t petsciiToUnicode(std::uint8_t code, Charset mode, std::uint32_t flags) {
    return screenCodeToUnicode(code, mode, flags);
}

// Code page 437 byte of a screen code; 0 when there is none.
std::uint8_t screenCodeToCp437(std::uint8_t code, Charset mode);

// PETSCII byte to screen code. Control codes give their reverse-video glyph
// and return false; printable bytes return true (reverse adds 0x80).
bool petsciiToScreenCode(std::uint8_t c, std::uint8_t& out, bool reverse);

// 0x20-0x7E and the shifted spaces 0xA0 and 0xE0.
bool isPrintablePetscii(std::uint8_t c);

}  // namespace platter
