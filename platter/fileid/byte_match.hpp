#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace platter::fileid {

// True when the data holds the pattern at the offset (and is long enough for it).
bool matchAt(std::span<const std::uint8_t> data, std::uint64_t offset, std::span<const std::uint8_t> pattern);
bool matchAt(std::span<const std::uint8_t> data, std::uint64_t offset, std::string_view pattern);

// True when the pattern starts `distance` bytes before the end of the data. A pattern
// longer than the distance would run past the end and never matches.
bool matchAtEnd(std::span<const std::uint8_t> data, std::uint64_t distance, std::span<const std::uint8_t> pattern);

// Little-endian 16-bit word at the offset; 0 when it does not fit.
std::uint16_t readLe16(std::span<const std::uint8_t> data, std::uint64_t offset);

}  // namespace platter::fileid
