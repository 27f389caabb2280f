#include "tests/support/process.hpp"

#include "tests/support/scratch_dir.hpp"

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

std::optional<bytes_t> imageFromScript(const std::string& script) {
    if (!haveProgram("/usr/bin/cc1541") || !haveProgram("/usr/bin/python3")) return std::nullopt;
    const ScratchDir dir;
    const auto [output, status] =
        runCommand("sh " + fixturePath(script).string() + " " + dir.file("image.d64").string());
    if (status != 0) return std::nullopt;
    return readBytes(dir.file("image.d64"));
}

}  // namespace test_support
