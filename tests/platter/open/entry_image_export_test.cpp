#include "platter/open/entry_image_export.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "platter/core/disk.hpp"
#include "platter/open/nested_container.hpp"
#include "platter/open/open_container.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

namespace fs = std::filesystem;
using test_support::ScratchDir;

// lynx.d64: 0 HELLO (a program), 1 ARCH.LNX (a Lynx archive holding HELLO).
constexpr std::uint64_t kHello = 0;
constexpr std::uint64_t kArchive = 1;

std::unique_ptr<Disk> lynxImage() { return test_support::openD64(test_support::readFixture("ls/lynx.d64")); }

// Whether this build expands the archive entry (the shared descent decides).
bool archiveExpands(Disk& disk) {
    dir_entry_t entry;
    return disk.getEntry(kArchive, false, entry) && openNestedContainer(disk, entry).disk != nullptr;
}

// The first file of the image saved at `path`.
std::vector<std::uint8_t> firstFileOf(const fs::path& path) {
    const open_result_t opened = openContainerFile(path);
    std::vector<std::uint8_t> data;
    if (opened.disk) opened.disk->readFileByIndex(0, false, data);
    return data;
}

TEST(ExportEntryAsImage, AnArchiveBecomesTheImageItExpandsTo) {
    const auto disk = lynxImage();
    ASSERT_TRUE(disk);
    std::vector<std::uint8_t> hello;
    ASSERT_TRUE(disk->readFileByIndex(kHello, false, hello));
    const ScratchDir dir;
    const bool expands = archiveExpands(*disk);
    EXPECT_EQ(exportEntryAsImage(*disk, kArchive, dir.file("arch.lnx")), expands) << disk->lastError();
    EXPECT_FALSE(fs::exists(dir.file("arch.lnx")));
    if (expands) {
        EXPECT_EQ(firstFileOf(dir.file("arch.d64")), hello);
    } else {
        EXPECT_EQ(disk->lastError(), kErrExtractRead);
        EXPECT_FALSE(fs::exists(dir.file("arch.d64")));
    }

    // A program holds no container.
    EXPECT_FALSE(exportEntryAsImage(*disk, kHello, dir.file("hello.d64")));
    EXPECT_EQ(disk->lastError(), kErrExtractRead);
    EXPECT_FALSE(fs::exists(dir.file("hello.d64")));
}

TEST(ExportEntryAsImage, ExportsWithArchivesAsImagesWriteOnlyThem) {
    const auto disk = lynxImage();
    ASSERT_TRUE(disk);
    const ScratchDir dir;
    test_support::writeText(dir.file("arch.d64"), "old");
    export_options_t options;
    options.archivesAsImages = &archiveEntryOpener();
    const bool expands = archiveExpands(*disk);
    EXPECT_EQ(disk->exportFiles(dir.path(), options), expands) << disk->lastError();
    EXPECT_EQ(test_support::readText(dir.file("arch.d64")), "old");
    // The program is no archive, so it is not exported.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), expands ? 2 : 1);
    if (expands) {
        EXPECT_EQ(firstFileOf(dir.file("arch~2.d64")).size(), 14u);
    }
}

TEST(ExportEntryAsImage, AZipcodeSetIsSavedOnceAsTheImageItHolds) {
    // zset.d64 holds the four parts 1!GAME to 4!GAME of one set.
    const auto disk = test_support::openD64(test_support::readFixture("zipcode/zset.d64"));
    ASSERT_TRUE(disk);
    const ScratchDir dir;
    export_options_t options;
    options.archivesAsImages = &archiveEntryOpener();
    ASSERT_TRUE(disk->exportFiles(dir.path(), options)) << disk->lastError();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    dir_entry_t part;
    ASSERT_TRUE(disk->getEntry(0, false, part));
    const open_result_t expected = openNestedContainer(*disk, part);
    ASSERT_TRUE(expected.disk);
    std::vector<std::uint8_t> file;
    ASSERT_TRUE(expected.disk->readFileByIndex(0, false, file));
    EXPECT_EQ(firstFileOf(dir.file("game.d64")), file);
}

}  // namespace
}  // namespace platter
