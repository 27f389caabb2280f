#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platter/petscii/charset.hpp"

namespace platter {

// How petsciiToText treats punctuation: nameSafe keeps only the space and
// "!#%()-." of the bytes 0x20-0x2F.
enum class TextMode : std::uint8_t { plain = 0, nameSafe = 1 };

// Appends 8-bit host text for the PETSCII bytes to out. CR becomes CR LF.
void petsciiToText(std::span<const std::uint8_t> bytes, std::string& out, TextMode mode, bool useSubstitutions,
                   bool keepCase, bool asciiOnly);

// petsciiToText over all bytes with asciiOnly off.
std::string petsciiBytesToText(std::span<const std::uint8_t> bytes, TextMode mode, bool useSubstitutions,
                               bool keepCase);

// A 0xA0-padded name (at most its first 16 bytes are read) as host text.
// hostSafe: name-safe mode, the characters ?"/\<>*|: and control bytes are
// removed, and a result of "", "." or ".." gets a leading '_' so that it can
// serve as a host file name.
std::string petsciiNameToString(std::span<const std::uint8_t> name, bool hostSafe);
// Plain mode, no substitutions, no case keeping.
std::string petsciiNameToAscii(std::span<const std::uint8_t> name, bool asciiOnly);
// petsciiNameToString with each resulting byte encoded as a Latin-1 code point in UTF-8.
std::string petsciiNameToUtf8(std::span<const std::uint8_t> name, bool hostSafe);
// "'NAME'": a file's name as messages quote it.
std::string quotedName(std::span<const std::uint8_t> name);

// One PETSCII byte to ASCII. out is set even when the byte is refused; a
// refusal returns false only when strict is set.
bool petsciiToAscii(std::uint8_t c, std::uint8_t& out, Charset mode, bool strict);

}  // namespace platter
