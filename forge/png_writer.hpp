#pragma once
// PNG files of RGB pictures, written without a compression library: the
// image data are stored (uncompressed) deflate blocks.

#include <cstdint>
#include <span>
#include <vector>

#include "forge/raster_image.hpp"

namespace forge {

// Appends the PNG file of a width x height RGB picture to `out`: a palette
// image when it has fewer than 256 colours, else 8-bit truecolour. False,
// with nothing appended, for a width or height of 0 or beyond 2^31 - 1,
// pixels that do not hold the picture, or image data too large for one chunk.
bool rgbToPng(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height,
              std::vector<std::uint8_t>& out);

// The same for a picture of 3 bytes per pixel in either channel order and
// with any row increment; false as well when its pixels do not hold it.
bool rasterToPng(const raster_image_t& picture, std::vector<std::uint8_t>& out);

}  // namespace forge
