#include "platter/core/buffered_data_provider.hpp"

#include <algorithm>
#include <fstream>

namespace platter {

void BufferedDataProvider::setSize(std::uint64_t bytes) { size_ = bytes; }

std::uint64_t BufferedDataProvider::size() const { return size_; }

std::uint8_t* BufferedDataProvider::dataAt(std::uint64_t offset, const track_sector_t& block) {
    const auto key = static_cast<std::int64_t>(offset);
    if (const auto hit = cache_.find(key); hit != cache_.end()) return hit->second.data.data();
    cached_block_t loaded;
    if (!loadBlock(offset, block, loaded)) return nullptr;
    loaded.present = 1;
    loaded.data = loaded.loaded;
    return cache_.emplace(key, loaded).first->second.data.data();
}

std::uint64_t BufferedDataProvider::available(std::uint64_t offset) const { return offset < size_ ? 256 : 0; }

bool BufferedDataProvider::load(const std::filesystem::path& path) {
    name_ = path.string();
    return true;
}

bool BufferedDataProvider::assignToParent(std::span<const std::uint8_t> /*data*/) { return false; }

bool BufferedDataProvider::writeBlock(std::uint64_t offset, std::span<const std::uint8_t, 256> data) {
    const auto hit = cache_.find(static_cast<std::int64_t>(offset));
    if (hit == cache_.end()) return false;
    std::copy(data.begin(), data.end(), hit->second.loaded.begin());
    hit->second.data = hit->second.loaded;
    hit->second.present = 1;
    return true;
}

bool BufferedDataProvider::loadBlock(std::uint64_t offset, const track_sector_t& /*block*/, cached_block_t& out) {
    std::ifstream in(name_, std::ios::binary);
    if (!in) return false;
    in.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    if (!in) return false;
    out.loaded.fill(0);
    in.read(reinterpret_cast<char*>(out.loaded.data()), static_cast<std::streamsize>(out.loaded.size()));
    // Past the end nothing is read: no phantom zero block. A short last block is zero-filled.
    if (in.bad() || in.gcount() <= 0) return false;
    out.present = 1;
    return true;
}

}  // namespace platter
