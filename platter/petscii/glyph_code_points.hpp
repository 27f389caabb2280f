#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platter/petscii/charset.hpp"

namespace platter {

// Code point of the embedded font's glyph for a PETSCII position byte:
// 0xE000 + c, + 0x100 in the lower/upper-case set, + 0x200 in reverse video.
std::uint16_t glyphCodePoint(std::uint8_t c, Charset mode, bool reverse);

// Glyph of a raw character-generator byte: 0xEE00 + c (upper-case/graphics)
// or 0xEF00 + c (lower/upper-case).
std::uint16_t fontCodePoint(std::uint8_t c, Charset set);

// Font code point that shows one PETSCII byte, in normal or reverse video:
// control codes take the reversed glyph of the character 0x40 above them
// (its plain glyph in reverse), the shifted letters 0xC0-0xDF their own range.
std::uint16_t petsciiGlyphCodePoint(std::uint8_t c, Charset set, bool reverse);

// One font code point per PETSCII byte (control codes and the shifted letters
// 0xC0-0xDF take their own glyph ranges).
std::u16string petsciiToGlyphCodePoints(std::span<const std::uint8_t> bytes, Charset set);

// Inverse of petsciiToGlyphCodePoints for the upper-case/graphics set and for
// the plain lower/upper-case glyphs; any other code point comes back unchanged.
std::uint16_t glyphCodePointToPetscii(std::uint16_t codePoint);

}  // namespace platter
