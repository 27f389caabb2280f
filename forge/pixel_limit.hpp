#pragma once
// The most pixels one decoded or rendered picture may have. Picture sizes come
// from the files being read (a scrap's header, a text of a million lines), so
// every picture is measured against this before its memory is taken.

#include <cstdint>

#include "forge/raster_image.hpp"

namespace forge {

inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{16} << 20;

inline bool fitsPixelLimit(std::uint64_t width, std::uint64_t height) {
    return width <= kMaxPicturePixels && height <= kMaxPicturePixels && width * height <= kMaxPicturePixels;
}

// `out` becomes a black width x height RGB picture; false, leaving it as it
// was, above the limit.
inline bool makeLimitedPicture(std::uint64_t width, std::uint64_t height, raster_image_t& out) {
    if (!fitsPixelLimit(width, height)) return false;
    out = raster_image_t::black(width, height);
    return true;
}

}  // namespace forge
