#pragma once
// A screen as a picture: every cell a block of pixels in which the glyph of
// the embedded font is inked in the cell's colour over the background.
// PetsciiRenderRgb writes raw RGB bytes, PetsciiRenderPng a PNG file.

#include <cstdint>
#include <memory>

#include "forge/embedded_font.hpp"
#include "forge/raster_image.hpp"
#include "platter/render/petscii_render.hpp"

namespace platter {

class PetsciiRenderRgb : public PetsciiRender {
public:
    // Takes the cell width from the embedded font.
    PetsciiRender& begin() override;
    // False when the embedded font could not be loaded; nothing is drawn then.
    bool fontReady() const { return fontReady_; }

    // Always 40 cells across; rows that stand for a screen clear take no space.
    std::uint64_t pictureWidth() const { return std::uint64_t{PetsciiScreen::kColumns} * cellWidth(); }
    std::uint64_t pictureHeight(const PetsciiScreen& screen) const;

    // The picture of the screen. False, drawing nothing, without a font, for
    // a screen with nothing to draw, or above the raster limit.
    bool drawScreen(const PetsciiScreen& screen, forge::raster_image_t& out);

protected:
    void render(const PetsciiScreen& screen) override;

private:
    std::shared_ptr<forge::GlyphCache> glyphs_ = forge::embeddedFontGlyphs();
    bool fontReady_ = false;
};

class PetsciiRenderPng : public PetsciiRenderRgb {
protected:
    void render(const PetsciiScreen& screen) override;
};

}  // namespace platter
