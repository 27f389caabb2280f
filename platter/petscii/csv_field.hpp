#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platter {

// PETSCII bytes as one CSV field (plain text conversion, then csvQuote).
std::string petsciiToCsvField(std::span<const std::uint8_t> bytes, bool keepCase);

// Doubles every '"'; encloses the field in quotes when it holds a comma, a
// quote, CR or LF.
std::string csvQuote(std::string_view text);
// The text in quotes, every '"' inside doubled.
std::string csvQuoted(std::string_view text);

// Two lower-case hexadecimal digits per byte.
std::string hexBytes(std::span<const std::uint8_t> bytes);

}  // namespace platter
