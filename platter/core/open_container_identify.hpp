#pragma once

#include <cstdint>
#include <span>

namespace platter {

// What opening needs from identification, in one place.

// Type id of the first identification result, 0 when nothing was recognised.
std::uint32_t firstIdentifiedType(std::span<const std::uint8_t> bytes);

// Registry id that the first identified type opens as; kFormatUnknown (37) for none.
std::uint32_t identifiedRegistryId(std::span<const std::uint8_t> bytes);

// True when the type descends from the Lynx type (80); the Lynx type itself does not.
bool descendsFromLynx(std::uint32_t typeId);

}  // namespace platter
