#pragma once
// Numbers as users type them ('$' and 0x hexadecimal, '%' binary), hexadecimal
// text, digit counts and human-readable sizes.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

// Radix 2, 10 or 16, or 0 for the prefix to decide: "0x" (3+ characters) and
// '$' (2+) hexadecimal, '%' (2+) binary, else decimal. True when the text is not
// empty and every character after the prefix is a digit of the radix.
bool isNumber(std::string_view text, unsigned radix = 0);

// The value of a text isNumber(text, 0) accepts; -1 when it is not such a
// number or does not fit in a signed 64-bit value.
std::int64_t parseNumber(std::string_view text);

// strtoul-like in the given base; -1 when the text is empty, has a sign, leaves
// characters over, or does not fit in a signed 64-bit value.
std::int64_t parseUnsigned(std::string_view text, int base);

// Decimal digits (1 for 0); the signed form counts a minus sign too.
unsigned countDigits(std::int32_t value);
unsigned countDigits(std::uint32_t value);
unsigned countDigits(std::uint64_t value);

// Plain decimal below 1024, else e.g. "1.5K" with `decimals` places and one of
// the units "KMGTPE"; never shows 1024.0 of a unit.
std::string humanReadableSize(std::uint64_t bytes, int decimals);

// Lower-case hex digits left-padded with '0' to `width` (0: two per significant
// byte, at least 2); only the lowest `width` digits when the value needs more.
std::string toHex(std::uint64_t value, unsigned width);

std::string bytesToHex(std::span<const std::uint8_t> bytes);
std::string bytesToHex(std::string_view bytes);

// Every hex digit starts a byte, joined by the next character when that is a
// hex digit too; other characters are skipped.
std::vector<std::uint8_t> hexToBytes(std::string_view text);

}  // namespace forge
