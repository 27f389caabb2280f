#include "app/startup.hpp"

#include "tests/support/in_child.hpp"
#include "app/program_state.hpp"
#include "forge/log.hpp"
#include "forge/terminal.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace app {
namespace {

struct startup_result_t {
    int status;
    unsigned quiet;
    unsigned verbose;
    std::uint32_t mode;
};

// Runs the start-up with the words (after "zt"), its standard streams on /dev/null.
startup_result_t runQuietly(std::vector<const char*> words) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    words.insert(words.begin(), "zt");
    words.push_back(nullptr);
    const int status = runMain(static_cast<int>(words.size() - 1), const_cast<char**>(words.data()));
    return {status, forge::g_quiet_level, forge::g_verbose_level, g_console.mode()};
}

std::string expectLevels(std::vector<const char*> words, int status, unsigned quiet, unsigned verbose) {
    const startup_result_t result = runQuietly(std::move(words));
    if (result.status != status || result.quiet != quiet || result.verbose != verbose)
        return "status " + std::to_string(result.status) + ", quiet " + std::to_string(result.quiet) + ", verbose " +
               std::to_string(result.verbose);
    return "";
}

TEST(StartupTest, MessageLevelsFollowQuietAndVerbose) {
    // Levels are settled before the parse-error check, so a bad option shows them without a command.
    EXPECT_TRUE(inChild([] { return expectLevels({"--bogus"}, 1, 0, 1); }));
    EXPECT_TRUE(inChild([] { return expectLevels({"-q", "--bogus"}, 1, 1, 0); }));
    EXPECT_TRUE(inChild([] { return expectLevels({"-qqq", "--bogus"}, 1, 3, 0); }));
    EXPECT_TRUE(inChild([] { return expectLevels({"file", "-v", "--bogus"}, 1, 0, 2); }));
    EXPECT_TRUE(inChild([] { return expectLevels({"diff", "-vv", "--verbose", "--bogus"}, 1, 0, 4); }));
}

TEST(StartupTest, AsciiWinsOverUnicode) {
    EXPECT_TRUE(inChild([] {
        const startup_result_t result = runQuietly({"--ascii", "-U", "--license", "xxhash"});
        return result.status == 0 && result.mode == forge::kModeAscii ? "" : "mode " + std::to_string(result.mode);
    }));
    EXPECT_TRUE(inChild([] {
        const startup_result_t result = runQuietly({"ls", "-U", "--ascii"});
        return result.mode == forge::kModeAscii ? "" : "mode " + std::to_string(result.mode);
    }));
    EXPECT_TRUE(inChild([] {
        const startup_result_t result = runQuietly({"-U", "--license=stb_truetype"});
        return result.mode == forge::kModeUnicode ? "" : "mode " + std::to_string(result.mode);
    }));
}

// --debug takes a number in any of the user's forms and changes nothing of the run.
TEST(StartupTest, DebugTakesUserNumbers) {
    for (const char* level : {"$1f", "0x100000000", "%101"}) {
        EXPECT_TRUE(inChild([level] {
            const startup_result_t result = runQuietly({"--debug", level, "--license", "xxhash"});
            return result.status == 0 ? "" : "status " + std::to_string(result.status);
        }));
    }
}

// Runs the start-up with standard output on a full device; returns the status and the error stream.
std::pair<int, std::string> runOnFullDevice(std::vector<const char*> words) {
    char error_path[] = "/tmp/zt_startup_stderr_XXXXXX";
    const int error_fd = mkstemp(error_path);
    const int full = open("/dev/full", O_WRONLY);
    if (error_fd < 0 || full < 0) return {-1, "cannot open /dev/full or a scratch file"};
    dup2(full, STDOUT_FILENO);
    dup2(error_fd, STDERR_FILENO);
    words.insert(words.begin(), "zt");
    words.push_back(nullptr);
    const int status = runMain(static_cast<int>(words.size() - 1), const_cast<char**>(words.data()));
    std::string errors(4096, '\0');
    const ssize_t got = pread(error_fd, errors.data(), errors.size(), 0);
    errors.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    unlink(error_path);
    return {status, errors};
}

TEST(StartupTest, LostStandardOutputIsAFailure) {
    const std::string expected = "zt: error: could not write to standard output\n";
    EXPECT_TRUE(inChild([&] {
        const auto [status, errors] = runOnFullDevice({"--license", "xxhash"});
        return status == 1 && errors == expected ? "" : "status " + std::to_string(status) + ", stderr " + errors;
    }));
    EXPECT_TRUE(inChild([&] {
        const auto [status, errors] = runOnFullDevice({"ls", "--help"});  // before the program name is set
        return status == 1 && errors == expected ? "" : "status " + std::to_string(status) + ", stderr " + errors;
    }));
}

}  // namespace
}  // namespace app
