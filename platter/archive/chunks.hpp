#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platter {

// Joins one record stored as chunks, each led by a little-endian 16-bit
// length whose bit 15 says another chunk follows. `out` receives the joined
// bytes, `consumed` the input bytes the chunks take. False when a length or
// a chunk runs past the input.
bool joinChunks(std::size_t& consumed, std::vector<std::uint8_t>& out, std::span<const std::uint8_t> input);

// Skips bytes up to the first digit or carriage return, then reads at most 6
// digits; the cursor stops after them (on the carriage return, or at the end,
// when there were none, giving 0).
int scanDecimal(std::span<const std::uint8_t> bytes, std::size_t& cursor);

}  // namespace platter
