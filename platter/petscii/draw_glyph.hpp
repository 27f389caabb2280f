#pragma once

#include <cstdint>
#include <optional>

#include "forge/glyph_cache.hpp"
#include "forge/raster_image.hpp"
#include "forge/rgb.hpp"
#include "platter/petscii/pixel_window.hpp"

namespace platter {

// Paints the glyph's cell with its top left corner at (x, y): covered pixels
// in the foreground, the others in the background, clipped to the canvas and
// to the clip window when there is one. Nothing for a canvas whose pixels do
// not hold it.
void drawGlyph(forge::GlyphCache& glyphs, forge::raster_image_t& canvas, std::uint32_t codePoint,
               std::uint16_t pixelHeight, std::int64_t x, std::int64_t y, forge::rgb_t foreground,
               forge::rgb_t background, const std::optional<pixel_window_t>& clip = std::nullopt);

}  // namespace platter
