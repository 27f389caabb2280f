#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platter {

// Replaces `out` with up to `length` bytes of a program file from `offset` past its two-byte
// load address; nothing for an offset of all ones or one at or past the end.
void copyPayloadRange(std::span<const std::uint8_t> file, std::uint64_t offset, std::uint64_t length,
                      std::vector<std::uint8_t>& out);

}  // namespace platter
