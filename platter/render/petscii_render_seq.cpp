#include "platter/render/petscii_render_seq.hpp"

#include "platter/petscii/colour_codes.hpp"

namespace platter {

namespace {

constexpr std::uint16_t kReverseBit = 0x200;
constexpr std::uint16_t kLowerSetBit = 0x100;
constexpr char kReverseOn = static_cast<char>(18);
constexpr char kReverseOff = static_cast<char>(146);
constexpr char kLowerSet = static_cast<char>(14);
constexpr char kUpperSet = static_cast<char>(142);
constexpr char kClearScreen = static_cast<char>(147);
constexpr char kReturn = static_cast<char>(13);

}  // namespace

PetsciiRender& PetsciiRenderSeq::begin() {
    reverseState_ = kUnknown;
    setState_ = kUnknown;
    return PetsciiRender::begin();
}

void PetsciiRenderSeq::updateState(std::uint16_t code) {
    const std::uint16_t reverse = code & kReverseBit;
    if (reverse != reverseState_) {
        reverseState_ = reverse;
        out().put(reverse != 0 ? kReverseOn : kReverseOff);
    }
    const std::uint16_t set = code & kLowerSetBit;
    if (set != setState_) {
        setState_ = set;
        out().put(set != 0 ? kLowerSet : kUpperSet);
    }
}

bool PetsciiRenderSeq::isBlank(std::uint16_t code) {
    updateState(code);
    return PetsciiRender::isBlank(code);
}

// RETURN turns reverse off on the machine, so a row starts with it off.
void PetsciiRenderSeq::rowStart() {
    const petscii_row_t& row = *currentRow();
    if (row.skip != 0) out().put(kClearScreen);
    if (row.cells.empty()) return;
    reverseState_ = row.cells.front().glyph & kReverseBit;
    if (reverseState_ != 0) out().put(kReverseOn);
}

void PetsciiRenderSeq::glyph(std::uint16_t code) {
    updateState(code);
    out().put(static_cast<char>(code & 0xFF));
}

void PetsciiRenderSeq::blank() { out().put(' '); }

void PetsciiRenderSeq::foreground(std::uint8_t colour) {
    const int code = colourToPetscii(colour);
    if (code >= 0) out().put(static_cast<char>(code));
}

void PetsciiRenderSeq::rowEnd() {
    if (currentRow()->cells.size() < PetsciiScreen::kColumns) out().put(kReturn);
}

}  // namespace platter
