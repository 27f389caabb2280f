#include "platter/core/data_provider.hpp"

#include <algorithm>
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

bool DataProvider::holdsRange(std::uint64_t offset, std::uint64_t length) {
    return offset <= size() && length <= size() - offset && isRangeReadable(offset, length);
}

bool DataProvider::isRangeReadable(std::uint64_t offset, std::uint64_t length) {
    constexpr std::uint64_t kBlock = 256;
    for (std::uint64_t at = 0; at < length; at += kBlock) {
        if (!isBlockReadable(offset + at)) return false;
    }
    return true;
}

// Block by block, so that every block's readability is asked.
bool DataProvider::copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) {
    constexpr std::uint64_t kBlock = 256;
    for (std::size_t done = 0; done < out.size();) {
        const std::uint64_t at = offset + done;
        const std::uint64_t length =
            std::min({available(at), kBlock - at % kBlock, static_cast<std::uint64_t>(out.size() - done)});
        const std::uint8_t* bytes = length != 0 && isBlockReadable(at) ? dataAt(at, track_sector_t{}) : nullptr;
        if (bytes == nullptr) return false;
        std::copy_n(bytes, length, out.data() + done);
        done += static_cast<std::size_t>(length);
    }
    return true;
}

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
