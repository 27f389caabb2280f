#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platter {

// True when the `count` 4-byte BAM track entries at `offset` agree with themselves:
// every entry that is not all zero has a free count (byte 0) equal to the number of
// set bits in its three bitmap bytes, and at least one such entry exists. Entries
// that do not fit inside the block make the test fail.
bool bamEntriesConsistent(std::span<const std::uint8_t> block, std::size_t offset, std::size_t count);

}  // namespace platter
