#pragma once
// Text helpers: templates, replacing, case, white space, splitting, wildcard
// matching, printf formatting, terminal display width and UTF-8 output.

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

// Replaces every "{^name^}" by values[name]; an unknown name is dropped, or kept
// as written with keepUnknown. An unclosed "{^" and the rest are copied as is.
std::string expandTemplate(std::string_view text, const std::map<std::string, std::string>& values,
                           bool keepUnknown = false);

// Every occurrence of `from`, left to right; inserted text is never rescanned.
// An empty `from` changes nothing.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

char charToLower(char c);
char charToUpper(char c);
std::string toLower(std::string_view text);
std::string toUpper(std::string_view text);
void toLowerInPlace(std::string& text);
void toUpperInPlace(std::string& text);

// White space as isspace sees it.
void trimLeft(std::string& text);
void trimRight(std::string& text);
void trimInPlace(std::string& text);
std::string trim(std::string text);

// The pieces between separators; empty pieces only with keepEmpty (then a
// trailing separator gives a last empty piece). An empty text gives none.
std::vector<std::string> split(std::string_view text, char separator, bool keepEmpty = false);

// '*' any run of bytes, '?' one byte, anything else itself; the whole text must match.
bool wildcardMatch(std::string_view text, std::string_view pattern);

// printf into a string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Terminal columns of multibyte text in the current locale; bytes that start no
// valid character count 0.
std::size_t displayWidth(std::string_view text);

// Appends the UTF-8 form of a code point (1 to 4 bytes). A surrogate (U+D800-U+DFFF) or a
// value past U+10FFFF is no character: it appends U+FFFD, the replacement character.
void appendUtf8(char32_t codePoint, std::string& out);

// The code points of UTF-8 text. A byte that starts no valid, shortest-form
// sequence stands for itself, so Latin-1 text comes through as well.
std::u32string decodeUtf8(std::string_view text);

void appendBytes(std::vector<std::uint8_t>& out, std::string_view text);
void appendBytes(std::vector<char>& out, std::string_view text);

// Empty when count is 1, else the suffix ("file" + plural("s", n)).
std::string plural(std::string_view suffix, std::uint64_t count);

// Ascending numbers with their runs joined: "0-2, 5 and 7".
std::string numberRuns(std::span<const std::uint64_t> numbers);

}  // namespace forge
