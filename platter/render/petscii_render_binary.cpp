#include "platter/render/petscii_render_binary.hpp"

namespace platter {

PetsciiRender& PetsciiRenderBinary::begin() {
    forceSections();
    image_.assign(kImageSize, 0);
    position_ = 0;
    return PetsciiRender::begin();
}

void PetsciiRenderBinary::render(const PetsciiScreen& screen) {
    const std::vector<petscii_row_t>& rows = screen.rows();
    const std::size_t first = rows.size() > PetsciiScreen::kWindowRows ? rows.size() - PetsciiScreen::kWindowRows : 0;
    for (std::size_t r = first; r < rows.size(); ++r) {
        for (const petscii_cell_t& cell : rows[r].cells) {
            // image_ is empty once its one screen was written.
            if (position_ >= kCells || image_.size() != kImageSize) return;
            image_[position_] = isBlank(cell.glyph) ? 0x20 : static_cast<std::uint8_t>(cell.glyph & 0xFF);
            image_[position_ + kCells] = static_cast<std::uint8_t>(cell.colour & 15);
            ++position_;
        }
    }
}

void PetsciiRenderBinary::endSection(const std::string& /*title*/) {
    out().write(reinterpret_cast<const char*>(image_.data()), static_cast<std::streamsize>(image_.size()));
    image_.clear();
    image_.shrink_to_fit();
}

}  // namespace platter
