#pragma once
// What a transfer adds after a file's last byte: XMODEM's fill of 0x1A (or zero) up to its
// next 128-byte packet, or the zeros of a copy's last 254-byte block.

#include <cstdint>
#include <span>

namespace platter {

// Whether `tail`, the bytes after a container's data, are such a fill: fewer than a block,
// all 0 or all 0x1A.
bool isTransferPadding(std::span<const std::uint8_t> tail);

}  // namespace platter
