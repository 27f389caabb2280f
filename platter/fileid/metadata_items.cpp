#include "platter/fileid/metadata_items.hpp"

#include <algorithm>

namespace platter::fileid {

void addFlag(file_traits_t& traits, std::uint32_t key) { traits.metadata.push_back(file_metadata_t{key, {}}); }

void addWord(file_traits_t& traits, std::uint32_t key, std::uint16_t value) {
    traits.metadata.push_back(
        file_metadata_t{key, {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)}});
}

void addBytesAt(file_traits_t& traits, std::uint32_t key, std::span<const std::uint8_t> data, std::uint64_t offset,
                std::uint64_t length) {
    if (offset >= data.size()) return;
    const auto bytes = data.subspan(offset, std::min<std::uint64_t>(length, data.size() - offset));
    traits.metadata.push_back(file_metadata_t{key, {bytes.begin(), bytes.end()}});
}

}  // namespace platter::fileid
