#pragma once
// Identification results reduced to what the tests compare: their types, their
// metadata keys.

#include <cstdint>
#include <vector>

#include "platter/fileid/file_traits.hpp"

namespace fileid_test {

using Types = std::vector<std::uint32_t>;
using Keys = std::vector<std::uint32_t>;

inline Types typesOf(const std::vector<platter::fileid::file_traits_t>& results) {
    Types types;
    for (const auto& traits : results) types.push_back(traits.type);
    return types;
}

inline Keys keysOf(const platter::fileid::file_traits_t& traits) {
    Keys keys;
    for (const auto& item : traits.metadata) keys.push_back(item.key);
    return keys;
}

}  // namespace fileid_test
