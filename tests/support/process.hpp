#pragma once
// Test support: running outside tools (fixture writers, peers, the zt binary).

#include <optional>
#include <string>
#include <utility>

#include "tests/support/files.hpp"

namespace test_support {

// True when the path names an executable file.
bool haveProgram(const std::string& path);

// Standard output and error stream together, and the exit status (as system() gives it), of a shell command.
std::pair<std::string, int> runCommand(const std::string& command);

// The image a fixture script below tests/data writes with cc1541 and python3 (run as
// `sh SCRIPT OUT`); nothing when either is missing or the script fails.
std::optional<bytes_t> imageFromScript(const std::string& script);

}  // namespace test_support
