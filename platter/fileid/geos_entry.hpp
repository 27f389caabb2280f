#pragma once

#include <cstdint>
#include <span>

namespace platter {

// An entry that looks like a GEOS file: sequential structure or VLIR, an info block, and a
// valid date and time (the raw 32 bytes of a directory entry).
bool isGeosEntry(std::span<const std::uint8_t> entry);

}  // namespace platter
