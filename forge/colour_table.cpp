#include "forge/colour_table.hpp"

namespace forge {

bool holdsRgbPicture(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) {
        return true;
    }
    const std::uint64_t most = std::numeric_limits<std::size_t>::max() / 3;
    return width <= most / height && width * height * 3 <= pixels.size();
}

ColourTable::ColourTable(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height,
                         std::size_t limit) {
    const std::size_t bytes = static_cast<std::size_t>(width * height * 3);
    rgb_t previous{};
    for (std::size_t offset = 0; offset < bytes && colours_.size() <= limit; offset += 3) {
        const rgb_t colour = rgbAt(pixels, offset);
        // Pictures come in runs of one colour: skip the hash for a repeat.
        if (offset != 0 && colour == previous) {
            continue;
        }
        previous = colour;
        if (numbers_.try_emplace(colour, static_cast<std::uint32_t>(colours_.size())).second) {
            colours_.push_back(colour);
        }
    }
}

std::uint32_t ColourTable::indexOf(rgb_t colour) const {
    const auto found = numbers_.find(colour);
    return found == numbers_.end() ? static_cast<std::uint32_t>(colours_.size()) : found->second;
}

}  // namespace forge
