#pragma once

#include <cstdint>
#include <span>

#include "forge/raster_image.hpp"
#include "platter/core/listing_output.hpp"

namespace platter {

class Disk;
class PetsciiWriter;

// A writer for the listings an image makes itself: no canvas, cells of the
// library's cell size, the upper-case/graphics set.
PetsciiWriter listingWriter();

// The CBM directory listing of the current directory on the writer: the
// header line, a line per entry and the footer. With `selectedOnly` only the
// selected entries are drawn, without header or footer; otherwise selected
// entries are reversed on a canvas. On a canvas, only the rows that fit.
void drawDirectory(Disk& disk, PetsciiWriter& writer, std::span<const std::uint32_t> selection, bool selectedOnly);

// One listing as a picture 30 columns wide, drawn in the writer's colours.
// Empty when the picture would be too large.
forge::raster_image_t renderDirectory(Disk& disk, PetsciiWriter& writer, std::span<const std::uint32_t> selection);

// The second picture below the first, left-aligned; the wider sets the width.
forge::raster_image_t stackPictures(const forge::raster_image_t& top, const forge::raster_image_t& bottom);

enum class listing_picture { bmp, png };

// Disk::renderDirectoryTree as a BMP or PNG file.
bool writeListingImage(Disk& disk, const listing_output_t& out, PetsciiWriter& writer, bool recurse,
                       std::span<const std::uint32_t> selection, listing_picture kind);

}  // namespace platter
