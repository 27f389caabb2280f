#include "platter/core/partial_data_provider.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kBlockBytes = 256;

}  // namespace

void PartialDataProvider::markNoData(std::uint64_t offset) {
    const std::uint64_t block = offset / kBlockBytes;
    if (block >= noData_.size()) noData_.resize(block + 1, false);
    noData_[block] = true;
}

bool PartialDataProvider::isBlockReadable(std::uint64_t offset) {
    const std::uint64_t block = offset / kBlockBytes;
    return block >= noData_.size() || !noData_[block];
}

}  // namespace platter
