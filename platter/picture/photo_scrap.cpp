#include "platter/picture/photo_scrap.hpp"

#include "forge/pixel_limit.hpp"

namespace platter {

bool photoScrapBytes(std::span<const std::uint8_t> scrap, std::size_t& bytes) {
    if (scrap.size() < 3) return false;
    const std::size_t cards = scrap[0];
    const std::size_t lines = scrap[1] | (std::size_t{scrap[2]} << 8);
    if (!forge::fitsPixelLimit(cards * 8, lines)) return false;
    bytes = 3 + cards * lines + cards * ((lines + 7) / 8);
    return true;
}

}  // namespace platter
