#pragma once

#include <array>
#include <cstdint>

namespace platter {

// The RAMDOS program a merged container carries at 0x0300. Its code is not
// available to this program: the area is zero-filled, and the merge command
// says so when it writes a container.
inline constexpr std::size_t kRamdosCodeSize = 7424;
extern const std::array<std::uint8_t, kRamdosCodeSize> g_ramdos_code;

}  // namespace platter
