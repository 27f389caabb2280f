#pragma once

#include <cstdint>
#include <vector>

namespace platter {

// Appends the G64 frame (signature, track offsets, speed zones) of a six-part GCR zipcode set,
// whose first part file says how many tracks carry data; false unless six parts are given and it
// starts 0xFF 0x03.
bool writeZip6Frame(const std::vector<std::vector<std::uint8_t>>& parts, std::vector<std::uint8_t>& out);

}  // namespace platter
