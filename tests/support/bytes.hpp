#pragma once
// Test support: byte buffers built and patched by hand.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
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

// The bytes of `chars` where they stand.
inline std::span<const std::uint8_t> bytesOf(std::string_view chars) {
    return {reinterpret_cast<const std::uint8_t*>(chars.data()), chars.size()};
}

// A program file of `size` bytes in all: its load address, then `fill`.
inline Bytes programFile(std::uint16_t loadAddress, std::size_t size, std::uint8_t fill = 0) {
    Bytes file(size, fill);
    file.at(0) = static_cast<std::uint8_t>(loadAddress & 0xFF);
    file.at(1) = static_cast<std::uint8_t>(loadAddress >> 8);
    return file;
}

// How often `piece` stands in `text`, not overlapping.
inline std::size_t countOf(std::string_view text, std::string_view piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + piece.size())) ++n;
    return n;
}

}  // namespace test_support
