#include "app/program_state.hpp"

namespace app {

forge::Console g_console;
std::int32_t g_debug_level = 0;

}  // namespace app
