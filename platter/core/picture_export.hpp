#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "forge/raster_image.hpp"

namespace platter {

class PetsciiWriter;

// The picture of a file's data, by its paint type (identifyPaintType): PETSCII text laid out
// in the writer's cells, character set and colours; a character set as a sheet of its glyphs;
// a paint picture decoded. False for data of any other type and for pictures that do not
// decode or would be too large.
bool decodePictureForExport(std::uint32_t paintType, std::span<const std::uint8_t> data, const PetsciiWriter& writer,
                            forge::raster_image_t& picture);

enum class picture_file { bmp, png };

// The BMP or PNG file of that picture, appended to `file`; false, with nothing appended, when
// there is no picture.
bool exportAsPicture(std::uint32_t paintType, std::span<const std::uint8_t> data, picture_file kind,
                     const PetsciiWriter& writer, std::vector<std::uint8_t>& file);

}  // namespace platter
