#pragma once
// A character set drawn as a sheet of its glyphs.

#include <array>
#include <cstdint>
#include <span>

#include "forge/raster_image.hpp"
#include "forge/rgb.hpp"

namespace platter {

struct charset_image_t {
    std::uint64_t charsAcross = 16;
    std::uint64_t charsDown = 16;
    std::uint64_t charWidth = 8;  // pixels; a glyph's 8 x 8 bits are stretched to fit
    std::uint64_t charHeight = 8;
    bool multicolour = false;
    bool twoByTwo = false;  // four characters make one 16 x 16 glyph
    // Hires: 0 clear bits, 1 set bits. Multicolour: patterns 01 and 11 take
    // slot 1, 10 slot 2; 00 leaves the picture as it is.
    std::array<forge::rgb_t, 4> slots{};
};

// Glyph bytes beyond the data read as 0. False, with `out` unchanged, above
// the raster limit.
bool decodeCharsetImage(std::span<const std::uint8_t> charset, const charset_image_t& settings,
                        forge::raster_image_t& out);

// A character set as 16 x 16 glyphs, light blue on the screen's blue; a file
// of 2,050 bytes starts with a load address, which is skipped.
bool decodeCharsetSheet(std::span<const std::uint8_t> data, forge::raster_image_t& out);

}  // namespace platter
