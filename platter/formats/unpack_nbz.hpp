#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platter {

// Unpacks an NBZ image into the NIB file it packs: byte 0 is the escape byte E;
// E 0 stands for E itself, E followed by a length and a distance (big-endian
// 7-bit groups, bit 7 set on every byte but the last) copies length bytes from
// distance bytes back. The end of the data ends the output, also inside a
// back reference (a file cut short); empty result for data that is only the
// escape byte; nullopt for a back reference before the start of the output, a
// number that overflows, or output past the largest NIB file this accepts.
std::optional<std::vector<std::uint8_t>> unpackNbz(std::span<const std::uint8_t> packed);

}  // namespace platter
