#pragma once

#include <cstdint>

namespace platter {

// Size in 256-byte blocks of a CMD partition holding an image of the given
// registry format id; 0 for a format that has no partition kind.
std::uint64_t partitionSizeBlocks(std::uint32_t formatId, std::uint64_t byteSize);

// byteSize / 512 as 32 bits with the byte order reversed.
std::uint32_t sectorCountBigEndian(std::uint64_t byteSize);

}  // namespace platter
