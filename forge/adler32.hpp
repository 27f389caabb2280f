#pragma once
// Adler-32 of zlib streams (RFC 1950).

#include <cstdint>
#include <span>

namespace forge {

// Continues `adler` (1 for a fresh checksum) over the bytes.
std::uint32_t adler32(std::uint32_t adler, std::span<const std::uint8_t> bytes);

}  // namespace forge
