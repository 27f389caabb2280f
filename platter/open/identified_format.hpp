#pragma once
// What opening needs from identification, in one place.

#include <cstdint>
#include <span>

#include "platter/ids/format_id.hpp"

namespace platter {

// Type id of the first identification result, 0 when nothing was recognised.
std::uint32_t firstIdentifiedType(std::span<const std::uint8_t> bytes);

// The registry id that the first identified type opens as; none when it is no container kind.
format_id identifiedFormat(std::span<const std::uint8_t> bytes);

}  // namespace platter
