#include "platter/petscii/draw_glyph.hpp"

#include <algorithm>

namespace platter {

namespace {
// The font is drawn without blending: a pixel at least half covered is set.
constexpr std::uint8_t kHalfCovered = 128;
}  // namespace

void drawGlyph(forge::GlyphCache& glyphs, forge::raster_image_t& canvas, std::uint32_t codePoint,
               std::uint16_t pixelHeight, std::int64_t x, std::int64_t y, forge::rgb_t foreground,
               forge::rgb_t background, const std::optional<pixel_window_t>& clip) {
    if (pixelHeight == 0 || !canvas.isWhole()) return;
    const pixel_bounds_t bounds = paintableBounds(canvas, clip);
    if (x >= bounds.right || y >= bounds.bottom) return;
    const forge::glyph_bitmap_t bitmap = glyphs.glyph(codePoint, pixelHeight);
    const std::int64_t width = static_cast<std::int64_t>(bitmap->size() / pixelHeight);
    const std::int64_t firstColumn = std::max<std::int64_t>(0, bounds.left - x);
    const std::int64_t lastColumn = std::min<std::int64_t>(width, bounds.right - x);
    const std::int64_t firstRow = std::max<std::int64_t>(0, bounds.top - y);
    const std::int64_t lastRow = std::min<std::int64_t>(pixelHeight, bounds.bottom - y);
    if (firstColumn >= lastColumn) return;
    const bool rgb = canvas.channelOrder == forge::raster_image_t::kRgb;
    for (std::int64_t row = firstRow; row < lastRow; ++row) {
        std::uint8_t* pixel = canvas.pixels.data() + static_cast<std::size_t>(y + row) * canvas.rowIncrement +
                              static_cast<std::size_t>(x + firstColumn) * canvas.bytesPerPixel;
        const std::uint8_t* coverage = bitmap->data() + static_cast<std::size_t>(row * width);
        for (std::int64_t column = firstColumn; column < lastColumn; ++column, pixel += canvas.bytesPerPixel) {
            const forge::rgb_t colour = coverage[column] >= kHalfCovered ? foreground : background;
            pixel[0] = rgb ? colour.red : colour.blue;
            pixel[1] = colour.green;
            pixel[2] = rgb ? colour.blue : colour.red;
        }
    }
}

}  // namespace platter
