#pragma once
// Test support: byte buffers built and patched by hand.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace test_support {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes(std::size_t size, std::uint8_t fill = 0) { return Bytes(size, fill); }

inline void put(Bytes& data, std::size_t offset, std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t value : values) data.at(offset++) = value;
}

inline void put(Bytes& data, std::size_t offset, std::string_view text) {
    for (char c : text) data.at(offset++) = static_cast<std::uint8_t>(c);
}

inline Bytes text(std::string_view chars) { return Bytes(chars.begin(), chars.end()); }

}  // namespace test_support
