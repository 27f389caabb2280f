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

// True when the type descends from the Lynx type (80); the Lynx type itself does not.
bool descendsFromLynx(std::uint32_t typeId);

}  // namespace platter
