#include "app/program_state.hpp"

namespace app {

forge::Console g_console;

}  // namespace app
