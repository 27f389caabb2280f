#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Every type the data is recognised as, in table order; never empty (the unknown
// result when nothing matches). Callers act on the first result.
std::vector<file_traits_t> identify(std::span<const std::uint8_t> data);

// Identification restricted to one type (and, with allDescendants, its variants);
// no size limits and no stop rule. Never empty.
std::vector<file_traits_t> identifyAs(std::span<const std::uint8_t> data, std::uint32_t type,
                                      bool allDescendants = false);

// True when identify() holds a result of exactly that type.
bool hasType(std::span<const std::uint8_t> data, std::uint32_t type);

// Empty data is "(file empty)", one or two bytes "(file too small)".
file_traits_t detectError(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
