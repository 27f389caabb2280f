#include "forge/sixel.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "forge/colour_table.hpp"

namespace forge {

namespace {

constexpr std::size_t kBandRows = 6;
constexpr std::uint8_t kLongestRun = 255;

void appendText(std::vector<std::uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

// Run-length packing of the sixel bytes of one row: runs of four or more
// become "!" + count + byte.
class rle_buffer_t {
public:
    explicit rle_buffer_t(std::vector<std::uint8_t>& out) : out_(out) {}

    void put(std::uint8_t byte) {
        if (length_ != 0 && byte == run_ && length_ != kLongestRun) {
            ++length_;
            return;
        }
        flush();
        run_ = byte;
        length_ = 1;
    }

    void flush() {
        if (length_ >= 4) {
            appendText(out_, "!" + std::to_string(length_));
            out_.push_back(run_);
        } else {
            out_.insert(out_.end(), length_, run_);
        }
        length_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint8_t run_ = 0;
    std::uint8_t length_ = 0;
};

int percent(std::uint8_t value) { return static_cast<int>(value * 100.0 / 255.0); }

// Colour register numbers of all pixels, row-major.
std::vector<std::uint8_t> colourNumbers(std::span<const std::uint8_t> pixels, std::size_t count,
                                        const ColourTable& table) {
    std::vector<std::uint8_t> numbers(count);
    rgb_t previous{};
    std::uint8_t number = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const rgb_t colour = rgbAt(pixels, i * 3);
        if (i == 0 || colour != previous) {
            previous = colour;
            number = static_cast<std::uint8_t>(table.indexOf(colour));
        }
        numbers[i] = number;
    }
    return numbers;
}

}  // namespace

bool rgbToSixel(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height,
                std::vector<std::uint8_t>& out) {
    if (!holdsRgbPicture(pixels, width, height)) {
        return false;
    }
    const ColourTable table(pixels, width, height, kSixelMaxColours);
    if (table.size() > kSixelMaxColours) {
        return false;
    }
    const std::uint8_t start[] = {0x1B, 'P'};
    out.insert(out.end(), std::begin(start), std::end(start));
    appendText(out, "9;1;0q\n");
    if (width != 0 && height != 0) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            const rgb_t colour = table.colours()[i];
            appendText(out, "#" + std::to_string(i) + ";2;" + std::to_string(percent(colour.red)) + ";" +
                                std::to_string(percent(colour.green)) + ";" + std::to_string(percent(colour.blue)));
        }
        out.push_back('\n');

        const std::size_t columns = static_cast<std::size_t>(width);
        const std::size_t rows = static_cast<std::size_t>(height);
        const std::vector<std::uint8_t> numbers = colourNumbers(pixels, columns * rows, table);
        rle_buffer_t run(out);
        for (std::size_t top = 0; top < rows; top += kBandRows) {
            const std::size_t bandRows = std::min(kBandRows, rows - top);
            const std::uint8_t* band = numbers.data() + top * columns;
            std::array<bool, kSixelMaxColours> present{};
            for (std::size_t i = 0; i < bandRows * columns; ++i) {
                present[band[i]] = true;
            }
            std::size_t last = present.size();
            while (!present[--last]) {}
            for (std::size_t colour = 0; colour <= last; ++colour) {
                if (!present[colour]) {
                    continue;
                }
                appendText(out, "#" + std::to_string(colour));
                for (std::size_t x = 0; x < columns; ++x) {
                    std::uint8_t sixel = 0;
                    for (std::size_t k = 0; k < bandRows; ++k) {
                        if (band[k * columns + x] == colour) {
                            sixel |= static_cast<std::uint8_t>(1u << k);
                        }
                    }
                    run.put(static_cast<std::uint8_t>('?' + sixel));
                }
                run.flush();
                appendText(out, colour == last ? "-\n" : "$\n");
            }
        }
    }
    const std::uint8_t end[] = {0x1B, '\\'};
    out.insert(out.end(), std::begin(end), std::end(end));
    return true;
}

}  // namespace forge
