#include "app/entry_byte_facts.hpp"

#include <algorithm>
#include <new>

namespace app {

EntryByteFacts::EntryByteFacts(bool hashes) {
    if (!hashes) return;
    xxh32_.reset(XXH32_createState());
    xxh3_.reset(XXH3_createState());
    if (!xxh32_ || !xxh3_) throw std::bad_alloc();
    XXH32_reset(xxh32_.get(), 0);
    XXH3_64bits_reset(xxh3_.get());
}

void EntryByteFacts::take(std::span<const std::uint8_t> piece) {
    const std::size_t headBytes = std::min(head_.size() - headLength_, piece.size());
    std::copy_n(piece.begin(), headBytes, head_.begin() + static_cast<std::ptrdiff_t>(headLength_));
    headLength_ += headBytes;
    if (!xxh32_) return;
    XXH32_update(xxh32_.get(), piece.data(), piece.size());
    XXH3_64bits_update(xxh3_.get(), piece.data(), piece.size());
}

std::optional<std::uint16_t> EntryByteFacts::loadAddress() const {
    if (headLength_ < head_.size()) return std::nullopt;
    return static_cast<std::uint16_t>(head_[0] | (head_[1] << 8));
}

std::uint32_t EntryByteFacts::xxh32() const { return XXH32_digest(xxh32_.get()); }

std::uint64_t EntryByteFacts::xxh3() const { return XXH3_64bits_digest(xxh3_.get()); }

}  // namespace app
