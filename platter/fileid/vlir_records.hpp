#pragma once

#include <cstdint>
#include <span>

namespace platter {

// Byte offset of a VLIR record's data in a GEOS Convert file, 0 for an empty record or one
// whose table entry lies outside the file. Records occupy whole 254-byte blocks from 762 on.
std::uint64_t vlirRecordOffset(std::span<const std::uint8_t> convertFile, std::uint32_t record);

}  // namespace platter
