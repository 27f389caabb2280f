#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platter/petscii/charset.hpp"

namespace platter {

// The table code point of one PETSCII byte in the given set.
std::uint16_t petsciiCharToUnicode(std::uint8_t c, Charset set);

// One UTF-16 unit per byte from the set's table; with glyphControls the
// control codes take the font's control glyphs instead.
std::u16string petsciiToUtf16(std::span<const std::uint8_t> bytes, Charset set, bool glyphControls);

// Every byte taken as a Latin-1 code point, encoded as UTF-8.
std::string latin1ToUtf8(std::string_view bytes);

}  // namespace platter
