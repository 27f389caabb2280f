#include "platter/picture/paint_decode.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "forge/pixel_limit.hpp"
#include "platter/petscii/palette.hpp"
#include "platter/picture/geos_picture_parts.hpp"
#include "platter/picture/godot_image.hpp"
#include "platter/picture/paint_identify.hpp"
#include "platter/picture/paint_tables.hpp"
#include "platter/picture/paint_type_ids.hpp"
#include "platter/picture/paint_unpack.hpp"
#include "platter/picture/payload_range.hpp"
#include "platter/picture/photo_scrap.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kBitmapBytes = 8000;
constexpr std::uint64_t kScreenBytes = 1000;

std::uint64_t areaOffset(std::int64_t offset) {
    return offset == kPaintAny ? ~std::uint64_t{0} : static_cast<std::uint64_t>(offset);
}

// geoPaint pages and photo scraps: their colour bytes hold a foreground and
// a background nibble per card, which is what screen RAM is to a hires cell.
bool splitGeosPicture(std::span<const std::uint8_t> data, std::uint32_t type, std::vector<std::uint8_t>& screen,
                      std::vector<std::uint8_t>& bitmap, bitmap_info_t& info) {
    picture_parts_t parts;
    if (type == paint_type::geo_paint) {
        splitGeoPaint(data, parts);
    } else {
        std::size_t bytes = 0;
        if (!photoScrapBytes(data, bytes)) return false;
        splitPhotoScrap(data.first(std::min(bytes, data.size())), parts);
    }
    if (parts.widthCards == 0 || parts.heightCards == 0 || parts.bitmap.empty()) return false;
    bitmap = std::move(parts.bitmap);
    screen = std::move(parts.colour);
    info.cellsAcross = parts.widthCards;
    info.cellsDown = parts.heightCards;
    return true;
}

}  // namespace

bool decodePaintData(std::span<const std::uint8_t> data, std::uint32_t type, std::vector<std::uint8_t>& screen,
                     std::vector<std::uint8_t>& bitmap, std::vector<std::uint8_t>& colour, bitmap_info_t& info) {
    std::vector<std::uint8_t> unpacked;
    if (unpackPaintData(type, data, unpacked)) {
        data = unpacked;
        if (type != paint_type::geo_paint && type != paint_type::geo_photo_album) {
            type = identifyPaintByLoadAddress(kPaintKindPrg, data, true);
        }
    } else if (type == paint_type::amica_packed) {
        type = paint_type::amica_paint;  // the plain picture, reported under the same name
    } else if (packedPaintFormat(type) != nullptr) {
        return false;
    }
    const paint_layout_t* layout = findPaintLayout(type);
    if (layout == nullptr) return false;
    screen.clear();
    bitmap.clear();
    colour.clear();
    if (type == paint_type::geo_paint || type == paint_type::geo_photo_album || type == paint_type::geo_photo_scrap) {
        info.multicolour = false;
        return splitGeosPicture(data, type, screen, bitmap, info);
    }
    copyPayloadRange(data, areaOffset(layout->bitmap), kBitmapBytes, bitmap);
    copyPayloadRange(data, areaOffset(layout->screen), kScreenBytes, screen);
    copyPayloadRange(data, areaOffset(layout->colour), kScreenBytes, colour);
    info.multicolour = layout->colour != kPaintAny;
    info.background = 0;
    info.fallbackScreen = 1;
    if (layout->background != kPaintAny && static_cast<std::uint64_t>(layout->background) + 2 < data.size()) {
        info.background = data[static_cast<std::size_t>(layout->background) + 2] & 15;
    }
    // One colour RAM value for the whole picture.
    if ((type == paint_type::paint_magic || type == paint_type::centauri) && !colour.empty()) {
        colour.assign(kScreenBytes, colour.front());
    }
    if (type == paint_type::centauri) {
        if (!screen.empty()) info.fallbackScreen = screen.front();
        info.multicolour = true;
    }
    return true;
}

bool decodeBitmapImage(std::span<const std::uint8_t> screen, std::span<const std::uint8_t> colour,
                       std::span<const std::uint8_t> bitmap, const bitmap_info_t& info, forge::raster_image_t& out) {
    if (info.cellsAcross > forge::kMaxPicturePixels || info.cellWidth > forge::kMaxPicturePixels ||
        info.cellsDown > forge::kMaxPicturePixels || info.cellHeight > forge::kMaxPicturePixels) {
        return false;
    }
    forge::raster_image_t picture;
    if (!forge::makeLimitedPicture(info.cellsAcross * info.cellWidth, info.cellsDown * info.cellHeight, picture))
        return false;
    const std::uint8_t firstColour = colour.empty() ? 0 : colour.front();
    const std::size_t cells = static_cast<std::size_t>(info.cellsAcross * info.cellsDown);
    for (std::size_t cell = 0; cell < cells; ++cell) {
        const std::uint8_t screenByte = cell < screen.size() ? screen[cell] : info.fallbackScreen;
        const std::uint8_t colourByte = cell < colour.size() ? colour[cell] : firstColour;
        // Patterns 00, 01, 10, 11; a hires cell uses 01 for set and 10 for clear bits.
        const std::array<forge::rgb_t, 4> inks = {
            g_default_palette.colourAt(info.blackBackground ? 0 : info.background),
            g_default_palette.colourAt(screenByte >> 4),
            g_default_palette.colourAt(screenByte & 15),
            g_default_palette.colourAt(colourByte & 15),
        };
        const std::size_t left = cell % info.cellsAcross * info.cellWidth;
        const std::size_t top = cell / info.cellsAcross * info.cellHeight;
        for (std::size_t y = 0; y < info.cellHeight; ++y) {
            const std::size_t at = cell * 8 + y * 8 / info.cellHeight;
            const std::uint8_t bits = at < bitmap.size() ? bitmap[at] : 0;
            std::uint8_t* pixel = picture.pixels.data() + (top + y) * picture.rowIncrement + left * 3;
            for (std::size_t x = 0; x < info.cellWidth; ++x, pixel += 3) {
                const std::size_t column = x * 8 / info.cellWidth;
                const unsigned pattern = info.multicolour                     ? (bits >> (6 - (column & 6))) & 3u
                                         : ((bits >> (7 - column)) & 1u) != 0 ? 1u
                                                                              : 2u;
                pixel[0] = inks[pattern].red;
                pixel[1] = inks[pattern].green;
                pixel[2] = inks[pattern].blue;
            }
        }
    }
    out = std::move(picture);
    return true;
}

bool decodePaintPicture(std::span<const std::uint8_t> data, std::uint32_t type, forge::raster_image_t& out) {
    if (type == paint_type::godot) return decodeGoDotImage(data, out);
    std::vector<std::uint8_t> screen;
    std::vector<std::uint8_t> bitmap;
    std::vector<std::uint8_t> colour;
    bitmap_info_t info;
    return decodePaintData(data, type, screen, bitmap, colour, info) &&
           decodeBitmapImage(screen, colour, bitmap, info, out);
}

}  // namespace platter
