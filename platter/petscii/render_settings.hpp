#pragma once

#include <cstdint>
#include <vector>

#include "forge/raster_image.hpp"
#include "forge/rgb.hpp"
#include "platter/petscii/charset.hpp"

namespace platter {

class PetsciiWriter;

// Where a laid-out line starts, and the modes in force there.
struct layout_line_t {
    std::uint64_t offset = 0;
    bool quote = false;
    bool reverse = false;
};

// PETSCII text and how to lay it out: lines of a fixed number of columns,
// the machine's control codes acting or drawn, words wrapped or split.
struct bitmap_render_settings_t {
    forge::rgb_t foreground{0xFF, 0xFF, 0xFF};
    forge::rgb_t background{};
    forge::rgb_t highlight{0xFF, 0xFF, 0xFF};
    std::uint32_t cellWidth = 16;
    std::uint32_t cellHeight = 16;
    std::vector<std::uint8_t> text;
    Charset charset = Charset::upperGraphics;
    bool wrap = true;      // break lines at the line width
    bool wordWrap = true;  // move a word that does not fit to the next line
    bool interpretControls = true;
    std::uint64_t lineWidth = 40;
    std::uint64_t highlightStart = 0;  // bytes [start, end) drawn reversed
    std::uint64_t highlightEnd = 0;

    // Set by the layout.
    std::uint64_t longestLine = 0;
    std::vector<layout_line_t> lines;
};

// Settings for `text` that draw as the writer does: its charset, cell size and colours.
bitmap_render_settings_t renderSettingsFor(const PetsciiWriter& writer, std::vector<std::uint8_t> text);

// Lays out the whole text and rebuilds the line table; with a writer, also
// puts every character at its column and row (and, on a writer without a
// canvas, ends each line with its newline). Returns the number of lines.
std::uint64_t layoutPetsciiText(bitmap_render_settings_t& settings, PetsciiWriter* writer);

// The text drawn on the background colour, line width x lines cells large;
// an empty picture when that would be larger than raster_image_t allows.
forge::raster_image_t renderPetsciiTextImage(bitmap_render_settings_t& settings);

}  // namespace platter
