#include "forge/paths.hpp"

#include <gtest/gtest.h>

namespace {

TEST(Paths, NameDirectoryAndExtension) {
    struct path_case_t {
        const char* path;
        const char* name;
        const char* dir;
        const char* extension;
    };
    const path_case_t cases[] = {
        {"a/b/c.d64", "c.d64", "a/b/", "d64"},
        {"c.d64", "c.d64", "", "d64"},
        {"a/b/", "", "a/b/", ""},
        {"a/..", "", "a/..", ""},
        {"a/.", "", "a/.", ""},
        {".", "", ".", ""},
        {"C:\\dir\\x.prg", "x.prg", "C:\\dir\\", "prg"},
        {".profile", ".profile", "", "profile"},
        {"archive.tar.gz", "archive.tar.gz", "", "gz"},
        {"game.D64", "game.D64", "", "D64"},
        {"name.", "name.", "", ""},
        {"dir.d/noext", "noext", "dir.d/", ""},
        {"", "", "", ""},
    };
    for (const path_case_t& c : cases) {
        EXPECT_EQ(forge::fileName(c.path), c.name) << c.path;
        EXPECT_EQ(forge::dirName(c.path), c.dir) << c.path;
        EXPECT_EQ(forge::fileExtension(c.path), c.extension) << c.path;
    }
}

TEST(Paths, JoinPath) {
    EXPECT_EQ(forge::joinPath("dir/", "/file"), "dir/file");
    EXPECT_EQ(forge::joinPath("a\\b", "c"), "a/b/c");
    EXPECT_EQ(forge::joinPath("", "\\x"), "\\x");
    EXPECT_EQ(forge::joinPath("///", "x"), "/x");
    EXPECT_EQ(forge::joinPath("a//", ""), "a");
    EXPECT_EQ(forge::joinPath("x\\y/", "\\z\\w"), "x/y/z/w");
}

}  // namespace
