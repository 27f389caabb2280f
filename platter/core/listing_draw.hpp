#pragma once

#include <cstdint>
#include <span>

#include "forge/raster_image.hpp"
#include "platter/core/listing_output.hpp"
#include "platter/petscii/pixel_window.hpp"

namespace platter {

class Disk;
class PetsciiWriter;

// A writer for the listings an image makes itself: no canvas, cells of the
// library's cell size, the upper-case/graphics set.
PetsciiWriter listingWriter();

// Which part of a listing is drawn.
struct listing_view_t {
    // On a canvas, the pixels whose text rows are drawn; empty: the whole
    // canvas. Without a canvas every row is drawn.
    pixel_window_t window;
    // The header on the window's first row even when the listing is scrolled.
    bool forceHeader = false;
    // The index of the entry on the first entry row when not scrolled.
    std::int32_t indexOffset = 0;
};

// The CBM directory listing of the current directory on the writer: the
// header line, a line per entry and the footer. Row r shows entry
// indexOffset + r - 1; a window that starts below row 0 scrolls the header
// away. With `selectedOnly` only the selected entries are drawn, a row each,
// without a footer and without a header unless forced; otherwise selected
// entries are reversed on a canvas.
void drawListing(Disk& disk, PetsciiWriter& writer, const listing_view_t& view,
                 std::span<const std::uint32_t> selection, bool selectedOnly);

// The whole listing (on a canvas, the rows that fit).
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
