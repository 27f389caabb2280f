#include "platter/picture/charset_image.hpp"

#include <utility>

#include "forge/pixel_limit.hpp"
#include "platter/petscii/palette.hpp"

namespace platter {

namespace {

constexpr std::size_t kCharsetWithLoadAddress = 2050;
constexpr std::size_t kSheetBackground = 6;
constexpr std::size_t kSheetInk = 14;

std::size_t characterIndex(const charset_image_t& settings, std::size_t x, std::size_t y) {
    if (!settings.twoByTwo) return y * (settings.charsAcross % 256) + x;
    std::size_t index = x / 2 + y / 2 * (settings.charsAcross / 2);
    if (x % 2 == 1) index += 64;
    if (y % 2 == 1) index += 128;  // minus 128, modulo 256
    return index % 256;
}

}  // namespace

bool decodeCharsetImage(std::span<const std::uint8_t> charset, const charset_image_t& settings,
                        forge::raster_image_t& out) {
    if (settings.charsAcross > forge::kMaxPicturePixels || settings.charWidth > forge::kMaxPicturePixels ||
        settings.charsDown > forge::kMaxPicturePixels || settings.charHeight > forge::kMaxPicturePixels) {
        return false;
    }
    forge::raster_image_t picture;
    if (!forge::makeLimitedPicture(settings.charsAcross * settings.charWidth, settings.charsDown * settings.charHeight,
                                   picture)) {
        return false;
    }
    constexpr std::size_t kMulticolourSlot[4] = {0, 1, 2, 1};
    for (std::size_t y = 0; y < picture.height; ++y) {
        const std::size_t row = y / settings.charHeight;
        const std::size_t line = y % settings.charHeight * 8 / settings.charHeight;
        std::uint8_t* pixel = picture.pixels.data() + y * picture.rowIncrement;
        for (std::size_t x = 0; x < picture.width; ++x, pixel += 3) {
            const std::size_t at = characterIndex(settings, x / settings.charWidth, row) * 8 + line;
            const std::uint8_t bits = at < charset.size() ? charset[at] : 0;
            const std::size_t column = x % settings.charWidth * 8 / settings.charWidth;
            std::size_t slot = 0;
            if (settings.multicolour) {
                const std::size_t pattern = (bits >> (6 - (column & 6))) & 3;
                if (pattern == 0) continue;
                slot = kMulticolourSlot[pattern];
            } else {
                slot = (bits >> (7 - column)) & 1;
            }
            pixel[0] = settings.slots[slot].red;
            pixel[1] = settings.slots[slot].green;
            pixel[2] = settings.slots[slot].blue;
        }
    }
    out = std::move(picture);
    return true;
}

bool decodeCharsetSheet(std::span<const std::uint8_t> data, forge::raster_image_t& out) {
    if (data.size() == kCharsetWithLoadAddress) data = data.subspan(2);
    charset_image_t sheet;
    sheet.slots = {g_default_palette.colourAt(kSheetBackground), g_default_palette.colourAt(kSheetInk), forge::rgb_t{},
                   forge::rgb_t{}};
    return decodeCharsetImage(data, sheet, out);
}

}  // namespace platter
