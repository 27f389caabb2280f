#include "forge/temporary_file_guard.hpp"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"

namespace forge {
namespace {

namespace fs = std::filesystem;
using test_support::bytes_t;

constexpr int kGuarded[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Runs the steps in a child process that starts with the default dispositions, as a command
// started by a shell does, and returns its wait status.
int statusOf(const std::function<void()>& steps) {
    const pid_t child = ::fork();
    if (child == 0) {
        for (const int signal : kGuarded) ::signal(signal, SIG_DFL);
        steps();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

// Each signal removes the files still guarded, not those forgotten, and ends the process as it
// would have without the guard.
TEST(TemporaryFileGuard, SignalsRemoveGuardedFilesAndEndTheProcess) {
    for (const int signal : kGuarded) {
        const test_support::ScratchDir scratch;
        const fs::path guarded = scratch.write(".a.zt-1", bytes_t(3, 1));
        const fs::path renamed = scratch.write(".b.zt-2", bytes_t(3, 1));
        const int status = statusOf([&] {
            TemporaryFileGuard guard;
            {
                const HeldSignals held;
                guard.add(guarded.string());
                guard.add(renamed.string());
            }
            guard.forget(renamed.string());
            ::raise(signal);
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_FALSE(fs::exists(guarded)) << signal;
        EXPECT_TRUE(fs::exists(renamed)) << signal;
    }
}

// A held signal takes effect when the steps it waited for are done. An ignored signal stays
// ignored under a guard, and after the guard the dispositions are those from before.
TEST(TemporaryFileGuard, HeldAndIgnoredSignals) {
    const test_support::ScratchDir scratch;
    const int held = statusOf([&] {
        {
            const HeldSignals hold;
            ::raise(SIGTERM);
            test_support::writeBytes(scratch.file("during"), bytes_t(1, 1));
        }
        test_support::writeBytes(scratch.file("after"), bytes_t(1, 1));
    });
    ASSERT_TRUE(WIFSIGNALED(held));
    EXPECT_EQ(WTERMSIG(held), SIGTERM);
    EXPECT_TRUE(fs::exists(scratch.file("during")));
    EXPECT_FALSE(fs::exists(scratch.file("after")));

    const fs::path file = scratch.write(".c.zt-3", bytes_t(3, 1));
    constexpr int kRestored = 3;
    const int ignored = statusOf([&] {
        ::signal(SIGHUP, SIG_IGN);
        {
            TemporaryFileGuard guard;
            {
                const HeldSignals hold;
                guard.add(file.string());
            }
            ::raise(SIGHUP);
        }
        struct sigaction hangup {};
        struct sigaction terminate {};
        ::sigaction(SIGHUP, nullptr, &hangup);
        ::sigaction(SIGTERM, nullptr, &terminate);
        ::_exit(hangup.sa_handler == SIG_IGN && terminate.sa_handler == SIG_DFL ? kRestored : 0);
    });
    ASSERT_TRUE(WIFEXITED(ignored));
    EXPECT_EQ(WEXITSTATUS(ignored), kRestored);
    EXPECT_TRUE(fs::exists(file));
}

}  // namespace
}  // namespace forge
