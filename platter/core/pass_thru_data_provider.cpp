#include "platter/core/pass_thru_data_provider.hpp"

#include <algorithm>

namespace platter {

// A window never grows past the part of the parent it was made over.
void PassThruDataProvider::setSize(std::uint64_t bytes) { size_ = std::min(bytes, capacity_); }

std::uint64_t PassThruDataProvider::size() const { return size_; }

std::uint8_t* PassThruDataProvider::dataAt(std::uint64_t offset, const track_sector_t& block) {
    if (offset >= size_) return nullptr;
    return parent_->dataAt(base_ + offset, block);
}

std::uint64_t PassThruDataProvider::available(std::uint64_t offset) const {
    if (offset >= size_) return 0;
    return std::min(size_ - offset, parent_->available(base_ + offset));
}

std::uint8_t* PassThruDataProvider::rangeAt(std::uint64_t offset, std::uint64_t length) {
    if (offset >= size_ || length > size_ - offset) return nullptr;
    return parent_->rangeAt(base_ + offset, length);
}

bool PassThruDataProvider::load(const std::filesystem::path& /*path*/) { return false; }

bool PassThruDataProvider::isBlockReadable(std::uint64_t offset) {
    if (offset >= size_) return false;
    return parent_->isBlockReadable(base_ + offset);
}

bool PassThruDataProvider::isRangeReadable(std::uint64_t offset, std::uint64_t length) {
    constexpr std::uint64_t kBlock = 256;
    if (length == 0) return true;
    const std::uint64_t lastBlock = offset + (length - 1) / kBlock * kBlock;
    if (lastBlock < offset || lastBlock >= size_) return false;
    return parent_->isRangeReadable(base_ + offset, length);
}

bool PassThruDataProvider::holdsRange(std::uint64_t offset, std::uint64_t length) {
    return offset <= size_ && length <= size_ - offset && parent_->holdsRange(base_ + offset, length);
}

bool PassThruDataProvider::copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset) return false;
    return parent_->copyBytes(base_ + offset, out);
}

bool PassThruDataProvider::assignToParent(std::span<const std::uint8_t> data) { return parent_->assign(data); }

}  // namespace platter
