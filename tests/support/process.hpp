#pragma once
// Test support: running outside tools (fixture writers, peers, the zt binary).

#include <string>
#include <utility>

namespace test_support {

// True when the path names an executable file.
bool haveProgram(const std::string& path);

// Standard output and error stream together, and the exit status (as system() gives it), of a shell command.
std::pair<std::string, int> runCommand(const std::string& command);

}  // namespace test_support
