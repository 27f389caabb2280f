#pragma once
// The run-length packing of Loadstar's SHP pictures: a marker byte, a count
// (0 = 256) and a value; every other byte stands for itself.

#include <cstdint>
#include <span>
#include <vector>

namespace platter {

struct loadstar_state_t {
    std::uint8_t marker = 0;
    std::uint64_t offset = 0;    // next packed byte; moves past what was read
    bool countOnly = false;      // count without storing
    std::uint64_t limit = 0;     // most bytes one call produces
    std::uint64_t consumed = 0;  // packed bytes read, over all calls
    std::uint64_t produced = 0;  // bytes produced, over all calls
};

// Unpacks from the state's offset until `limit` bytes are produced or the
// data ends. A run that crosses the limit is cut at it; a marker without its
// count and value ends the data.
std::vector<std::uint8_t> unpackLoadstar(std::span<const std::uint8_t> packed, loadstar_state_t& state);

}  // namespace platter
