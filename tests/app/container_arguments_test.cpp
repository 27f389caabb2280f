#include "app/container_arguments.hpp"

#include <gtest/gtest.h>

#include "platter/core/disk.hpp"

#include <string>

namespace app {
namespace {

const std::string g_data = std::string(ZT_TEST_DATA) + "/ls/";

struct opened_t {
    int status = -1;
    std::string name;
    std::uint64_t blocksFree = 0;
    std::string errors;
};

opened_t open(const std::string& path) {
    opened_t opened;
    ::testing::internal::CaptureStderr();
    opened.status = openContainerArgument(path, [&](platter::Disk& disk, const std::string& name) {
        opened.name = name;
        opened.blocksFree = disk.blocksFree();
        return 7;
    });
    opened.errors = ::testing::internal::GetCapturedStderr();
    return opened;
}

TEST(OpenContainerArgument, AnImageReachesTheCallbackUnderItsPath) {
    const opened_t opened = open(g_data + "t.d64");
    EXPECT_EQ(opened.status, 7);
    EXPECT_EQ(opened.name, g_data + "t.d64");
    EXPECT_EQ(opened.blocksFree, 663u);
    EXPECT_EQ(opened.errors, "");
}

TEST(OpenContainerArgument, OtherFilesAreWarningsAndUnreadableOnesErrors) {
    const opened_t text = open(g_data + "tree/notes.txt");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.name, "");
    EXPECT_EQ(text.errors, "warning: 'notes.txt' not ID'd as a supported format\n");

    const opened_t missing = open(g_data + "missing.d64");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errors, "error: 'missing.d64' could not be read\n");

    const opened_t directory = open(g_data + "tree");
    EXPECT_EQ(directory.status, 1);
    EXPECT_EQ(directory.errors, "error: 'tree' could not be read\n");
}

TEST(CheckExists, NamesDirectoriesAndMissingPaths) {
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(checkExists(g_data + "t.d64", false));
    EXPECT_FALSE(checkExists(g_data + "tree", false));
    EXPECT_FALSE(checkExists("nosuch", false));
    EXPECT_FALSE(checkExists("nosuch", true));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "error: \"" + g_data + "tree\" is a directory\nerror: 'nosuch': No such file or directory.\n");
}

TEST(CheckReadable, HandsTheBytesOverAndReportsTheCallbacksResult) {
    std::size_t size = 0;
    EXPECT_TRUE(checkReadable(g_data + "tree/notes.txt", [&](forge::file_t& file, const std::string&) {
        size = file.data.size();
        return 0;
    }));
    EXPECT_EQ(size, 16u);
    EXPECT_FALSE(checkReadable(g_data + "tree/notes.txt", [](forge::file_t&, const std::string&) { return 1; }));
}

}  // namespace
}  // namespace app
