#pragma once
// A screen as the machine holds it: 1000 character bytes, then 1000 colour
// bytes, one per cell of the last 25 rows, packed in row order without
// padding short rows. One screen per begin.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platter/render/petscii_render.hpp"

namespace platter {

class PetsciiRenderBinary : public PetsciiRender {
public:
    static constexpr std::size_t kCells = 1000;
    static constexpr std::size_t kImageSize = 2 * kCells;

    PetsciiRender& begin() override;

protected:
    // Cells past the thousandth (rows widened by INST) are dropped.
    void render(const PetsciiScreen& screen) override;
    void endSection(const std::string& title) override;

private:
    std::vector<std::uint8_t> image_;
    std::uint64_t position_ = 0;
};

}  // namespace platter
