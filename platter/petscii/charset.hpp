#pragma once

#include <cstdint>

namespace platter {

// The machine's two character sets, numbered as the text layer numbers them
// (0 upper-case/graphics, 1 lower/upper-case).
enum class Charset : std::uint8_t { upperGraphics = 0, lowerUpper = 1 };

// The screen writer, the document converters and the render settings keep an
// "upper-case flag" instead (nonzero = upper-case/graphics, 0 = lower/upper-case).
// Integers of that sense cross into this layer only through these two.
constexpr Charset charsetFromUpperFlag(std::uint32_t upperFlag) {
    return upperFlag != 0 ? Charset::upperGraphics : Charset::lowerUpper;
}

constexpr std::uint32_t upperFlagFromCharset(Charset charset) { return charset == Charset::upperGraphics ? 1u : 0u; }

}  // namespace platter
