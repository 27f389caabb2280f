#pragma once
// Start-up: parse the command line, settle the global switches, run one command.

namespace app {

// Help, message levels, parse errors, debug level, version, output character set
// and licence texts in that order, then the dispatcher; returns the exit status,
// 1 when standard output could not be written.
int runMain(int argc, char** argv);

}  // namespace app
