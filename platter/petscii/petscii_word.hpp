#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platter {

struct petscii_word_t {
    std::size_t length = 0;     // bytes up to the word's last printable byte
    std::size_t printable = 0;  // printable bytes in the word
};

// Measures the word at the start of PETSCII text for line wrapping. A word
// ends before a space or one of 13, 29, 141, 157; control codes outside
// quote mode (and without raw) do not count as printable.
petscii_word_t measurePetsciiWord(std::span<const std::uint8_t> bytes, bool raw);

}  // namespace platter
