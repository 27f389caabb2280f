#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platter::fileid {

// The data that a file of the type carries inside itself, as views into `data`:
// for the BHP virus, the host program behind the virus code; nothing for other
// types. Type 1 identifies the data first and uses its first result.
std::vector<std::span<const std::uint8_t>> metadataForType(std::span<const std::uint8_t> data, std::uint32_t type);

}  // namespace platter::fileid
