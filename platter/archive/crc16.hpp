#pragma once

#include <cstdint>
#include <span>

namespace platter {

// CRC-16/ARC (reflected polynomial 0xA001, initial 0, no final XOR), the
// check value of LHA entries.
std::uint16_t crc16Arc(std::span<const std::uint8_t> bytes);

}  // namespace platter
