#pragma once
// Runs the command selected on the command line.

namespace app {

// Builds the command of g_getopt's selected word (ls when none), runs it and
// returns its result.
int dispatchCommand();

}  // namespace app
