#pragma once

#include <cstdint>
#include <span>

namespace platter {

// CBM DOS name matching with '*' and '?' over names that end at their first 0xA0.
bool cbmWildcardMatch(std::span<const std::uint8_t> pattern, std::span<const std::uint8_t> name);

}  // namespace platter
