#include "platter/petscii/palette.hpp"

#include <fstream>

namespace platter {

// Colour index -> name and RGB of the machine's 16 colours.
constexpr palette_entry_t g_c64_colours[g_c64_colour_count] = {
    {0x00, 0x00, 0x00, "Black"},    {0xFF, 0xFF, 0xFF, "White"},    {0x68, 0x2C, 0x2B, "Red"},
    {0x70, 0xA4, 0xB2, "Cyan"},     {0x6F, 0x3D, 0x86, "Purple"},   {0x58, 0x8D, 0x43, "Green"},
    {0x35, 0x28, 0x79, "Blue"},     {0xB8, 0xC7, 0x6F, "Yellow"},   {0x6F, 0x4F, 0x25, "Orange"},
    {0x43, 0x39, 0x00, "Brown"},    {0x9A, 0x67, 0x59, "Lt Red"},   {0x44, 0x44, 0x44, "Dark Grey"},
    {0x6C, 0x6C, 0x6C, "Med Grey"}, {0x9A, 0xD2, 0x84, "Lt Green"}, {0x6C, 0x5E, 0xB5, "Lt Blue"},
    {0x95, 0x95, 0x95, "Lt Grey"},
};

const Palette g_default_palette;

namespace {

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// One component: one or two hex digits and one white-space character.
bool readComponent(std::string_view line, std::size_t& pos, std::uint8_t& value) {
    if (pos >= line.size() || !isHexDigit(line[pos])) return false;
    value = hexDigitValue(line[pos++]);
    if (pos < line.size() && isHexDigit(line[pos])) {
        value = static_cast<std::uint8_t>(value * 16 + hexDigitValue(line[pos++]));
    } else {
        value = static_cast<std::uint8_t>(value * 16);
    }
    if (pos >= line.size() || !isWhiteSpace(line[pos])) return false;
    ++pos;
    return true;
}

}  // namespace

std::uint8_t hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
    return 0;
}

Palette::Palette() { loadDefaults(0); }

Palette::Palette(const std::string& path) { load(path); }

std::uint8_t Palette::loadDefaults(std::size_t first) {
    for (std::size_t index = first; index < g_c64_colour_count; ++index) {
        const auto& entry = g_c64_colours[index];
        colours_.push_back({entry.r, entry.g, entry.b});
    }
    setNone();
    return 255;
}

bool Palette::load(const std::string& path) {
    colours_.clear();
    if (!path.empty()) {
        std::ifstream file(path);
        std::string line;
        while (file && std::getline(file, line)) parseLine(line);
        if (colours_.size() >= g_c64_colour_count) {
            setNone();
            return true;
        }
    }
    loadDefaults(colours_.size());
    return false;
}

void Palette::parseLine(std::string_view line) {
    if (line.empty() || line[0] == '#') return;
    std::size_t pos = 0;
    forge::rgb_t rgb;
    if (readComponent(line, pos, rgb.red) && readComponent(line, pos, rgb.green) &&
        readComponent(line, pos, rgb.blue)) {
        colours_.push_back(rgb);
    }
}

forge::rgb_t Palette::colourAt(std::size_t index) const {
    return index < colours_.size() && index < g_c64_colour_count ? colours_[index] : none_;
}

forge::rgb_t Palette::colourByName(std::string_view name) const {
    for (std::size_t index = 0; index < g_c64_colour_count; ++index) {
        if (g_c64_colours[index].name == name) return colourAt(index);
    }
    return none_;
}

std::size_t Palette::indexOf(forge::rgb_t rgb) {
    for (std::size_t index = 0; index < g_c64_colour_count; ++index) {
        const auto& entry = g_c64_colours[index];
        if (entry.r == rgb.red && entry.g == rgb.green && entry.b == rgb.blue) return index;
    }
    return 0;
}

}  // namespace platter
