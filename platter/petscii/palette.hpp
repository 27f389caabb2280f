#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forge/rgb.hpp"

namespace platter {

// One row of the built-in colour table.
struct palette_entry_t {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::string_view name;
};

inline constexpr std::size_t g_c64_colour_count = 16;
extern const palette_entry_t g_c64_colours[g_c64_colour_count];

// Value of a hexadecimal digit ('0'-'9', 'a'-'f', 'A'-'F'); 0 for anything else.
std::uint8_t hexDigitValue(char c);

// The 16 colours of the machine, plus the marker colour that stands for none.
class Palette {
public:
    static constexpr forge::rgb_t kNone{255, 0, 255};

    // The built-in colours.
    Palette();
    // Colours read from a palette file (see load).
    explicit Palette(const std::string& path);

    // Appends the built-in colours first..15 and resets none.
    std::uint8_t loadDefaults(std::size_t first);
    // Reads one colour per line ("h[h] h[h] h[h] "); true with 16 or more
    // colours read, else completed with the built-in colours and false.
    bool load(const std::string& path);
    // Appends the colour of one line, or nothing.
    void parseLine(std::string_view line);

    // The colour of the index, none when the palette holds no such colour.
    forge::rgb_t colourAt(std::size_t index) const;
    // Unchecked: the caller passes an index the palette holds.
    forge::rgb_t colour(std::size_t index) const { return colours_[index]; }
    // The colour at the index of the built-in name (exact case), else none.
    forge::rgb_t colourByName(std::string_view name) const;
    // Index of the first built-in colour equal to rgb; 0 when none is.
    static std::size_t indexOf(forge::rgb_t rgb);

    void setNone() { none_ = kNone; }
    void clear() { colours_.clear(); }
    std::size_t size() const { return colours_.size(); }
    forge::rgb_t none() const { return none_; }

private:
    std::vector<forge::rgb_t> colours_;
    forge::rgb_t none_ = kNone;
};

// The palette the renderers, writer and converters use.
extern const Palette g_default_palette;

}  // namespace platter
