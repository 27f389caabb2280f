#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "forge/raster_image.hpp"

namespace platter {

// A rectangle of a picture, in pixels.
struct pixel_window_t {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
};

// The pixels [left, right) x [top, bottom) a painter may touch.
struct pixel_bounds_t {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
};

// The canvas, cut to the clip window when there is one.
inline pixel_bounds_t paintableBounds(const forge::raster_image_t& canvas, const std::optional<pixel_window_t>& clip) {
    pixel_bounds_t bounds{0, 0, canvas.width, canvas.height};
    if (clip) {
        bounds.left = std::max<std::int64_t>(bounds.left, clip->x);
        bounds.top = std::max<std::int64_t>(bounds.top, clip->y);
        bounds.right = std::min(bounds.right, std::int64_t{clip->x} + clip->width);
        bounds.bottom = std::min(bounds.bottom, std::int64_t{clip->y} + clip->height);
    }
    return bounds;
}

}  // namespace platter
