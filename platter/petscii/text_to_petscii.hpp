#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platter/petscii/charset.hpp"

namespace forge {

// Host character to PETSCII: (code << 8) | ok. A refused character gives its
// own code with ok = raw.
std::uint32_t charToPetscii(std::uint8_t c, platter::Charset set, bool raw);

// One PETSCII byte per character; empty as soon as one character is refused.
std::vector<std::uint8_t> textToPetscii(std::string_view text, platter::Charset set, bool raw);

}  // namespace forge
