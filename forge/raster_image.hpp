#pragma once
// An RGB picture in memory: what the picture decoders fill, the PETSCII writer
// draws into and the PNG and BMP writers read.

#include <cstdint>
#include <string>
#include <vector>

namespace forge {

// Most pixels one picture may hold. Sizes come from the files being read, so
// every picture is measured against this before its memory is taken.
inline constexpr std::uint64_t kMaxRasterPixels = std::uint64_t{16} << 20;

inline bool fitsRasterLimit(std::uint64_t width, std::uint64_t height) {
    return width <= kMaxRasterPixels && height <= kMaxRasterPixels && width * height <= kMaxRasterPixels;
}

struct raster_image_t {
    std::string name;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t rowIncrement = 0;  // bytes per pixel row
    std::uint32_t bytesPerPixel = 3;
    std::uint32_t channelOrder = 0;  // 0: red, green, blue; otherwise blue, green, red
    std::vector<std::uint8_t> pixels;

    // A width x height picture of 3-byte pixels, all zero (black). False, with
    // the picture left as it was, above kMaxRasterPixels.
    bool allocate(std::uint64_t pixelWidth, std::uint64_t pixelHeight) {
        if (!fitsRasterLimit(pixelWidth, pixelHeight)) return false;
        width = static_cast<std::uint32_t>(pixelWidth);
        height = static_cast<std::uint32_t>(pixelHeight);
        bytesPerPixel = 3;
        channelOrder = 0;
        rowIncrement = width * bytesPerPixel;
        pixels.assign(std::size_t{rowIncrement} * height, 0);
        return true;
    }
};

}  // namespace forge
