#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platter/petscii/charset.hpp"

namespace platter {

// Appends one PETSCII byte per host byte: '\n' -> 13, '_' -> 0xA4, other bytes
// below 0x20 unchanged, the rest through the set's host-to-PETSCII table.
void asciiToPetscii(std::string_view text, std::vector<std::uint8_t>& out, Charset set);
std::uint8_t asciiCharToPetscii(std::uint8_t c, Charset set);

// A letter gets its case bit flipped unless keepCase; '\n' -> 13, '_' -> 0xA4.
std::uint8_t asciiCharToPetsciiCase(std::uint8_t c, bool keepCase);

// Strict host-to-PETSCII conversion of one byte; out is set even when the byte
// is refused, and a refusal returns false only when strict is set.
bool asciiToPetsciiChar(std::uint8_t c, std::uint8_t& out, Charset mode, bool strict);
// Every byte of the text appended (refused ones too); the AND of all results.
bool asciiStringToPetscii(std::string_view text, std::string& out, Charset mode, bool strict);

}  // namespace platter
