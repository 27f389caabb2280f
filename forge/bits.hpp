#pragma once

#include <cstdint>

namespace forge {

// The number of 1 bits. std::popcount calls a library routine on a target without the
// instruction; this stays inline, a dozen operations.
constexpr int bitCount(std::uint32_t value) {
    value -= (value >> 1) & 0x55555555u;
    value = (value & 0x33333333u) + ((value >> 2) & 0x33333333u);
    return static_cast<int>((((value + (value >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}

}  // namespace forge
