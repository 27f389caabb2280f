#pragma once

#include <cstdint>

namespace platter {

// byteSize / 512 as 32 bits with the byte order reversed.
std::uint32_t sectorCountBigEndian(std::uint64_t byteSize);

}  // namespace platter
