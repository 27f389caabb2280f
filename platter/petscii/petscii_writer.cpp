#include "platter/petscii/petscii_writer.hpp"

#include <algorithm>

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

std::uint32_t scaled(std::uint32_t size, std::uint32_t scale) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{size} * scale, UINT32_MAX));
}

}  // namespace

PetsciiWriter::PetsciiWriter() : PetsciiWriter(nullptr, 16, 16, Charset::upperGraphics) {}

PetsciiWriter::PetsciiWriter(forge::raster_image_t* canvas, std::uint32_t cellWidth, std::uint32_t cellHeight,
                             Charset charset)
    : charset_(charset),
      canvas_(canvas),
      baseCellWidth_(cellWidth),
      baseCellHeight_(cellHeight),
      cellWidth_(cellWidth),
      cellHeight_(cellHeight),
      highlight_(g_default_palette.colour(kHighlightColour)),
      normalBackground_(g_default_palette.colour(kBackgroundColour)),
      background_(normalBackground_),
      foreground_(g_default_palette.colour(kForegroundColour)),
      backgroundIndex_(kBackgroundColour),
      foregroundIndex_(kForegroundColour) {
    loadFont();
}

PetsciiWriter::PetsciiWriter(const PetsciiWriter& other)
    : charset_(other.charset_),
      canvas_(other.canvas_),
      raw_(other.raw_),
      rawCount_(other.rawCount_),
      baseCellWidth_(other.baseCellWidth_),
      baseCellHeight_(other.baseCellHeight_),
      scale_(other.scale_),
      cellWidth_(other.cellWidth_),
      cellHeight_(other.cellHeight_),
      offsetX_(other.offsetX_),
      offsetY_(other.offsetY_),
      clip_(other.clip_),
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
    // A converter that outlives its writer must not reach back into it later.
    for (Converter* converter : bound_) {
        converter->sink_ = nullptr;
        converter->next_ = nullptr;
    }
}

void PetsciiWriter::link(Converter& converter) {
    if (head_ == &converter) return;
    bind(converter);
    unchain(converter);
    converter.next_ = head_;
    head_ = &converter;
}

Converter* PetsciiWriter::setConverter(Converter* converter) {
    Converter* const previous = head_;
    if (converter) bind(*converter);
    head_ = converter;
    return previous;
}

void PetsciiWriter::bind(Converter& converter) {
    if (converter.sink_ == this) return;
    if (converter.sink_) converter.sink_->release(converter);
    converter.sink_ = this;
    converter.next_ = nullptr;
    bound_.push_back(&converter);
}

void PetsciiWriter::release(Converter& converter) {
    std::erase(bound_, &converter);
    unchain(converter);
    // A converter that was never linked has nothing to restore; the
    // embedded one takes over rather than leave the head dangling.
    if (head_ == &converter) head_ = converter.next_ ? converter.next_ : &embedded_;
    converter.sink_ = nullptr;
    converter.next_ = nullptr;
}

void PetsciiWriter::unchain(const Converter& converter) {
    for (Converter* other : bound_) {
        if (other->next_ == &converter) other->next_ = converter.next_;
    }
}

bool PetsciiWriter::loadFont() {
    // One cache of the font serves the whole process; it is loaded once.
    glyphs_ = forge::embeddedFontGlyphs();
    return forge::embeddedFontLoaded();
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
    // Without a head the embedded converter still picks the glyph to draw.
    const std::uint16_t code = (head_ ? *head_ : embedded_).translate(c);
    if (canvas_ && column != kNoPosition && row != kNoPosition) drawCell(column, row, code, extraX, extraY);
    // A control code shown as a glyph takes the opposite reverse state.
    if (isControlCode(c) && code != c) {
        reverse_ = !reverse;
        reverseChanged_ = true;
    }
    if (!head_) return;
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
    const std::int64_t x = static_cast<std::int64_t>(stepX * column) + offsetX_;
    const std::int64_t y = static_cast<std::int64_t>(stepY * row) + offsetY_;
    drawGlyph(*glyphs_, *canvas_, code, static_cast<std::uint16_t>(cellHeight_), x, y, foreground_, background_, clip_);
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
    } else if (!canvas_ && head_) {
        head_->newline(kPetsciiReturn);
    }
    atLineStart_ = true;
}

void PetsciiWriter::clear() {
    if (!canvas_ || !canvas_->isWhole()) return;
    const pixel_bounds_t bounds = paintableBounds(*canvas_, clip_);
    const bool rgb = canvas_->channelOrder == forge::raster_image_t::kRgb;
    for (std::int64_t y = bounds.top; y < bounds.bottom; ++y) {
        std::uint8_t* pixel = canvas_->pixels.data() + static_cast<std::size_t>(y) * canvas_->rowIncrement +
                              static_cast<std::size_t>(bounds.left) * canvas_->bytesPerPixel;
        for (std::int64_t x = bounds.left; x < bounds.right; ++x, pixel += canvas_->bytesPerPixel) {
            pixel[0] = rgb ? background_.red : background_.blue;
            pixel[1] = background_.green;
            pixel[2] = rgb ? background_.blue : background_.red;
        }
    }
}

void PetsciiWriter::applyColours(bool forced) {
    if (!forced && !foregroundChanged_ && !backgroundChanged_ && !reverseChanged_) return;
    if (head_) {
        head_->setAttributes(reverse_ ? backgroundIndex_ : foregroundIndex_,
                             reverse_ ? foregroundIndex_ : backgroundIndex_, forced);
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
    baseCellWidth_ = width;
    baseCellHeight_ = height;
    updateCellSize();
}

void PetsciiWriter::setScale(std::uint32_t scale) {
    scale_ = scale;
    updateCellSize();
}

void PetsciiWriter::updateCellSize() {
    // The font's cells are square: scaling the height alone would overlap the glyphs.
    cellWidth_ = scaled(baseCellWidth_, scale_);
    cellHeight_ = scaled(baseCellHeight_, scale_);
}

void PetsciiWriter::clearOutput() {
    output_.clear();
    foregroundChanged_ = false;
    spanOpen_ = false;
}

}  // namespace platter
