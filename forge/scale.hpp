#pragma once
// Integer nearest-neighbour enlargement of RGB pictures.

#include <cstdint>
#include <span>
#include <vector>

namespace forge {

// out = the width x height RGB picture with every pixel repeated `scale`
// times across and every row `scale` times down. False, with out left
// as it was, when the pixels do not hold the picture or the result would
// not fit in memory sizes.
bool scaleRgb(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height, std::uint64_t scale,
              std::vector<std::uint8_t>& out);

// The same, returning the enlarged picture (empty on failure).
std::vector<std::uint8_t> scaleRgb(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height,
                                   std::uint64_t scale);

}  // namespace forge
