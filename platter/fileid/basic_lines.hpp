#pragma once

#include <cstdint>
#include <span>

namespace platter::fileid {

// The number of lines of a tokenised BASIC program (a load address followed by
// linked lines); 0 when the data does not start like one. A non-zero `expectedLoad`
// also requires that load address.
std::uint32_t countBasicLines(std::span<const std::uint8_t> data, std::uint16_t expectedLoad);

}  // namespace platter::fileid
