#include "platter/core/floppy_data_provider.hpp"

namespace platter {

bool FloppyDataProvider::isBlockReadable(std::uint64_t offset) {
    const auto hit = cache_.find(static_cast<std::int64_t>(offset));
    return hit != cache_.end() && hit->second.present != 0;
}

// Only what was written to the cache holds data: block by block.
bool FloppyDataProvider::copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) {
    return DataProvider::copyBytes(offset, out);
}

bool FloppyDataProvider::loadBlock(std::uint64_t /*offset*/, const track_sector_t& /*block*/, cached_block_t& /*out*/) {
    return false;
}

}  // namespace platter
