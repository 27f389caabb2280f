#pragma once
// Process-wide state that main settles from the command line.

#include "forge/terminal.hpp"

namespace app {

// The console bound to standard output; commands switch its colour on or off.
extern forge::Console g_console;

}  // namespace app
