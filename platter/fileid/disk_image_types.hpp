#pragma once

#include <cstdint>

namespace platter {

// True for the identification type ids of disk images (5-11, 13, 15, 17, 19, 21, 23-25, 27-32).
bool isDiskImageTypeId(std::uint32_t typeId);

}  // namespace platter
