#include "forge/bmp_writer.hpp"

namespace forge {

namespace {

constexpr std::uint32_t kHeaderSize = 54;
constexpr std::uint32_t kInfoHeaderSize = 40;

void appendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

bool rasterToBmp(const raster_image_t& picture, std::vector<std::uint8_t>& out) {
    if (picture.bytesPerPixel != 3 || !picture.isWhole() || picture.width > INT32_MAX || picture.height > INT32_MAX) {
        return false;
    }
    const std::uint64_t rowBytes = std::uint64_t{picture.width} * 3;
    const std::uint64_t paddedRow = (rowBytes + 3) & ~std::uint64_t{3};
    const std::uint64_t imageSize = paddedRow * picture.height;
    if (imageSize > UINT32_MAX - kHeaderSize) return false;

    out.reserve(out.size() + kHeaderSize + imageSize);
    out.push_back('B');
    out.push_back('M');
    appendLittleEndian(out, static_cast<std::uint32_t>(imageSize) + kHeaderSize, 4);
    appendLittleEndian(out, 0, 4);  // two reserved words
    appendLittleEndian(out, kHeaderSize, 4);
    appendLittleEndian(out, kInfoHeaderSize, 4);
    appendLittleEndian(out, picture.width, 4);
    appendLittleEndian(out, picture.height, 4);  // positive: rows bottom-up
    appendLittleEndian(out, 1, 2);               // planes
    appendLittleEndian(out, 24, 2);
    appendLittleEndian(out, 0, 4);  // no compression
    appendLittleEndian(out, static_cast<std::uint32_t>(imageSize), 4);
    out.insert(out.end(), 16, 0);  // resolution and colour counts

    const bool swap = picture.channelOrder == raster_image_t::kRgb;
    for (std::uint32_t y = picture.height; y-- > 0;) {
        const std::uint8_t* row = picture.pixels.data() + std::size_t{picture.rowIncrement} * y;
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint8_t* pixel = row + std::size_t{x} * 3;
            out.push_back(swap ? pixel[2] : pixel[0]);
            out.push_back(pixel[1]);
            out.push_back(swap ? pixel[0] : pixel[2]);
        }
        out.insert(out.end(), static_cast<std::size_t>(paddedRow - rowBytes), 0);
    }
    return true;
}

}  // namespace forge
