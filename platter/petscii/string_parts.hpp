#pragma once
// Cutting texts at a character, and the characters a host file name may not hold.

#include <string>
#include <string_view>

namespace platter {

// The text after the first `c`, or the whole text when `c` does not occur.
std::string afterFirst(std::string_view text, char c);
// The text before the last `c`, or the whole text.
std::string beforeLast(std::string_view text, char c);
// The text after the last `c`, or the whole text.
std::string afterLast(std::string_view text, char c);
// Removes every occurrence of each of `chars` from `text`.
void eraseChars(std::string& text, std::string_view chars);

// The characters a host file name may not hold.
inline constexpr std::string_view kHostUnsafeChars = "?\"/\\<>*|:";

}  // namespace platter
