#include "forge/file_node.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"

namespace forge {
namespace {

namespace fs = std::filesystem;

// Devices, pipes and sockets, through links too, are nodes; files, directories and nothing are
// not. A descriptor's link names no file of its own whatever it is open on.
TEST(FileNode, NodesAreToldFromFiles) {
    const test_support::ScratchDir scratch;
    const fs::path file = scratch.write("image.d64", {1});
    ASSERT_EQ(::mkfifo(scratch.file("fifo").c_str(), 0600), 0);
    fs::create_symlink("fifo", scratch.file("to_fifo"));
    fs::create_symlink("image.d64", scratch.file("to_file"));
    for (const char* node : {"fifo", "to_fifo"}) {
        EXPECT_TRUE(isNode(scratch.file(node))) << node;
        EXPECT_TRUE(namesNoFileOfItsOwn(scratch.file(node).string())) << node;
    }
    if (fs::is_character_file("/dev/null")) {
        EXPECT_TRUE(isNode("/dev/null"));
    }
    for (const char* named : {"image.d64", "to_file", "missing"}) {
        EXPECT_FALSE(isNode(scratch.file(named))) << named;
        EXPECT_FALSE(namesNoFileOfItsOwn(scratch.file(named).string())) << named;
    }
    EXPECT_FALSE(isNode(scratch.path()));

    const int saved = ::dup(STDIN_FILENO);
    const int opened = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(opened, 0);
    ::dup2(opened, STDIN_FILENO);
    ::close(opened);
    const bool descriptor = namesNoFileOfItsOwn("/dev/stdin");
    const bool node = isNode("/dev/stdin");
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
    EXPECT_TRUE(descriptor);
    EXPECT_FALSE(node);
}

}  // namespace
}  // namespace forge
