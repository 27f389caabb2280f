#include "platter/archive/ramdos_code.hpp"

namespace platter {

const std::array<std::uint8_t, kRamdosCodeSize> g_ramdos_code{};

}  // namespace platter
