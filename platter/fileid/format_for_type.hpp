#pragma once

#include <cstdint>

#include "platter/ids/format_id.hpp"

namespace platter {

// The container-format registry id that a file of the identified type opens as;
// none when the type is no container the registry can open.
format_id formatIdForType(std::uint32_t type);

}  // namespace platter
