#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "forge/raster_image.hpp"
#include "forge/rgb.hpp"
#include "platter/petscii/charset.hpp"
#include "platter/petscii/pixel_window.hpp"

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
    // Every byte a glyph: nothing acts, control codes show as their reversed
    // glyphs, and only spaces separate words.
    bool rawMode = false;
    std::uint64_t lineWidth = 40;
    std::uint64_t highlightStart = 0;  // bytes [start, end) drawn reversed
    std::uint64_t highlightEnd = 0;

    // Set by the layout.
    std::uint64_t longestLine = 0;
    std::vector<layout_line_t> lines;
};

// Settings for `text` that draw as the writer does: its charset, cell size and colours.
bitmap_render_settings_t renderSettingsFor(const PetsciiWriter& writer, std::vector<std::uint8_t> text);

// The part of the text one layout walk covers.
struct layout_range_t {
    // Rebuild the line table from a walk that starts at the text's start.
    // Otherwise the table is only read, and the walk starts at `start` (quote
    // and reverse off) or, without one, where the table's line `firstLine`
    // starts (at the text's start when the table has no such line).
    bool rebuild = true;
    std::optional<std::uint64_t> start;
    std::uint64_t firstLine = 0;
    // The walk stops at column `columnLimit` of line firstLine + lineLimit - 1;
    // a line limit of 0 walks to the end of the text.
    std::uint64_t lineLimit = 0;
    std::uint64_t columnLimit = 0;
};

struct layout_result_t {
    std::uint64_t lines = 0;  // lines reached, from the first line on
    std::uint64_t end = 0;    // text offset where the walk stopped
};

// Lays out the text; with a writer, also puts every character at its column
// and row (and, on a writer without a canvas, ends each line with its newline).
layout_result_t layoutPetsciiText(bitmap_render_settings_t& settings, PetsciiWriter* writer,
                                  const layout_range_t& range);

// The whole text, rebuilding the line table; returns the number of lines.
std::uint64_t layoutPetsciiText(bitmap_render_settings_t& settings, PetsciiWriter* writer);

// The text drawn on the background colour, line width x lines cells large;
// an empty picture when that would be larger than raster_image_t allows.
forge::raster_image_t renderPetsciiTextImage(bitmap_render_settings_t& settings);

// Text rows [firstRow, firstRow + rowCount) drawn into the window of the
// picture, row firstRow at its top, on the background colour; nothing
// outside the window changes. Walks the line table, which is made first
// when it is empty.
void drawPetsciiTextRows(bitmap_render_settings_t& settings, forge::raster_image_t& picture,
                         const pixel_window_t& window, std::uint64_t firstRow, std::uint64_t rowCount);

}  // namespace platter
