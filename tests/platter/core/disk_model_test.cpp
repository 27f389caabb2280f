#include "platter/core/data_provider.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/formats/disk41.hpp"

#include "tests/support/files.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace platter {
namespace {

TEST(DiskOpenBytes, OpensTheBytesAsTheNamedFileWithoutReadingIt) {
    std::vector<std::uint8_t> image = test_support::readFixture("core/small.d64");
    const std::uint8_t* const original = image.data();
    Disk41 disk;
    // The name is no file on disk: nothing may be read from it.
    ASSERT_TRUE(disk.openBytes("nowhere/GAME.PRG", std::move(image)));
    EXPECT_EQ(disk.providerData(0), original);
    EXPECT_EQ(disk.imagePath(), "nowhere/GAME.PRG");
    EXPECT_EQ(disk.sourcePath(), "nowhere/GAME.PRG");
    EXPECT_EQ(disk.lastError(), 0u);
    EXPECT_FALSE(disk.isModified());
    EXPECT_EQ(disk.blocksFree(), 661u);
    EXPECT_EQ(disk.countDirectoryEntries(), 2u);
}

TEST(DiskOpenBytes, FillsAProviderTheImageAlreadyHas) {
    DataProvider provider;
    Disk41 disk;
    disk.setDataProvider(&provider);
    ASSERT_TRUE(disk.openBytes("x.d64", test_support::readFixture("core/small.d64")));
    EXPECT_EQ(disk.dataProvider(), &provider);
    EXPECT_EQ(provider.size(), 174848u);
    EXPECT_EQ(disk.blocksFree(), 661u);
}

TEST(DiskOpenBytes, ParsesTheSizeLikeAFileOpen) {
    Disk41 disk;
    std::vector<std::uint8_t> withErrors = test_support::readFixture("core/small.d64");
    withErrors.resize(175531, 1);
    ASSERT_TRUE(disk.openBytes("e.d64", std::move(withErrors)));
    EXPECT_EQ(disk.errorBytes().size(), 683u);

    Disk41 odd;
    ASSERT_TRUE(odd.openBytes("odd.d64", std::vector<std::uint8_t>(1000, 0)));
    EXPECT_EQ(odd.lastError(), kErrBadSize);
    EXPECT_EQ(odd.providerSize(), 1000u);
    EXPECT_EQ(odd.sectorPointer(18, 0), nullptr);
}

// A file that ends before its geometry's last block lacks blocks; one that holds it whole, error
// bytes or not, lacks none, and an odd size is read as the geometry it holds.
TEST(DiskDamage, AFileEndingBeforeTheLastBlockMissesBlocks) {
    const struct {
        std::size_t size;
        bool misses;
    } cases[] = {{174848, false}, {175531, false}, {174847, true}, {174848 - 256, true},
                 {174848 - 17 * 256, true}, {1000, true}, {196608, false}, {196607, false}};
    for (const auto& item : cases) {
        std::vector<std::uint8_t> bytes = test_support::readFixture("core/small.d64");
        bytes.resize(item.size, 1);
        Disk41 disk;
        ASSERT_TRUE(disk.openBytes("cut.d64", std::move(bytes))) << item.size;
        EXPECT_EQ(disk.damage().missesBlocks, item.misses) << item.size;
        EXPECT_EQ(disk.damageBeforeSave().missesBlocks, item.misses) << item.size;
    }
}

}  // namespace
}  // namespace platter
