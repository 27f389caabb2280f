#pragma once

#include <array>
#include <cstdint>

namespace platter {

// The control codes of reverse video (RVS ON, RVS OFF) and of the line end.
inline constexpr std::uint8_t kPetsciiReverseOn = 18;
inline constexpr std::uint8_t kPetsciiReverseOff = 146;
inline constexpr std::uint8_t kPetsciiReturn = 13;

// PETSCII colour control code of each colour index 0-15.
extern const std::array<std::uint8_t, 16> g_petscii_colour_codes;
// The same map for the indices 0-8 alone.
extern const std::array<std::uint8_t, 9> g_colour_index_to_code;

// Colour index of a colour control code, or -1.
int petsciiToColour(std::uint8_t c);
bool isColourCode(std::uint8_t c);
// Colour control code of an index 0-15, or -1.
int colourToPetscii(int index);

}  // namespace platter
