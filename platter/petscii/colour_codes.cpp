#include "platter/petscii/colour_codes.hpp"

namespace platter {

// Colour index 0-15 -> PETSCII colour control code (black, white, red, cyan,
// purple, green, blue, yellow, orange, brown, light red, dark grey, grey,
// light green, light blue, light grey).
constexpr std::array<std::uint8_t, 16> g_petscii_colour_codes = {
    0x90, 0x05, 0x1C, 0x9F, 0x9C, 0x1E, 0x1F, 0x9E, 0x81, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B,
};

// Colour index 0-8 -> PETSCII colour control code.
constexpr std::array<std::uint8_t, 9> g_colour_index_to_code = {
    0x90, 0x05, 0x1C, 0x9F, 0x9C, 0x1E, 0x1F, 0x9E, 0x81,
};

int petsciiToColour(std::uint8_t c) {
    if (c >= 0x95 && c <= 0x9B) return c - 0x95 + 9;
    for (std::size_t index = 0; index < g_colour_index_to_code.size(); ++index) {
        if (g_colour_index_to_code[index] == c) return static_cast<int>(index);
    }
    return -1;
}

bool isColourCode(std::uint8_t c) { return petsciiToColour(c) >= 0; }

int colourToPetscii(int index) {
    if (index >= 0 && index <= 8) return g_colour_index_to_code[static_cast<std::size_t>(index)];
    if (index >= 9 && index <= 15) return 0x95 + index - 9;
    return -1;
}

}  // namespace platter
