#include "platter/petscii/partition_size.hpp"

#include <algorithm>

namespace platter {

std::uint64_t partitionSizeBlocks(std::uint32_t formatId, std::uint64_t byteSize) {
    // Registry ids: 1 D64, 4 G64, 44 NIB, 2 D71, 3 D81, 22 native partition.
    switch (formatId) {
        case 1:
        case 4:
        case 44: return 684;
        case 2: return 1368;
        case 3: return 3200;
        case 22: return std::max<std::uint64_t>(512, byteSize / 256 + (byteSize % 256 != 0 ? 1 : 0));
        default: return 0;
    }
}

std::uint32_t sectorCountBigEndian(std::uint64_t byteSize) {
    const auto count = static_cast<std::uint32_t>(byteSize / 512);
    return ((count & 0xFF) << 24) | ((count & 0xFF00) << 8) | ((count >> 8) & 0xFF00) | (count >> 24);
}

}  // namespace platter
