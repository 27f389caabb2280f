#include "forge/scale.hpp"

#include <algorithm>
#include <limits>

#include "forge/colour_table.hpp"

namespace forge {

bool scaleRgb(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height, std::uint64_t scale,
              std::vector<std::uint8_t>& out) {
    if (!holdsRgbPicture(pixels, width, height)) {
        return false;
    }
    const std::uint64_t most = std::numeric_limits<std::size_t>::max() / 3;
    std::uint64_t scaledWidth = 0;
    std::uint64_t scaledHeight = 0;
    if (scale != 0 && width != 0 && height != 0) {
        if (width > most / scale || height > most / scale) {
            return false;
        }
        scaledWidth = width * scale;
        scaledHeight = height * scale;
        if (scaledWidth > most / scaledHeight) {
            return false;
        }
    }
    const std::size_t rowBytes = static_cast<std::size_t>(scaledWidth * 3);
    std::vector<std::uint8_t> scaled(rowBytes * static_cast<std::size_t>(scaledHeight));
    std::uint8_t* target = scaled.data();
    for (std::uint64_t y = 0; y < scaledHeight; y += scale) {
        std::uint8_t* row = target;
        for (const std::uint8_t *pixel = pixels.data() + y / scale * width * 3, *end = pixel + width * 3; pixel != end;
             pixel += 3) {
            for (std::uint64_t copy = 0; copy < scale; ++copy) {
                target = std::copy(pixel, pixel + 3, target);
            }
        }
        for (std::uint64_t copy = 1; copy < scale; ++copy) {
            target = std::copy(row, row + rowBytes, target);
        }
    }
    out = std::move(scaled);
    return true;
}

std::vector<std::uint8_t> scaleRgb(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height,
                                   std::uint64_t scale) {
    std::vector<std::uint8_t> out;
    scaleRgb(pixels, width, height, scale, out);
    return out;
}

}  // namespace forge
