#pragma once
// A screen as plain ASCII text, one line per row; characters without an ASCII
// form become '`'.

#include "platter/render/petscii_render.hpp"

namespace platter {

class PetsciiRenderTxt : public PetsciiRender {
protected:
    void glyph(std::uint16_t code) override;
    void blank() override;
    void rowEnd() override;
};

}  // namespace platter
