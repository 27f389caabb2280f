#pragma once
// One RGB colour and the hash and equality functors of colour tables.

#include <cstddef>
#include <cstdint>

namespace forge {

struct rgb_t {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const rgb_t&, const rgb_t&) = default;
};

struct rgb_hash {
    std::size_t operator()(const rgb_t& colour) const noexcept {
        return std::size_t{colour.red} + (std::size_t{colour.blue} << 8) + (std::size_t{colour.green} << 16);
    }
};

struct rgb_equal {
    bool operator()(const rgb_t& a, const rgb_t& b) const noexcept { return a == b; }
};

}  // namespace forge
