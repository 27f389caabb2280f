#pragma once
// A screen as a self-contained HTML page: the text in a preformatted block
// set in Tessel Mono, which the inline style carries, each run of one colour
// in an element whose class names the palette colour; characters without a
// plain ASCII form are written as the font's private-use code points.

#include "platter/render/petscii_render.hpp"

namespace platter {

class PetsciiRenderHtml : public PetsciiRender {
protected:
    void writeHeader() override;
    // A tab-like title bar; the title is escaped.
    void beginSection(const std::string& title) override;
    // Each row opens its own colour run, so no element spans a line end.
    bool resetsColourPerRow() const override { return true; }
    void glyph(std::uint16_t code) override;
    void blank() override;
    void foreground(std::uint8_t colour) override;
    void rowEnd() override;
    void writeFooter() override;

private:
    bool runOpen_ = false;
};

}  // namespace platter
