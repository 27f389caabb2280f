#include "platter/petscii/partition_size.hpp"

namespace platter {

std::uint32_t sectorCountBigEndian(std::uint64_t byteSize) {
    const auto count = static_cast<std::uint32_t>(byteSize / 512);
    return ((count & 0xFF) << 24) | ((count & 0xFF00) << 8) | ((count >> 8) & 0xFF00) | (count >> 24);
}

}  // namespace platter
