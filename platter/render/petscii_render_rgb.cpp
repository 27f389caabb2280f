#include "platter/render/petscii_render_rgb.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include "forge/pixel_limit.hpp"
#include "forge/png_writer.hpp"
#include "platter/petscii/palette.hpp"

namespace platter {

namespace {

void fillPixels(forge::raster_image_t& picture, forge::rgb_t colour) {
    for (std::size_t at = 0; at < picture.pixels.size(); at += 3) {
        picture.pixels[at] = colour.red;
        picture.pixels[at + 1] = colour.green;
        picture.pixels[at + 2] = colour.blue;
    }
}

void writeBytes(std::ostream& out, const std::vector<std::uint8_t>& bytes) {
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

PetsciiRender& PetsciiRenderRgb::begin() {
    fontReady_ = forge::embeddedFontLoaded();
    if (fontReady_) setCellWidth(static_cast<std::uint16_t>(glyphs_->cellWidth(fontSize())));
    return PetsciiRender::begin();
}

std::uint64_t PetsciiRenderRgb::pictureHeight(const PetsciiScreen& screen) const {
    return std::uint64_t{screen.rowCount() - screen.skippedRowCount()} * fontSize();
}

bool PetsciiRenderRgb::drawScreen(const PetsciiScreen& screen, forge::raster_image_t& out) {
    const std::uint64_t height = pictureHeight(screen);
    forge::raster_image_t picture;
    if (!fontReady_ || height == 0 || !forge::makeLimitedPicture(pictureWidth(), height, picture)) return false;
    fillPixels(picture, g_default_palette.colourAt(backgroundColour()));
    const std::size_t cell = cellWidth();
    const std::size_t rows = fontSize();
    std::size_t top = 0;
    for (const petscii_row_t& row : screen.rows()) {
        if (row.skip != 0) continue;
        // Cells past the 40th (a row widened by INST) are not drawn.
        const std::size_t cells = std::min(row.cells.size(), PetsciiScreen::kColumns);
        for (std::size_t column = 0; column < cells; ++column) {
            const petscii_cell_t& c = row.cells[column];
            if (isBlank(c.glyph)) continue;
            const forge::glyph_bitmap_t glyph = glyphs_->glyph(c.glyph, fontSize());
            const std::size_t glyphWidth = std::min(glyph->size() / rows, cell);
            const forge::rgb_t ink = g_default_palette.colourAt(c.colour & 15);
            for (std::size_t y = 0; y < rows; ++y) {
                const std::uint8_t* coverage = glyph->data() + y * (glyph->size() / rows);
                std::uint8_t* pixel = picture.pixels.data() + (top + y) * picture.rowIncrement + column * cell * 3;
                for (std::size_t x = 0; x < glyphWidth; ++x, pixel += 3) {
                    if (coverage[x] == 0) continue;
                    pixel[0] = ink.red;
                    pixel[1] = ink.green;
                    pixel[2] = ink.blue;
                }
            }
        }
        top += rows;
    }
    out = std::move(picture);
    return true;
}

void PetsciiRenderRgb::render(const PetsciiScreen& screen) {
    forge::raster_image_t picture;
    if (drawScreen(screen, picture)) writeBytes(out(), picture.pixels);
}

void PetsciiRenderPng::render(const PetsciiScreen& screen) {
    forge::raster_image_t picture;
    std::vector<std::uint8_t> png;
    if (drawScreen(screen, picture) && forge::rgbToPng(picture.pixels, picture.width, picture.height, png)) {
        writeBytes(out(), png);
    }
}

}  // namespace platter
