#pragma once
// The distinct colours of an RGB picture, numbered in the order in which
// they first occur; the sixel encoder and the PNG writer number their
// colour registers and palette entries by it.

#include <cstdint>
#include <limits>
#include <span>
#include <unordered_map>
#include <vector>

#include "forge/rgb.hpp"

namespace forge {

// True when `pixels` holds a width x height picture of RGB triples and its
// byte count fits in memory sizes.
bool holdsRgbPicture(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height);

class ColourTable {
public:
    ColourTable() = default;

    // Collects at most limit + 1 colours: enough to tell that a picture has
    // more than `limit`, without hashing the rest of it. The pixels must
    // hold the picture (holdsRgbPicture).
    ColourTable(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height,
                std::size_t limit = std::numeric_limits<std::size_t>::max());

    std::size_t size() const { return colours_.size(); }
    const std::vector<rgb_t>& colours() const { return colours_; }

    // Number of a colour of the table; colours not in the table give size().
    std::uint32_t indexOf(rgb_t colour) const;

private:
    std::vector<rgb_t> colours_;
    std::unordered_map<rgb_t, std::uint32_t, rgb_hash, rgb_equal> numbers_{16};
};

inline ColourTable uniqueColours(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height) {
    return ColourTable(pixels, width, height);
}

// The colour of the RGB triple at `offset`.
inline rgb_t rgbAt(std::span<const std::uint8_t> pixels, std::size_t offset) {
    return {pixels[offset], pixels[offset + 1], pixels[offset + 2]};
}

}  // namespace forge
