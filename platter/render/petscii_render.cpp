#include "platter/render/petscii_render.hpp"

#include <utility>

#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

constexpr std::uint16_t kLowerSetBit = 0x100;
constexpr std::uint8_t kLastPaletteIndex = 15;

}  // namespace

PetsciiRender& PetsciiRender::begin() {
    resetColourState();
    out_ = stream_ != nullptr ? stream_ : &internal_;
    if (document_) writeHeader();
    if (body_) beginBody();
    return *this;
}

PetsciiRender& PetsciiRender::end() {
    if (body_) endBody();
    if (document_) writeFooter();
    return *this;
}

PetsciiRender& PetsciiRender::renderSection(const PetsciiScreen& screen, const std::string& title) {
    if (sections_) beginSection(title);
    render(screen);
    if (sections_) endSection(title);
    return *this;
}

bool PetsciiRender::isBlank(std::uint16_t code) {
    switch (code) {
        case 0:
        case 0xE020:
        case 0xE0A0:
        case 0xE0E0:
        case 0xE120:
        case 0xE1A0:
        case 0xE1E0: return true;
        default: return false;
    }
}

void PetsciiRender::render(const PetsciiScreen& screen) {
    for (const petscii_row_t& row : screen.rows()) {
        currentRow_ = &row;
        rowStart();
        if (row.skip != 0) continue;
        if (resetsColourPerRow()) resetColourState();
        for (const petscii_cell_t& cell : row.cells) {
            // A colour change is written once, before the next glyph that shows it.
            if (cell.colour <= kLastPaletteIndex && cell.colour != currentColour_) {
                currentColour_ = cell.colour;
                colourPending_ = true;
            }
            if (isBlank(cell.glyph)) {
                blank();
                continue;
            }
            if (colourPending_) {
                foreground(currentColour_);
                colourPending_ = false;
            }
            glyph(cell.glyph);
        }
        rowEnd();
    }
    currentRow_ = nullptr;
}

bool PetsciiRender::glyphToAscii(std::uint16_t code, std::uint8_t& out) {
    const Charset set = (code & kLowerSetBit) != 0 ? Charset::lowerUpper : Charset::upperGraphics;
    return petsciiToAscii(static_cast<std::uint8_t>(code & 0xFF), out, set, true);
}

void PetsciiRender::resetColourState() {
    colourPending_ = false;
    currentColour_ = kNoColour;
}

PetsciiRender& PetsciiRender::setAppName(std::string name) {
    appName_ = std::move(name);
    return *this;
}

PetsciiRender& PetsciiRender::setTitle(std::string title) {
    title_ = std::move(title);
    return *this;
}

PetsciiRender& PetsciiRender::setCssFilename(std::string name) {
    cssFilename_ = std::move(name);
    return *this;
}

PetsciiRender& PetsciiRender::setDocument(bool on) {
    document_ = on;
    return *this;
}

PetsciiRender& PetsciiRender::setBody(bool on) {
    body_ = on;
    return *this;
}

PetsciiRender& PetsciiRender::setSections(bool on) {
    sections_ = on;
    return *this;
}

PetsciiRender& PetsciiRender::setFontSize(std::uint16_t pixels) {
    fontSize_ = pixels;
    return *this;
}

PetsciiRender& PetsciiRender::setBackground(std::uint8_t colour) {
    background_ = colour;
    return *this;
}

PetsciiRender& PetsciiRender::setColumns(std::uint8_t count) {
    columns_ = count;
    return *this;
}

PetsciiRender& PetsciiRender::setStream(std::ostream& stream) {
    stream_ = &stream;
    return *this;
}

}  // namespace platter
