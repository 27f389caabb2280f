#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "forge/glyph_cache.hpp"
#include "forge/raster_image.hpp"
#include "forge/rgb.hpp"
#include "platter/petscii/charset.hpp"
#include "platter/petscii/pixel_window.hpp"
#include "platter/petscii/text_converters.hpp"

namespace platter {

// The one place PETSCII characters are written to a screen: each character put
// at a cell is drawn into the canvas (when there is one) and handed to the head
// of the converter chain, whose bytes collect in the output. The writer keeps
// the colours (foreground, background, highlight for inverse lines) and tells
// the head when they or the reverse state change.
class PetsciiWriter {
public:
    // Column and row of a character that has no cell (drawn nowhere).
    static constexpr std::uint32_t kNoPosition = 0xFFFFFFFF;
    // Pixels between the canvas edge and cell (0, 0) at offset (0, 0).
    static constexpr std::int64_t kBorder = 2;

    // No canvas, 16 x 16 cells, the upper-case/graphics set.
    PetsciiWriter();
    // The canvas, if any, is the caller's and must outlive the writer.
    PetsciiWriter(forge::raster_image_t* canvas, std::uint32_t cellWidth, std::uint32_t cellHeight, Charset charset);
    // State, colours and output are copied; the copy's head is its own
    // embedded converter.
    PetsciiWriter(const PetsciiWriter& other);
    PetsciiWriter& operator=(const PetsciiWriter&) = delete;
    ~PetsciiWriter();

    void putChar(std::uint32_t column, std::uint32_t row, std::uint8_t c, bool reverse, std::uint32_t extraX = 0,
                 std::uint32_t extraY = 0);
    void write(std::uint32_t column, std::uint32_t row, std::span<const std::uint8_t> bytes, bool reverse);
    void write(std::uint32_t column, std::uint32_t row, std::string_view text, bool reverse);
    // Ends a line: a CR put without a cell in carriage-return mode, else the
    // head's newline when there is no canvas.
    void newline();
    // Fills the canvas (inside the clip window, when there is one) with the
    // current background.
    void clear();
    // Tells the head the colours when they or the reverse state changed (or always when forced).
    void applyColours(bool forced);

    // Ignored while inverse colouring is on.
    void setForeground(forge::rgb_t colour);
    void setBackground(forge::rgb_t colour);
    void setColours(forge::rgb_t foreground, forge::rgb_t background, forge::rgb_t highlight);
    // On: the background becomes the highlight colour and the foreground is
    // kept; off: the normal background returns.
    void setInverse(bool on);
    // Cell (0, 0) at canvas pixel (x + 2, y + 2): (0, 0) keeps the border.
    void setOffset(std::int64_t x, std::int64_t y) {
        offsetX_ = x + kBorder;
        offsetY_ = y + kBorder;
    }
    // The cell size at scale 1.
    void setCellSize(std::uint32_t width, std::uint32_t height);
    // Cells (and so glyphs) of scale times the cell size.
    void setScale(std::uint32_t scale);
    // Nothing is drawn outside the window (nor outside the canvas).
    void setClipWindow(const pixel_window_t& window) { clip_ = window; }
    void setCarriageReturnMode(bool on) { carriageReturnMode_ = on; }
    void setCharset(Charset charset) { charset_ = charset; }
    void setCanvas(forge::raster_image_t* canvas) { canvas_ = canvas; }
    // Raw mode: characters are only stored here, up to its size, and go
    // nowhere else. The buffer is the caller's.
    void setRawBuffer(std::span<std::uint8_t> buffer) {
        raw_ = buffer;
        rawCount_ = 0;
    }
    std::size_t rawCount() const { return rawCount_; }
    // Makes the converter (which may be null) the head without linking it,
    // so destroying it puts back no previous head: the caller restores the
    // returned one. The converter writes into this writer from now on.
    Converter* setConverter(Converter* converter);
    // Hands the embedded font to the glyph cache; false when the cache
    // refused it (glyphs are then blank cells; text output is unaffected).
    bool loadFont();

    void appendByte(std::uint8_t byte) { output_.push_back(byte); }
    void appendBytes(std::span<const std::uint8_t> bytes) { output_.insert(output_.end(), bytes.begin(), bytes.end()); }
    void appendText(std::string_view text) { output_.insert(output_.end(), text.begin(), text.end()); }
    const std::vector<std::uint8_t>& output() const { return output_; }
    void setOutput(std::span<const std::uint8_t> bytes) { output_.assign(bytes.begin(), bytes.end()); }
    // Empties the output; a new document starts without an open span or a
    // pending foreground change.
    void clearOutput();

    Charset charset() const { return charset_; }
    forge::raster_image_t* canvas() const { return canvas_; }
    std::uint32_t cellWidth() const { return cellWidth_; }
    std::uint32_t cellHeight() const { return cellHeight_; }
    bool carriageReturnMode() const { return carriageReturnMode_; }
    forge::rgb_t foreground() const { return foreground_; }
    forge::rgb_t background() const { return background_; }
    forge::rgb_t highlight() const { return highlight_; }
    // Null when setConverter took the head away.
    Converter* head() const { return head_; }

    // State the converters read and keep.
    bool isReversed() const { return reverse_; }
    bool reverseChanged() const { return reverseChanged_; }
    bool foregroundChanged() const { return foregroundChanged_; }
    bool backgroundChanged() const { return backgroundChanged_; }
    void markBackgroundChanged() { backgroundChanged_ = true; }
    bool noPosition() const { return noPosition_; }
    bool spanOpen() const { return spanOpen_; }
    void setSpanOpen(bool open) { spanOpen_ = open; }

private:
    friend class Converter;
    // The head from now on, remembering the previous one to restore.
    void link(Converter& converter);
    // Converters that write here are told when the writer goes, and the
    // writer when one of them goes.
    void bind(Converter& converter);
    void release(Converter& converter);
    // Whoever would restore the converter as head restores its own previous one.
    void unchain(const Converter& converter);
    void updateCellSize();
    void drawCell(std::uint32_t column, std::uint32_t row, std::uint16_t code, std::uint32_t extraX,
                  std::uint32_t extraY);

    Charset charset_ = Charset::upperGraphics;
    forge::raster_image_t* canvas_ = nullptr;
    std::span<std::uint8_t> raw_;
    std::size_t rawCount_ = 0;
    std::uint32_t baseCellWidth_ = 16;
    std::uint32_t baseCellHeight_ = 16;
    std::uint32_t scale_ = 1;
    std::uint32_t cellWidth_ = 16;
    std::uint32_t cellHeight_ = 16;
    std::int64_t offsetX_ = kBorder;
    std::int64_t offsetY_ = kBorder;
    std::optional<pixel_window_t> clip_;
    forge::rgb_t highlight_;
    forge::rgb_t normalBackground_;
    forge::rgb_t background_;
    forge::rgb_t foreground_;
    std::uint64_t backgroundIndex_ = 0;
    std::uint64_t foregroundIndex_ = 0;
    std::vector<std::uint8_t> output_;
    bool reverse_ = false;
    bool reverseChanged_ = false;
    bool foregroundChanged_ = true;
    bool backgroundChanged_ = true;
    bool inverse_ = false;
    bool noPosition_ = false;
    bool spanOpen_ = false;
    bool atLineStart_ = true;
    bool carriageReturnMode_ = false;
    std::shared_ptr<forge::GlyphCache> glyphs_;
    Converter* head_ = nullptr;
    std::vector<Converter*> bound_;
    EliteConverter embedded_{this};  // the head while no other converter is linked
};

}  // namespace platter
