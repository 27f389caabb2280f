#pragma once

#include <cstdint>

namespace platter {

// The container-format registry id that a file of the identified type opens as;
// 0 when the type is no container the registry can open.
std::uint32_t formatIdForType(std::uint32_t type);

}  // namespace platter
