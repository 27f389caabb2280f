#pragma once
// Boyer-Moore-Horspool search of a fixed pattern in one 256-byte block, with
// non-overlapping matches and the partial match that runs off the block's end.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace app {

// For each byte value, how far the window may move when that byte ends it.
using skip_table_t = std::array<std::uint16_t, 256>;

// The pattern holds 1 to 256 bytes.
void bmhSkipTable(std::span<const std::uint8_t> pattern, skip_table_t& table);

// Offsets of the whole matches in the order found, each search resuming past
// the match before; then at most one negative offset -p: the block's bytes
// from p on equal the first bytes of the pattern and the rest lies beyond.
std::vector<std::int64_t> bmhSearch(std::span<const std::uint8_t> pattern, std::span<const std::uint8_t, 256> block,
                                    const skip_table_t& table);

}  // namespace app
