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

// One walk over the text: the line table always, the drawing when a writer is given.
class Layout {
public:
    Layout(bitmap_render_settings_t& settings, PetsciiWriter* writer)
        : s_(settings), writer_(writer), width_(std::max<std::uint64_t>(settings.lineWidth, 1)) {
        s_.longestLine = 0;
        s_.lines.assign(1, layout_line_t{});
        charset_ = writer ? writer->charset() : Charset::upperGraphics;
    }

    std::uint64_t run() {
        const std::span<const std::uint8_t> text(s_.text);
        bool inWord = false;
        for (pos_ = 0; pos_ < text.size(); ++pos_) {
            const std::uint8_t c = text[pos_];
            if (c == kPetsciiReturn || c == kShiftReturn) {
                quote_ = false;
                reverse_ = false;
                newLine(pos_ + 1);
                inWord = false;
            } else if (c == ' ' || (c == kCursorRight && s_.wrap && !quote_)) {
                draw(' ');
                inWord = false;
            } else if (c == kCursorLeft) {
                stepBack(1);
                inWord = false;
            } else {
                if (!inWord) wrapWord(text.subspan(pos_));
                inWord = true;
                character(c);
            }
        }
        s_.longestLine = std::max(s_.longestLine, column_);
        return s_.lines.size();
    }

private:
    // Starts the next word on a new line when it would not fit the rest of this one.
    void wrapWord(std::span<const std::uint8_t> rest) {
        if (!s_.wrap || !s_.wordWrap || column_ == 0) return;
        const std::uint64_t length = measurePetsciiWord(rest, !s_.interpretControls).printable;
        if (length < width_ && column_ + length > width_) newLine(pos_);
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
            writer_->putChar(clamp32(column_), clamp32(s_.lines.size() - 1), c, reverse_ || highlighted);
        }
        if (++column_ >= width_ && s_.wrap) newLine(pos_ + 1);
    }

    // The new line starts at byte `offset` of the text.
    void newLine(std::uint64_t offset) {
        s_.longestLine = std::max(s_.longestLine, column_);
        s_.lines.push_back({offset, quote_, reverse_});
        column_ = 0;
        if (writer_ && !writer_->canvas()) writer_->newline();
    }

    // Cursor left, delete and insert: back along the line, and at its start
    // to the end of the line before; nothing before the text's first cell.
    void stepBack(std::uint64_t columns) {
        if (column_ > 0) {
            column_ -= std::min(column_, columns);
        } else if (s_.lines.size() > 1) {
            s_.lines.pop_back();
            column_ = width_ - 1;
        }
    }

    static std::uint32_t clamp32(std::uint64_t value) {
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, PetsciiWriter::kNoPosition - 1));
    }

    bitmap_render_settings_t& s_;
    PetsciiWriter* writer_;
    const std::uint64_t width_;
    Charset charset_;
    std::uint64_t pos_ = 0;
    std::uint64_t column_ = 0;
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

std::uint64_t layoutPetsciiText(bitmap_render_settings_t& settings, PetsciiWriter* writer) {
    return Layout(settings, writer).run();
}

forge::raster_image_t renderPetsciiTextImage(bitmap_render_settings_t& settings) {
    const std::uint64_t lines = layoutPetsciiText(settings, nullptr);
    const std::uint64_t width = std::uint64_t{settings.cellWidth} * std::max<std::uint64_t>(settings.lineWidth, 1);
    const std::uint64_t height = std::uint64_t{settings.cellHeight} * lines;
    forge::raster_image_t picture = forge::raster_image_t::black(width, height);
    if (picture.pixels.empty()) return picture;
    PetsciiWriter writer(&picture, settings.cellWidth, settings.cellHeight, settings.charset);
    writer.setOrigin(0, 0);
    writer.setColours(settings.foreground, settings.background, settings.highlight);
    writer.clear();
    layoutPetsciiText(settings, &writer);
    return picture;
}

}  // namespace platter
