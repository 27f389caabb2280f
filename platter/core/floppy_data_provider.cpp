#include "platter/core/floppy_data_provider.hpp"

namespace platter {

bool FloppyDataProvider::isBlockReadable(std::uint64_t offset) {
    const auto hit = cache_.find(static_cast<std::int64_t>(offset));
    return hit != cache_.end() && hit->second.present != 0;
}

bool FloppyDataProvider::loadBlock(std::uint64_t /*offset*/, const track_sector_t& /*block*/, cached_block_t& /*out*/) {
    return false;
}

}  // namespace platter
