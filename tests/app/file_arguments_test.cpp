#include "app/file_arguments.hpp"

#include "tests/support/scratch_dir.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace app {
namespace {

namespace fs = std::filesystem;

TEST(SplitPathSelector, FirstColonSplitsAfterADrivePrefix) {
    struct row_t {
        std::string argument, path, selector;
    };
    const std::vector<row_t> rows = {
        {"game.d64:*", "game.d64", "*"},
        {"game.d64:", "game.d64", ""},
        {"game.d64", "game.d64", ""},
        {"a:b:c", "a", "b:c"},
        {"C:\\games\\x.d64:1", "C:\\games\\x.d64", "1"},
        {"C:\\games", "C:\\games", ""},
        {"C:x", "C", "x"},  // no backslash: no drive prefix
        {":x", "", "x"},
    };
    for (const row_t& row : rows) {
        const auto [path, selector] = splitPathSelector(row.argument);
        EXPECT_EQ(path, row.path) << row.argument;
        EXPECT_EQ(selector, row.selector) << row.argument;
    }
}

class HostTree : public ::testing::Test {
protected:
    void touch(const std::string& relative) {
        fs::create_directories((fs::path(root) / relative).parent_path());
        std::ofstream(fs::path(root) / relative) << "x";
    }

    std::vector<std::string> walk(const std::string& start) {
        std::vector<std::string> seen;
        EXPECT_TRUE(walkDirectory(start, [&](const std::string& path) { seen.push_back(path.substr(root.size())); }));
        return seen;
    }

    test_support::ScratchDir scratch;
    std::string root = scratch.path().string();
};

TEST_F(HostTree, FilesInByteOrderBeforeSubdirectoriesSmallestFirst) {
    touch("a.d64");
    touch("B.d64");
    touch("zsub/z.d64");
    touch("sub/c.d64");
    touch("sub/deeper/d.d64");
    touch("sub2/e.d64");
    const std::vector<std::string> expected = {"/B.d64",      "/a.d64",     "/sub/c.d64", "/sub/deeper/d.d64",
                                               "/sub2/e.d64", "/zsub/z.d64"};
    EXPECT_EQ(walk(root), expected);
}

// A link to a file is a file; a link to a directory is neither followed (it may loop) nor
// handed out as a file that cannot be read.
TEST_F(HostTree, LinksToFilesAreFilesLinksToDirectoriesAreLeftOut) {
    touch("sub/c.d64");
    fs::create_directory_symlink(fs::path(root) / "sub", fs::path(root) / "link");
    fs::create_directory_symlink(fs::path(root), fs::path(root) / "sub" / "up");
    fs::create_symlink(fs::path(root) / "sub" / "c.d64", fs::path(root) / "c-link.d64");
    const std::vector<std::string> expected = {"/c-link.d64", "/sub/c.d64"};
    EXPECT_EQ(walk(root), expected);
}

TEST_F(HostTree, TrailingSeparatorIsNotDoubled) {
    touch("a.d64");
    EXPECT_EQ(walk(root + "/"), std::vector<std::string>{"/a.d64"});
}

TEST_F(HostTree, PathsGoToTheirHandlersAndOthersAreRefused) {
    touch("a.d64");
    std::string file, directory;
    const FileHandler onFile = [&](const std::string& path) { file = path; };
    const DirectoryHandler onDirectory = [&](const std::string& path, const FileHandler&) { directory = path; };

    EXPECT_TRUE(forEachPath(root + "/a.d64", onFile, onDirectory));
    EXPECT_TRUE(forEachPath(root, onFile, onDirectory));
    EXPECT_EQ(file, root + "/a.d64");
    EXPECT_EQ(directory, root);

    EXPECT_FALSE(forEachPath(root + "/missing.d64", onFile, onDirectory));
    // Pipes and character devices named by an argument are read like standard input.
    ASSERT_EQ(::mkfifo((root + "/pipe").c_str(), 0600), 0);
    EXPECT_TRUE(forEachPath(root + "/pipe", onFile, onDirectory));
    EXPECT_EQ(file, root + "/pipe");
    EXPECT_TRUE(forEachPath("/dev/null", onFile, onDirectory));
    EXPECT_EQ(file, "/dev/null");
}

// A walk leaves pipes out, and links to them, so that it never waits for a writer.
TEST_F(HostTree, WalksSkipPipes) {
    touch("a.d64");
    ASSERT_EQ(::mkfifo((root + "/pipe.d64").c_str(), 0600), 0);
    fs::create_symlink(root + "/pipe.d64", root + "/link.d64");
    EXPECT_EQ(walk(root), std::vector<std::string>{"/a.d64"});
}

// Host names may hold ':'; an argument that names a path is that path.
TEST_F(HostTree, ColonsInHostNames) {
    touch("Game: Disk 1.d64");
    touch("dir:with/colon.d64");
    touch("x.d64");
    struct row_t {
        std::string argument, path, selector;
    };
    const std::vector<row_t> rows = {
        {"/Game: Disk 1.d64", "/Game: Disk 1.d64", ""},
        {"/Game: Disk 1.d64:*", "/Game: Disk 1.d64", "*"},
        {"/dir:with/colon.d64:NAME", "/dir:with/colon.d64", "NAME"},
        {"/x.d64:SUB:INNER", "/x.d64", "SUB:INNER"},
        {"/missing:x", "/missing", "x"},
    };
    for (const row_t& row : rows) {
        const auto [path, selector] = splitPathSelector(root + row.argument);
        EXPECT_EQ(path, root + row.path) << row.argument;
        EXPECT_EQ(selector, row.selector) << row.argument;
    }
}

}  // namespace
}  // namespace app
