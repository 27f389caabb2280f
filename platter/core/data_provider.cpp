#include "platter/core/data_provider.hpp"

#include <fstream>

namespace platter {

void DataProvider::setSize(std::uint64_t bytes) { bytes_.resize(bytes, 0); }

std::uint64_t DataProvider::size() const { return bytes_.size(); }

bool DataProvider::assign(std::span<const std::uint8_t> data) {
    bytes_.assign(data.begin(), data.end());
    return true;
}

std::uint8_t* DataProvider::dataAt(std::uint64_t offset, const track_sector_t& /*block*/) {
    if (offset > bytes_.size()) return nullptr;
    return bytes_.data() + offset;
}

std::uint64_t DataProvider::available(std::uint64_t offset) const {
    return offset < bytes_.size() ? bytes_.size() - offset : 0;
}

std::uint8_t* DataProvider::rangeAt(std::uint64_t offset, std::uint64_t length) {
    if (length == 0 || available(offset) < length) return nullptr;
    return dataAt(offset, track_sector_t{});
}

bool DataProvider::load(const std::filesystem::path& path) {
    name_ = path.string();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length < 0) return false;
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> content(static_cast<std::size_t>(length));
    if (length > 0) in.read(reinterpret_cast<char*>(content.data()), length);
    if (!in || in.gcount() != length) return false;
    bytes_ = std::move(content);
    return true;
}

bool DataProvider::isBlockReadable(std::uint64_t /*offset*/) { return true; }

std::uint64_t partitionBlockNumber(std::uint32_t value) {
    const std::uint64_t b1 = (value >> 8) & 0xff;
    const std::uint64_t b2 = (value >> 16) & 0xff;
    return b1 * 256 + b2;
}

std::uint64_t partitionByteOffset(std::uint32_t value) {
    const std::uint64_t b3 = (value >> 24) & 0xff;
    return (partitionBlockNumber(value) * 256 + b3) * 512;
}

}  // namespace platter
