#include "platter/picture/godot_image.hpp"

#include "forge/pixel_limit.hpp"
#include "platter/petscii/palette.hpp"

namespace platter {

extern const std::uint8_t g_godot_colours[16] = {0, 6, 9, 11, 2, 4, 8, 12, 14, 10, 5, 15, 3, 7, 13, 1};

namespace {

constexpr std::uint8_t kRunMarker = 0xAD;
constexpr std::size_t kCellBytes = 32;  // 8 lines of 4 bytes, 8 pixels a line

void putPixel(forge::raster_image_t& picture, std::size_t x, std::size_t y, std::uint8_t value) {
    const forge::rgb_t rgb = g_default_palette.colourAt(g_godot_colours[value & 15]);
    std::uint8_t* pixel = picture.pixels.data() + y * picture.rowIncrement + x * 3;
    pixel[0] = rgb.red;
    pixel[1] = rgb.green;
    pixel[2] = rgb.blue;
}

}  // namespace

bool decodeGoDotImage(std::span<const std::uint8_t> data, forge::raster_image_t& out) {
    if (data.size() < 4) return false;
    std::size_t across = 40;
    std::size_t down = 25;
    std::size_t at = 4;
    if (data[3] == '1') {
        if (data.size() < 8) return false;
        across = data[6];
        down = data[7];
        at = 8;
    }
    forge::raster_image_t picture;
    if (across == 0 || down == 0 || !forge::makeLimitedPicture(across * 8, down * 8, picture)) return false;
    const std::size_t total = across * down * kCellBytes;
    for (std::size_t written = 0; written < total && at < data.size();) {
        std::size_t count = 1;
        std::uint8_t value = data[at];
        if (value == kRunMarker) {
            if (data.size() - at < 3) break;
            count = data[at + 1] == 0 ? 256 : data[at + 1];
            value = data[at + 2];
            at += 3;
        } else {
            ++at;
        }
        for (; count > 0 && written < total; --count, ++written) {
            const std::size_t cell = written / kCellBytes;
            const std::size_t x = cell % across * 8 + written % 4 * 2;
            const std::size_t y = cell / across * 8 + written % kCellBytes / 4;
            putPixel(picture, x, y, value >> 4);
            putPixel(picture, x + 1, y, value);
        }
    }
    out = std::move(picture);
    return true;
}

}  // namespace platter
