#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Appends a flag: an item without value.
void addFlag(file_traits_t& traits, std::uint32_t key);

// Appends a 16-bit little-endian value.
void addWord(file_traits_t& traits, std::uint32_t key, std::uint16_t value);

// Appends the `length` bytes at the offset, cut at the end of the data; no item
// at all when nothing of them is left.
void addBytesAt(file_traits_t& traits, std::uint32_t key, std::span<const std::uint8_t> data, std::uint64_t offset,
                std::uint64_t length);

}  // namespace platter::fileid
