#pragma once
// Runs the command selected on the command line.

namespace app {

// Builds the command of g_getopt's selected word (ls when none), runs it and
// returns its result; 1 with a fatal message for a command that is not built yet.
int dispatchCommand();

}  // namespace app
