#pragma once
// Test support: runs the whole program (argument parsing included) in a child process of its
// own, since the option objects are process-wide, and hands back what it wrote. For test
// programs that link the app library.

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/startup.hpp"
#include "tests/support/files.hpp"
#include "tests/support/in_child.hpp"
#include "tests/support/scratch_dir.hpp"

namespace test_support {

struct zt_run_t {
    bool ran = false;  // the child finished cleanly
    int status = -1;
    std::string out;
    std::string errors;
};

// `zt words...` with standard input from `input` (/dev/null when empty); with `oneStream`, the
// error stream goes where standard output goes, as `2>&1` sends it, and `errors` stays empty.
inline zt_run_t runZt(std::vector<std::string> words, const std::filesystem::path& input = {},
                      bool oneStream = false) {
    const ScratchDir scratch;
    const std::string out = scratch.file("stdout").string();
    const std::string errors = scratch.file("stderr").string();
    const std::string status = scratch.file("status").string();
    const std::string in = input.empty() ? std::string("/dev/null") : input.string();
    zt_run_t result;
    result.ran = app::inChild([=]() mutable {
        const int inFd = ::open(in.c_str(), O_RDONLY);
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(inFd, STDIN_FILENO);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(oneStream ? outFd : errFd, STDERR_FILENO);
        std::vector<char*> argv;
        words.insert(words.begin(), "zt");
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const int code = app::runMain(static_cast<int>(words.size()), argv.data());
        writeText(status, std::to_string(code));
        return std::string();
    });
    result.out = readText(out);
    result.errors = readText(errors);
    const std::string code = readText(status);
    if (!code.empty()) result.status = std::stoi(code);
    return result;
}

}  // namespace test_support
