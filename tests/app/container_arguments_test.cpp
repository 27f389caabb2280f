#include "app/container_arguments.hpp"

#include <gtest/gtest.h>

#include "tests/support/files.hpp"

#include <filesystem>
#include <string>

namespace app {
namespace {

const std::string g_data = test_support::fixturePath("ls/").string();

TEST(CheckExists, NamesDirectoriesAndMissingPaths) {
    Reporter reporter;
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(checkExists(g_data + "t.d64", false, reporter));
    EXPECT_FALSE(reporter.failed());
    EXPECT_FALSE(checkExists(g_data + "tree", false, reporter));
    EXPECT_FALSE(checkExists("nosuch", false, reporter));
    EXPECT_FALSE(checkExists("nosuch", true, reporter));
    EXPECT_TRUE(reporter.failed());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "error: \"" + g_data + "tree\" is a directory\nerror: 'nosuch': No such file or directory.\n");
}

TEST(CheckReadable, HandsTheBytesOverAndReportsTheCallbacksResult) {
    Reporter reporter;
    std::size_t size = 0;
    EXPECT_TRUE(checkReadable(
        g_data + "tree/notes.txt",
        [&](forge::file_t& file, const std::string&) {
            size = file.data.size();
            return 0;
        },
        reporter));
    EXPECT_EQ(size, 16u);
    EXPECT_FALSE(checkReadable(
        g_data + "tree/notes.txt", [](forge::file_t&, const std::string&) { return 1; }, reporter));
}

// An endless stream ends at the size every read stops at, with the message that names it.
TEST(CheckReadable, AStreamLargerThanAnyReadIsNamed) {
    if (!std::filesystem::is_character_file("/dev/zero")) GTEST_SKIP();
    Reporter reporter;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(checkReadable("/dev/zero", [](forge::file_t&, const std::string&) { return 0; }, reporter));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "error: 'zero' is larger than 64 MiB, more than any image or archive this reads\n");
}

}  // namespace
}  // namespace app
