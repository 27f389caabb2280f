#include "tests/support/process.hpp"

#include <cstdio>

#include <unistd.h>

namespace test_support {

bool haveProgram(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

std::pair<std::string, int> runCommand(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return {"could not run " + command, -1};
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    return {output, ::pclose(pipe)};
}

}  // namespace test_support
