#pragma once
// Tessel Mono, the program's TrueType font of the Commodore character sets
// (tessel_mono.ttf beside this header, embedded by the build).

#include <cstddef>
#include <cstdint>

extern const std::uint8_t g_font_ttf[];
extern const std::size_t g_font_ttf_size;
