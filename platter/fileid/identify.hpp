#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Every type the data is recognised as, in table order; never empty (the unknown
// result when nothing matches). Callers act on the first result.
std::vector<file_traits_t> identify(std::span<const std::uint8_t> data);

// The first bytes identifyByHead needs.
inline constexpr std::size_t kIdentifyingHeadBytes = 16;

// The type identify() gives a file of `size` bytes that begins with `head` (its first
// kIdentifyingHeadBytes, or all of a shorter file) when the head alone names it: a G64 or
// a NIB, whose detectors look at the first bytes only, reached before any detector that
// looks further. 0 when the head does not settle it and the whole file has to be looked at.
std::uint32_t identifyByHead(std::span<const std::uint8_t> head, std::uint64_t size);

// Identification restricted to one type (and, with allDescendants, its variants);
// no size limits and no stop rule. Never empty.
std::vector<file_traits_t> identifyAs(std::span<const std::uint8_t> data, std::uint32_t type,
                                      bool allDescendants = false);

// True when identify() holds a result of exactly that type.
bool hasType(std::span<const std::uint8_t> data, std::uint32_t type);

// Empty data is "(file empty)", one or two bytes "(file too small)".
file_traits_t detectError(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
