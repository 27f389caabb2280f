#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platter {

struct picture_parts_t {
    std::vector<std::uint8_t> bitmap;
    std::vector<std::uint8_t> colour;
    std::uint32_t widthCards = 0;
    std::uint32_t heightCards = 0;
};

// A geoPaint picture (1448-byte records of two card rows) into bitmap and colour bytes.
bool splitGeoPaint(std::span<const std::uint8_t> unpacked, picture_parts_t& out);
// A photo scrap (width in cards, height in lines, line-ordered bitmap, colours) rearranged into
// card order; bytes missing from a short scrap read as 0.
bool splitPhotoScrap(std::span<const std::uint8_t> scrap, picture_parts_t& out);

}  // namespace platter
