#pragma once
// A screen as a PETSCII byte stream, as a SEQ file holds it: reverse and
// character-set switches, colour codes, CLR for cleared screens and RETURN
// after rows that did not wrap on their own.

#include <cstdint>

#include "platter/render/petscii_render.hpp"

namespace platter {

class PetsciiRenderSeq : public PetsciiRender {
public:
    PetsciiRender& begin() override;
    // Writes the reverse and set switches the code needs, then tells blanks.
    bool isBlank(std::uint16_t code) override;

protected:
    void rowStart() override;
    void glyph(std::uint16_t code) override;
    void blank() override;
    void foreground(std::uint8_t colour) override;
    void rowEnd() override;

private:
    static constexpr std::uint16_t kUnknown = 0xFFFF;

    void updateState(std::uint16_t code);

    std::uint16_t reverseState_ = kUnknown;  // 0 or 0x200
    std::uint16_t setState_ = kUnknown;      // 0 or 0x100
};

}  // namespace platter
