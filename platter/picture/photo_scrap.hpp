#pragma once
// Size bounds of GEOS photo scraps, whose 3-byte header (width in cards,
// height in pixel lines) is the only thing that says how large they are.

#include <cstddef>
#include <cstdint>
#include <span>

namespace platter {

// Nested repeat blocks of the scrap packing followed at most this deep.
inline constexpr int kScrapNestingLimit = 32;

// The unpacked size of the scrap the header describes: the header, the
// bitmap and one colour byte per card. False for a header that is cut off
// or a picture above the raster limit.
bool photoScrapBytes(std::span<const std::uint8_t> scrap, std::size_t& bytes);

}  // namespace platter
