#pragma once
// An RGB picture as the glyph painters and picture writers share it.

#include <cstdint>
#include <vector>

namespace forge {

struct raster_image_t {
    static constexpr std::uint32_t kRgb = 0;  // channel order; any other value is blue, green, red
    static constexpr std::uint32_t kBgr = 1;
    // Pictures made from untrusted sizes (a directory of millions of
    // entries, a text of millions of lines) stop here.
    static constexpr std::uint64_t kLargestBytes = std::uint64_t{1} << 28;

    std::uint32_t width = 0;         // pixels
    std::uint32_t height = 0;        // rows
    std::uint32_t rowIncrement = 0;  // bytes from one row to the next
    std::uint32_t bytesPerPixel = 3;
    std::uint32_t channelOrder = kRgb;
    std::vector<std::uint8_t> pixels;

    // A black RGB picture, rows packed without padding; an empty one when
    // it would be larger than kLargestBytes.
    static raster_image_t black(std::uint64_t width, std::uint64_t height) {
        raster_image_t picture;
        if (width > kLargestBytes / 3 || height > kLargestBytes || width * 3 * height > kLargestBytes) return picture;
        picture.width = static_cast<std::uint32_t>(width);
        picture.height = static_cast<std::uint32_t>(height);
        picture.rowIncrement = picture.width * 3;
        picture.pixels.assign(std::size_t{picture.rowIncrement} * height, 0);
        return picture;
    }

    // Whether every pixel of every row lies inside the pixel bytes; painters
    // check this once instead of per pixel.
    bool isWhole() const {
        const std::uint64_t rowBytes = std::uint64_t{width} * bytesPerPixel;
        if (bytesPerPixel < 3 || rowIncrement < rowBytes) return false;
        return height == 0 || std::uint64_t{rowIncrement} * (height - 1) + rowBytes <= pixels.size();
    }
};

}  // namespace forge
