#pragma once
// A screen as an RTF document in the embedded Commodore font with the 16
// colours; characters without a plain ASCII form select the font's own glyph.

#include "platter/render/petscii_render.hpp"

namespace platter {

class PetsciiRenderRtf : public PetsciiRender {
protected:
    void writeHeader() override;
    void rowStart() override;
    void glyph(std::uint16_t code) override;
    void blank() override;
    void foreground(std::uint8_t colour) override;
    // Pads the row to the column count setting.
    void rowEnd() override;
    void writeFooter() override;
};

}  // namespace platter
