#include "platter/picture/geos_picture_parts.hpp"

#include <algorithm>

namespace platter {

bool splitGeoPaint(std::span<const std::uint8_t> unpacked, picture_parts_t& out) {
    constexpr std::size_t kRecord = 1448;
    constexpr std::size_t kBitmap = 1280;
    constexpr std::size_t kColourAt = 1288;
    constexpr std::size_t kColour = 160;
    for (std::size_t at = 0; at < unpacked.size(); at += kRecord) {
        const auto record = unpacked.subspan(at, std::min(kRecord, unpacked.size() - at));
        if (record.size() > kBitmap) out.bitmap.insert(out.bitmap.end(), record.begin(), record.begin() + kBitmap);
        if (record.size() > kColourAt) {
            const auto colour = record.subspan(kColourAt, std::min(kColour, record.size() - kColourAt));
            out.colour.insert(out.colour.end(), colour.begin(), colour.end());
        }
    }
    out.widthCards = 80;
    out.heightCards = 90;
    return true;
}

bool splitPhotoScrap(std::span<const std::uint8_t> scrap, picture_parts_t& out) {
    const auto byteAt = [scrap](std::size_t at) -> std::uint8_t { return at < scrap.size() ? scrap[at] : 0; };
    const std::size_t width = byteAt(0);
    const std::size_t lines = byteAt(1) | (std::size_t{byteAt(2)} << 8);
    const std::size_t bands = (lines + 7) / 8;
    out.bitmap.reserve(out.bitmap.size() + bands * width * 8);
    for (std::size_t band = 0; band < bands; ++band) {
        for (std::size_t column = 0; column < width; ++column) {
            for (std::size_t row = 0; row < 8; ++row) {
                const std::size_t line = band * 8 + row;
                out.bitmap.push_back(line < lines ? byteAt(3 + line * width + column) : 0);
            }
        }
    }
    const std::size_t colourAt = 3 + width * lines;
    if (colourAt < scrap.size())
        out.colour.insert(out.colour.end(), scrap.data() + colourAt, scrap.data() + scrap.size());
    out.widthCards = static_cast<std::uint32_t>(width);
    out.heightCards = static_cast<std::uint32_t>(bands);
    return true;
}

}  // namespace platter
