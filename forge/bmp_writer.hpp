#pragma once
// Windows BMP files of 24-bit pictures: the 54-byte header and the rows
// bottom-up, each padded to a multiple of four bytes.

#include <cstdint>
#include <vector>

#include "forge/raster_image.hpp"

namespace forge {

// Appends the BMP file of the picture to `out`, honouring its channel order.
// False, with nothing appended, for a picture that is not 3 bytes per
// pixel, whose pixels do not hold it, or too large for the format's fields.
bool rasterToBmp(const raster_image_t& picture, std::vector<std::uint8_t>& out);

}  // namespace forge
