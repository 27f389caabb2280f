#pragma once
// GoDot's 4-bit pictures ("GOD0" full screens, "GOD1" clips): two pixels a
// byte in GoDot's own colour order, run-length packed.

#include <cstdint>
#include <span>

#include "forge/raster_image.hpp"

namespace platter {

// GoDot's 4-bit value to C64 palette index.
extern const std::uint8_t g_godot_colours[16];

// Draws the picture; cells the data does not reach stay black. False for a
// header that is cut off or a clip of no cells.
bool decodeGoDotImage(std::span<const std::uint8_t> data, forge::raster_image_t& out);

}  // namespace platter
