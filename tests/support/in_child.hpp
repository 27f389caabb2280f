#pragma once
// Test support: the program's option objects and command tree are process-wide and
// parsed once, so every check that parses runs in a child process of its own.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace app {

// Runs the check in a child process; the check returns its failure text (empty: passed).
inline ::testing::AssertionResult inChild(const std::function<std::string()>& check) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return ::testing::AssertionFailure() << "pipe failed";
    const pid_t pid = fork();
    if (pid < 0) return ::testing::AssertionFailure() << "fork failed";
    if (pid == 0) {
        close(pipe_ends[0]);
        const std::string failure = check();
        ssize_t written = write(pipe_ends[1], failure.data(), failure.size());
        _exit(written == static_cast<ssize_t>(failure.size()) ? 0 : 1);
    }
    close(pipe_ends[1]);
    std::string failure;
    char buffer[512];
    for (ssize_t n; (n = read(pipe_ends[0], buffer, sizeof buffer)) > 0;)
        failure.append(buffer, static_cast<std::size_t>(n));
    close(pipe_ends[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ::testing::AssertionFailure() << "child did not finish cleanly";
    if (!failure.empty()) return ::testing::AssertionFailure() << failure;
    return ::testing::AssertionSuccess();
}

}  // namespace app
