#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platter {

// One run-length packed picture format.
struct rle_format_t {
    std::uint32_t packedId = 0;
    std::uint32_t unpackedId = 0;
    std::uint8_t marker = 0;
    bool countFirst = false;        // marker, count, value instead of marker, value, count
    std::uint64_t start = 0;        // first packed byte
    std::uint16_t loadAddress = 0;  // written first unless 0
};

// Replaces `out` with the unpacked bytes; a count of 0 or the end of the input ends with
// success, a marker cut off by the end of the input fails (unless a 0 count is there).
bool unpackRle(std::span<const std::uint8_t> packed, std::vector<std::uint8_t>& out, const rle_format_t& format);

}  // namespace platter
