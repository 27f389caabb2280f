#pragma once
// Process-wide state that main settles from the command line.

#include "forge/terminal.hpp"

#include <cstdint>

namespace app {

// The console bound to standard output; commands switch its colour on or off.
extern forge::Console g_console;
// The value of --debug; -1 when it does not fit.
extern std::int32_t g_debug_level;

}  // namespace app
