#include "platter/petscii/petscii_writer.hpp"

#include "forge/embedded_font.hpp"
#include "platter/petscii/colour_codes.hpp"
#include "platter/petscii/draw_glyph.hpp"
#include "platter/petscii/palette.hpp"

namespace platter {

namespace {

constexpr std::size_t kHighlightColour = 1;    // white
constexpr std::size_t kBackgroundColour = 6;   // blue
constexpr std::size_t kForegroundColour = 14;  // light blue

// Control codes are the bytes 0x00-0x1F and 0x80-0x9F.
bool isControlCode(std::uint8_t c) { return (c & 0x60) == 0; }

}  // namespace

PetsciiWriter::PetsciiWriter() : PetsciiWriter(nullptr, 16, 16, Charset::upperGraphics) {}

PetsciiWriter::PetsciiWriter(forge::raster_image_t* canvas, std::uint32_t cellWidth, std::uint32_t cellHeight,
                             Charset charset)
    : charset_(charset),
      canvas_(canvas),
      cellWidth_(cellWidth),
      cellHeight_(cellHeight),
      highlight_(g_default_palette.colour(kHighlightColour)),
      normalBackground_(g_default_palette.colour(kBackgroundColour)),
      background_(normalBackground_),
      foreground_(g_default_palette.colour(kForegroundColour)),
      backgroundIndex_(kBackgroundColour),
      foregroundIndex_(kForegroundColour),
      glyphs_(forge::embeddedFontGlyphs()) {}

PetsciiWriter::PetsciiWriter(const PetsciiWriter& other)
    : charset_(other.charset_),
      canvas_(other.canvas_),
      raw_(other.raw_),
      rawCount_(other.rawCount_),
      cellWidth_(other.cellWidth_),
      cellHeight_(other.cellHeight_),
      originX_(other.originX_),
      originY_(other.originY_),
      highlight_(other.highlight_),
      normalBackground_(other.normalBackground_),
      background_(other.background_),
      foreground_(other.foreground_),
      backgroundIndex_(other.backgroundIndex_),
      foregroundIndex_(other.foregroundIndex_),
      output_(other.output_),
      reverse_(other.reverse_),
      reverseChanged_(other.reverseChanged_),
      foregroundChanged_(other.foregroundChanged_),
      backgroundChanged_(other.backgroundChanged_),
      inverse_(other.inverse_),
      noPosition_(other.noPosition_),
      spanOpen_(other.spanOpen_),
      atLineStart_(other.atLineStart_),
      carriageReturnMode_(other.carriageReturnMode_),
      glyphs_(other.glyphs_) {}

PetsciiWriter::~PetsciiWriter() {
    // A converter that outlives its writer must not unlink from it later.
    for (Converter* converter = head_; converter; converter = converter->next_) converter->sink_ = nullptr;
}

void PetsciiWriter::link(Converter& converter) {
    converter.next_ = head_;
    head_ = &converter;
}

void PetsciiWriter::unlink(Converter& converter) {
    for (Converter** link = &head_; *link; link = &(*link)->next_) {
        if (*link == &converter) {
            *link = converter.next_;
            return;
        }
    }
}

void PetsciiWriter::putChar(std::uint32_t column, std::uint32_t row, std::uint8_t c, bool reverse, std::uint32_t extraX,
                            std::uint32_t extraY) {
    reverseChanged_ = reverse_ != reverse;
    reverse_ = reverse;
    if (raw_.data()) {
        if (rawCount_ < raw_.size()) raw_[rawCount_++] = c;
        return;
    }
    noPosition_ = column == kNoPosition && row == kNoPosition;
    const std::uint16_t code = head_->translate(c);
    if (canvas_ && column != kNoPosition && row != kNoPosition) drawCell(column, row, code, extraX, extraY);
    // A control code shown as a glyph takes the opposite reverse state.
    if (isControlCode(c) && code != c) {
        reverse_ = !reverse;
        reverseChanged_ = true;
    }
    if (atLineStart_) head_->beginLine(c);
    if (c == kPetsciiReturn && (carriageReturnMode_ || !reverse_)) {
        atLineStart_ = true;
        if (head_->newline(c)) return;
    } else {
        atLineStart_ = false;
    }
    applyColours(false);
    head_->put(code);
}

void PetsciiWriter::drawCell(std::uint32_t column, std::uint32_t row, std::uint16_t code, std::uint32_t extraX,
                             std::uint32_t extraY) {
    if (cellHeight_ == 0 || cellHeight_ > UINT16_MAX) return;
    // Far cells lie outside every canvas; skipping them keeps the pixel
    // arithmetic from wrapping back into it.
    constexpr std::uint64_t kFar = std::uint64_t{1} << 40;
    const std::uint64_t stepX = std::uint64_t{extraX} + cellWidth_;
    const std::uint64_t stepY = std::uint64_t{extraY} + cellHeight_;
    if ((column != 0 && stepX > kFar / column) || (row != 0 && stepY > kFar / row)) return;
    const std::int64_t x = static_cast<std::int64_t>(stepX * column) + originX_;
    const std::int64_t y = static_cast<std::int64_t>(stepY * row) + originY_;
    drawGlyph(*glyphs_, *canvas_, code, static_cast<std::uint16_t>(cellHeight_), x, y, foreground_, background_);
}

void PetsciiWriter::write(std::uint32_t column, std::uint32_t row, std::span<const std::uint8_t> bytes, bool reverse) {
    for (std::uint8_t c : bytes) putChar(column++, row, c, reverse);
}

void PetsciiWriter::write(std::uint32_t column, std::uint32_t row, std::string_view text, bool reverse) {
    write(column, row, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), reverse);
}

void PetsciiWriter::newline() {
    if (carriageReturnMode_) {
        putChar(kNoPosition, kNoPosition, kPetsciiReturn, false);
    } else if (!canvas_) {
        head_->newline(kPetsciiReturn);
    }
    atLineStart_ = true;
}

void PetsciiWriter::clear() {
    if (!canvas_ || !canvas_->isWhole()) return;
    const bool rgb = canvas_->channelOrder == forge::raster_image_t::kRgb;
    for (std::uint32_t y = 0; y < canvas_->height; ++y) {
        std::uint8_t* pixel = canvas_->pixels.data() + std::size_t{canvas_->rowIncrement} * y;
        for (std::uint32_t x = 0; x < canvas_->width; ++x, pixel += canvas_->bytesPerPixel) {
            pixel[0] = rgb ? background_.red : background_.blue;
            pixel[1] = background_.green;
            pixel[2] = rgb ? background_.blue : background_.red;
        }
    }
}

void PetsciiWriter::applyColours(bool forced) {
    if (!forced && !foregroundChanged_ && !backgroundChanged_ && !reverseChanged_) return;
    if (reverse_) {
        head_->setAttributes(backgroundIndex_, foregroundIndex_, forced);
    } else {
        head_->setAttributes(foregroundIndex_, backgroundIndex_, forced);
    }
    foregroundChanged_ = false;
    backgroundChanged_ = false;
}

void PetsciiWriter::setForeground(forge::rgb_t colour) {
    if (inverse_) return;
    if (colour != foreground_) foregroundChanged_ = true;
    foreground_ = colour;
    foregroundIndex_ = Palette::indexOf(colour);
}

void PetsciiWriter::setBackground(forge::rgb_t colour) {
    if (colour != background_) backgroundChanged_ = true;
    background_ = colour;
    backgroundIndex_ = Palette::indexOf(colour);
}

void PetsciiWriter::setColours(forge::rgb_t foreground, forge::rgb_t background, forge::rgb_t highlight) {
    foreground_ = foreground;
    normalBackground_ = background;
    background_ = background;
    highlight_ = highlight;
    foregroundIndex_ = Palette::indexOf(foreground);
    backgroundIndex_ = Palette::indexOf(background);
    foregroundChanged_ = true;
    backgroundChanged_ = true;
}

void PetsciiWriter::setInverse(bool on) {
    setBackground(on ? highlight_ : normalBackground_);
    inverse_ = on;
}

void PetsciiWriter::setCellSize(std::uint32_t width, std::uint32_t height) {
    // The glyph cache keys glyphs by pixel height, so no font reload is needed.
    cellWidth_ = width;
    cellHeight_ = height;
}

void PetsciiWriter::clearOutput() {
    output_.clear();
    foregroundChanged_ = false;
    spanOpen_ = false;
}

}  // namespace platter
