#pragma once
// C64 paint pictures into RGB: a file is split by its format's layout into
// bitmap, screen RAM, colour RAM and background colour, and the bitmap is
// drawn in hires or multicolour cells with the default palette.

#include <cstdint>
#include <span>
#include <vector>

#include "forge/raster_image.hpp"

namespace platter {

struct bitmap_info_t {
    bool multicolour = false;
    std::uint8_t background = 0;      // palette index of multicolour pattern 00
    std::uint8_t fallbackScreen = 1;  // screen byte of cells the screen data lacks
    std::uint64_t cellsAcross = 40;
    std::uint64_t cellsDown = 25;
    std::uint64_t cellWidth = 8;  // pixels; a cell's 8 x 8 bits are stretched to fit
    std::uint64_t cellHeight = 8;
    bool blackBackground = false;  // pattern 00 is palette colour 0
};

// Splits a file of the paint type (unpacking packed types first) into its
// areas and completes the info. Areas the file is too short for come out
// short or empty. False for types without a layout, packed data that does
// not unpack, and GEOS pictures that are empty or too large.
bool decodePaintData(std::span<const std::uint8_t> data, std::uint32_t type, std::vector<std::uint8_t>& screen,
                     std::vector<std::uint8_t>& bitmap, std::vector<std::uint8_t>& colour, bitmap_info_t& info);

// Draws the cells row by row: cell i takes screen byte i, colour byte i and
// bitmap bytes 8i to 8i + 7, missing bytes reading as the fallback, the first
// colour byte, or 0. False, with `out` unchanged, above the raster limit.
bool decodeBitmapImage(std::span<const std::uint8_t> screen, std::span<const std::uint8_t> colour,
                       std::span<const std::uint8_t> bitmap, const bitmap_info_t& info, forge::raster_image_t& out);

// The whole picture of a paint file: GoDot pictures by their own decoder,
// the others split and drawn as bitmaps.
bool decodePaintPicture(std::span<const std::uint8_t> data, std::uint32_t type, forge::raster_image_t& out);

}  // namespace platter
