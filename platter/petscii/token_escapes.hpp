#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platter/petscii/charset.hpp"

namespace platter {

// Host text with "{token}" escapes to PETSCII. A '{' inside a token, a stray
// '}' or an empty or unknown token fails (bytes appended before stay); a token
// left open at the end is dropped.
bool escapedTextToPetscii(std::string_view text, std::vector<std::uint8_t>& out, Charset mode, bool strict);

// Appends the bytes of one token (the text between the braces). Repetition
// counts are capped at kMaxTokenRepeat and the produced text at kMaxTokenOutput.
inline constexpr std::uint32_t kMaxTokenRepeat = 65535;
inline constexpr std::size_t kMaxTokenOutput = 65536;
bool parseToken(std::string_view token, std::vector<std::uint8_t>& out, Charset mode);

}  // namespace platter
