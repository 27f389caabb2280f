#include "platter/petscii/render_settings.hpp"

#include <algorithm>

#include "platter/petscii/colour_codes.hpp"
#include "platter/petscii/palette.hpp"
#include "platter/petscii/petscii_word.hpp"
#include "platter/petscii/petscii_writer.hpp"

namespace platter {

namespace {

constexpr std::uint8_t kShiftReturn = 141;
constexpr std::uint8_t kQuote = 34;
constexpr std::uint8_t kCursorRight = 29;
constexpr std::uint8_t kCursorLeft = 157;
constexpr std::uint8_t kCursorDown = 17;
constexpr std::uint8_t kCursorUp = 145;
constexpr std::uint8_t kLowerCase = 14;
constexpr std::uint8_t kUpperCase = 142;
constexpr std::uint8_t kDelete = 20;
constexpr std::uint8_t kInsert = 148;

bool isPrintable(std::uint8_t c) { return (c >= 32 && c <= 127) || c >= 160; }

// One walk over the text: the line table when rebuilding, the drawing when a writer is given.
class Layout {
public:
    Layout(bitmap_render_settings_t& settings, PetsciiWriter* writer, const layout_range_t& range)
        : s_(settings), writer_(writer), range_(range), width_(std::max<std::uint64_t>(settings.lineWidth, 1)) {
        s_.longestLine = 0;
        charset_ = writer ? writer->charset() : Charset::upperGraphics;
        if (range.rebuild) {
            s_.lines.assign(1, layout_line_t{});
            return;
        }
        first_ = range.firstLine;
        if (range.start) {
            pos_ = std::min<std::uint64_t>(*range.start, s_.text.size());
            line_ = first_;
        } else if (first_ < s_.lines.size()) {
            const layout_line_t& line = s_.lines[first_];
            pos_ = std::min<std::uint64_t>(line.offset, s_.text.size());
            quote_ = line.quote;
            reverse_ = line.reverse;
            line_ = first_;
        }
    }

    layout_result_t run() {
        const std::span<const std::uint8_t> text(s_.text);
        for (; pos_ < text.size() && !reachedLimit(); ++pos_) {
            if (s_.rawMode) {
                rawCharacter(text.subspan(pos_));
            } else {
                interpretedCharacter(text.subspan(pos_));
            }
        }
        s_.longestLine = std::max(s_.longestLine, column_);
        return {line_ + 1 > first_ ? line_ + 1 - first_ : 0, pos_};
    }

private:
    bool reachedLimit() const {
        if (range_.lineLimit == 0) return false;
        const std::uint64_t last = first_ + range_.lineLimit - 1;
        return line_ > last || (line_ == last && column_ >= range_.columnLimit);
    }

    void interpretedCharacter(std::span<const std::uint8_t> rest) {
        const std::uint8_t c = rest[0];
        if (c == kPetsciiReturn || c == kShiftReturn) {
            quote_ = false;
            reverse_ = false;
            newLine(pos_ + 1);
            inWord_ = false;
        } else if (c == ' ' || (c == kCursorRight && s_.wrap && !quote_)) {
            draw(' ');
            inWord_ = false;
        } else if (c == kCursorLeft) {
            stepBack(1);
            inWord_ = false;
        } else {
            if (!inWord_) wrapWord(measurePetsciiWord(rest, !s_.interpretControls).printable, false);
            inWord_ = true;
            character(c);
        }
    }

    void rawCharacter(std::span<const std::uint8_t> rest) {
        const std::uint8_t c = rest[0];
        if (s_.wrap && c == ' ') {
            inWord_ = false;
        } else if (s_.wrap && !inWord_) {
            wrapWord(static_cast<std::uint64_t>(std::find(rest.begin(), rest.end(), ' ') - rest.begin()), true);
            inWord_ = true;
        }
        draw(c);
    }

    // Starts the next word on a new line when it would not fit the rest of
    // this one; a word longer than a line moves only when `longWordsMove`.
    void wrapWord(std::uint64_t length, bool longWordsMove) {
        if (!s_.wrap || !s_.wordWrap || column_ == 0) return;
        if ((longWordsMove || length < width_) && column_ + length > width_) newLine(pos_);
    }

    void character(std::uint8_t c) {
        if (!s_.interpretControls || (quote_ && c != kInsert) || isPrintable(c)) {
            if (c == kQuote) quote_ = !quote_;
            draw(c);
            return;
        }
        if (const int colour = petsciiToColour(c); colour >= 0) {
            if (writer_) writer_->setForeground(g_default_palette.colour(static_cast<std::size_t>(colour)));
            return;
        }
        switch (c) {
            case kLowerCase:
                if (writer_) writer_->setCharset(Charset::lowerUpper);
                break;
            case kUpperCase:
                if (writer_) writer_->setCharset(charset_);
                break;
            case kCursorDown:
            case kCursorUp: {
                const std::uint64_t column = column_;
                quote_ = false;
                newLine(pos_ + 1);
                column_ = column;
                break;
            }
            case kPetsciiReverseOn: reverse_ = true; break;
            case kPetsciiReverseOff:
                reverse_ = false;
                quote_ = false;
                break;
            case kDelete: stepBack(1); break;
            case kInsert: stepBack(2); break;
            default: quote_ = false; break;
        }
    }

    void draw(std::uint8_t c) {
        if (writer_) {
            const bool highlighted = pos_ >= s_.highlightStart && pos_ < s_.highlightEnd;
            writer_->putChar(clamp32(column_), clamp32(line_), c, reverse_ || highlighted);
        }
        if (++column_ >= width_ && s_.wrap) newLine(pos_ + 1);
    }

    // The new line starts at byte `offset` of the text.
    void newLine(std::uint64_t offset) {
        s_.longestLine = std::max(s_.longestLine, column_);
        ++line_;
        if (range_.rebuild) s_.lines.push_back({offset, quote_, reverse_});
        column_ = 0;
        if (writer_ && !writer_->canvas()) writer_->newline();
    }

    // Cursor left, delete and insert: back along the line, and at its start
    // to the end of the line before; nothing before the text's first cell.
    void stepBack(std::uint64_t columns) {
        if (column_ > 0) {
            column_ -= std::min(column_, columns);
        } else if (line_ > 0) {
            --line_;
            if (range_.rebuild) s_.lines.pop_back();
            column_ = width_ - 1;
        }
    }

    static std::uint32_t clamp32(std::uint64_t value) {
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, PetsciiWriter::kNoPosition - 1));
    }

    bitmap_render_settings_t& s_;
    PetsciiWriter* writer_;
    const layout_range_t& range_;
    const std::uint64_t width_;
    Charset charset_;
    std::uint64_t first_ = 0;  // the line the limits count from
    std::uint64_t line_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t column_ = 0;
    bool inWord_ = false;
    bool quote_ = false;
    bool reverse_ = false;
};

}  // namespace

bitmap_render_settings_t renderSettingsFor(const PetsciiWriter& writer, std::vector<std::uint8_t> text) {
    bitmap_render_settings_t settings;
    settings.foreground = writer.foreground();
    settings.background = writer.background();
    settings.highlight = writer.highlight();
    settings.cellWidth = writer.cellWidth();
    settings.cellHeight = writer.cellHeight();
    settings.charset = writer.charset();
    settings.text = std::move(text);
    return settings;
}

layout_result_t layoutPetsciiText(bitmap_render_settings_t& settings, PetsciiWriter* writer,
                                  const layout_range_t& range) {
    return Layout(settings, writer, range).run();
}

std::uint64_t layoutPetsciiText(bitmap_render_settings_t& settings, PetsciiWriter* writer) {
    return layoutPetsciiText(settings, writer, layout_range_t{}).lines;
}

forge::raster_image_t renderPetsciiTextImage(bitmap_render_settings_t& settings) {
    const std::uint64_t lines = layoutPetsciiText(settings, nullptr);
    const std::uint64_t width = std::uint64_t{settings.cellWidth} * std::max<std::uint64_t>(settings.lineWidth, 1);
    const std::uint64_t height = std::uint64_t{settings.cellHeight} * lines;
    forge::raster_image_t picture = forge::raster_image_t::black(width, height);
    if (picture.pixels.empty()) return picture;
    // Both sides fit: the picture is at most raster_image_t::kLargestBytes.
    const pixel_window_t whole{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    drawPetsciiTextRows(settings, picture, whole, 0, lines);
    return picture;
}

void drawPetsciiTextRows(bitmap_render_settings_t& settings, forge::raster_image_t& picture,
                         const pixel_window_t& window, std::uint64_t firstRow, std::uint64_t rowCount) {
    const std::uint32_t cellHeight = settings.cellHeight;
    if (window.empty() || cellHeight == 0 || cellHeight > UINT16_MAX) return;
    if (settings.lines.empty()) layoutPetsciiText(settings, nullptr);
    PetsciiWriter writer(&picture, settings.cellWidth, cellHeight, settings.charset);
    writer.setColours(settings.foreground, settings.background, settings.highlight);
    writer.setClipWindow(window);
    writer.clear();
    if (firstRow >= settings.lines.size()) return;
    rowCount = std::min<std::uint64_t>(rowCount, settings.lines.size() - firstRow);
    // Row firstRow at the window's top; the table has fewer rows than memory
    // has bytes, so the pixel offset fits.
    writer.setOffset(
        std::int64_t{window.x} - PetsciiWriter::kBorder,
        std::int64_t{window.y} - static_cast<std::int64_t>(firstRow * cellHeight) - PetsciiWriter::kBorder);
    // The rows beside the window are walked too, as cursor and delete codes
    // carry text across row boundaries; the clip window keeps them out.
    layout_range_t range;
    range.rebuild = false;
    range.firstLine = firstRow > 0 ? firstRow - 1 : 0;
    range.lineLimit = firstRow + rowCount + 2 - range.firstLine;
    layoutPetsciiText(settings, &writer, range);
}

}  // namespace platter
