#include "platter/core/transfer_padding.hpp"

#include <algorithm>

namespace platter {

namespace {

constexpr std::size_t kLongestFill = 254;
constexpr std::uint8_t kXmodemFill = 0x1A;

}  // namespace

bool isTransferPadding(std::span<const std::uint8_t> tail) {
    if (tail.size() >= kLongestFill) return false;
    const auto all = [tail](std::uint8_t fill) {
        return std::all_of(tail.begin(), tail.end(), [fill](std::uint8_t b) { return b == fill; });
    };
    return all(0) || all(kXmodemFill);
}

}  // namespace platter
