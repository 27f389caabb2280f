#pragma once
// DEC sixel encoding of RGB pictures for terminals with sixel graphics.

#include <cstdint>
#include <span>
#include <vector>

namespace forge {

// Most colour registers a picture may use.
inline constexpr std::size_t kSixelMaxColours = 256;

// Appends the sixel stream of a width x height RGB picture to `out`. False,
// with nothing appended, when the pixels do not hold the picture or it has
// more than kSixelMaxColours colours. An empty picture gives the start and
// end sequences only.
bool rgbToSixel(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height,
                std::vector<std::uint8_t>& out);

}  // namespace forge
