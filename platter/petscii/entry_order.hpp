#pragma once

#include <cstdint>
#include <span>

namespace platter {

// Orderings and keys handed to sorts and maps; entries are the 32 stored
// bytes of a directory entry (missing bytes read as 0).

// Name byte 0 of a minus that of b.
int compareFirstNameByte(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);
// Block count (bytes 30-31, little-endian) of a below that of b.
bool bySize(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);
// T64 directory entries: (end - start address) of a below that of b.
bool byTapeLength(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

constexpr std::uint8_t highByte(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }

// Byte offset of a block on a geometry of 256 sectors per track.
constexpr std::uint64_t blockKey(std::uint64_t track, std::uint64_t sector) {
    return ((track - 1) << 16) + (sector << 8);
}
template <typename Block>
constexpr std::uint64_t blockKey(const Block& block) {
    return blockKey(block.track, block.sector);
}

// The block is already in the set of visited blocks.
template <typename Set, typename Block>
bool containsBlock(const Set& visited, const Block& block) {
    return visited.find(block) != visited.end();
}

}  // namespace platter
