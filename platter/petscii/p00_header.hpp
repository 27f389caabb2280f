#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platter {

inline constexpr std::size_t kP00HeaderSize = 26;

// Fills the header of a P00-family wrapper for a directory entry (32 bytes):
// "C64File\0", the name with its trailing 0xA0 run zeroed, 0, and the REL
// record length for REL files.
void buildP00Header(std::span<std::uint8_t, kP00HeaderSize> header, std::span<const std::uint8_t> entry);

}  // namespace platter
