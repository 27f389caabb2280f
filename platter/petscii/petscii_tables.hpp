#pragma once

#include <array>
#include <cstdint>

namespace platter {

// Unicode code point of every PETSCII byte, upper-case/graphics set.
extern const std::array<std::uint16_t, 256> g_petscii_to_unicode_upper;
// Unicode code point of every PETSCII byte, lower/upper-case set.
extern const std::array<std::uint16_t, 256> g_petscii_to_unicode_lower;

// PETSCII code of every host byte for the lower/upper-case set (entries below
// 0x20 are never consulted).
extern const std::array<std::uint8_t, 256> g_ascii_to_petscii_lower;
// PETSCII code of every host byte for the upper-case/graphics set.
extern const std::array<std::uint8_t, 256> g_ascii_to_petscii_upper;

// Unicode code point of every screen code (0x80-0xFF reverse video).
extern const std::array<std::uint16_t, 256> g_screen_to_unicode_upper;
extern const std::array<std::uint16_t, 256> g_screen_to_unicode_lower;

// Code page 437 byte of every screen code; kCp437FromUnicode = take the low
// byte of the screen-to-Unicode entry of the same set; 0 = none.
inline constexpr std::uint16_t kCp437FromUnicode = 0xFFFF;
extern const std::array<std::uint16_t, 256> g_screen_to_cp437_upper;
extern const std::array<std::uint16_t, 256> g_screen_to_cp437_lower;

}  // namespace platter
