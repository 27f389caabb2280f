#include "platter/fileid/byte_match.hpp"

#include <algorithm>

namespace platter::fileid {

bool matchAt(std::span<const std::uint8_t> data, std::uint64_t offset, std::span<const std::uint8_t> pattern) {
    if (offset > data.size() || pattern.size() > data.size() - offset) return false;
    return std::equal(pattern.begin(), pattern.end(), data.begin() + static_cast<std::ptrdiff_t>(offset));
}

bool matchAt(std::span<const std::uint8_t> data, std::uint64_t offset, std::string_view pattern) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pattern.data());
    return matchAt(data, offset, std::span<const std::uint8_t>(bytes, pattern.size()));
}

bool matchAtEnd(std::span<const std::uint8_t> data, std::uint64_t distance, std::span<const std::uint8_t> pattern) {
    if (data.size() < distance || pattern.size() > distance) return false;
    return matchAt(data, data.size() - distance, pattern);
}

std::uint16_t readLe16(std::span<const std::uint8_t> data, std::uint64_t offset) {
    if (offset >= data.size() || data.size() - offset < 2) return 0;
    return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}

}  // namespace platter::fileid
