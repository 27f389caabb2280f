#include "platter/render/petscii_render_txt.hpp"

namespace platter {

void PetsciiRenderTxt::glyph(std::uint16_t code) {
    std::uint8_t ascii = 0;
    out().put(glyphToAscii(code, ascii) ? static_cast<char>(ascii) : '`');
}

void PetsciiRenderTxt::blank() { out().put(' '); }

void PetsciiRenderTxt::rowEnd() { out().put('\n'); }

}  // namespace platter
