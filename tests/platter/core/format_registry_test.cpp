#include "platter/core/format_registry.hpp"

#include "platter/core/disk.hpp"
#include "platter/core/disk_library.hpp"
#include "platter/core/open_container_failure.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace platter {
namespace {

TEST(FormatRegistry, HoldsEveryRowWithItsIds) {
    EXPECT_EQ(containerFormats().size(), 50u);
    std::set<std::uint32_t> ids;
    for (const container_format_t& row : containerFormats()) ids.insert(row.id);
    EXPECT_EQ(ids.size(), 49u);  // id 45 has two rows
    for (std::uint32_t missing : {0u, 34u, 40u, 41u, 53u}) EXPECT_EQ(formatById(missing), nullptr) << missing;
}

TEST(FormatRegistry, FindsExtensionsWithOrWithoutDotInAnyCase) {
    for (const char* key : {".D64", "d64", ".d64"}) {
        const container_format_t* row = formatByExtension(key);
        ASSERT_NE(row, nullptr) << key;
        EXPECT_EQ(row->id, kFormatD64);
        EXPECT_EQ(row->description, "1541");
    }
    EXPECT_EQ(formatByExtension(""), nullptr);
    EXPECT_EQ(formatByExtension("."), nullptr);
    EXPECT_EQ(formatByExtension(".xyz"), nullptr);
    ASSERT_NE(formatByExtension("*"), nullptr);
    EXPECT_EQ(formatByExtension("*")->name, "ALL");
    ASSERT_NE(formatByExtension("?!*"), nullptr);
    EXPECT_EQ(formatByExtension("?!*")->id, kFormatZipcode);
    EXPECT_EQ(formatByExtension("HDD")->name, "IDE64");
}

TEST(FormatRegistry, SharedIdFindsTheLaterRowAndCbmTypesTheFirst) {
    ASSERT_NE(formatById(45), nullptr);
    EXPECT_EQ(formatById(45)->extension, ".html");
    EXPECT_EQ(formatByExtension("htm")->name, "HTM");
    const char* byType[] = {"DEL", "SEQ", "PRG", "USR", "REL", "CBM", "CMD", "UNK", "TXT"};  // PRG, not P00
    for (std::uint32_t type = 0; type < 9; ++type) EXPECT_EQ(formatByCbmType(type)->name, byType[type]);
    EXPECT_EQ(formatByCbmType(9), nullptr);
    EXPECT_EQ(formatById(26)->category & kCategoryImage, 0u);  // S00 is a file, not an image
}

TEST(FormatRegistry, SupportedExtensionsAreSortedThenThePartPrefixes) {
    const std::vector<std::string> extensions = supportedExtensions();
    ASSERT_EQ(extensions.size(), 51u);  // 49 non-empty extensions and the two prefixes
    EXPECT_TRUE(std::is_sorted(extensions.begin(), extensions.end() - 2));
    EXPECT_EQ(extensions[extensions.size() - 2], "4!5!");
    EXPECT_EQ(extensions.back(), " 6!!");
    EXPECT_NE(std::find(extensions.begin(), extensions.end(), ".d64"), extensions.end());
    EXPECT_EQ(std::find(extensions.begin(), extensions.end(), ""), extensions.end());
}

TEST(CreateBlankDisk, MakesAFormattedD64AndNothingForG64) {
    EXPECT_EQ(createBlankDisk(4, 0), nullptr);
    EXPECT_EQ(createBlankDisk(12, 0), nullptr);
    std::unique_ptr<Disk> disk = createBlankDisk(kFormatD64, 0);
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->formatId(), kFormatD64);
    EXPECT_EQ(disk->blocksFree(), 664u);
    EXPECT_EQ(disk->providerSize(), 174848u);
}

TEST(CreateBlankDisk, ClassesNotBuiltYetFailWithAReason) {
    clearOpenFailure();
    EXPECT_EQ(createBlankDisk(kFormatD81, 0), nullptr);
    EXPECT_EQ(lastOpenFailure(), "the D81 format is not supported yet");
}

TEST(DiskCreators, RegisterEveryImageClass) {
    const auto& creators = diskCreators();
    EXPECT_EQ(creators.size(), 17u);
    ASSERT_TRUE(creators.count("Disk41"));
    std::unique_ptr<Disk> disk = creators.at("Disk41")();
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->formatId(), kFormatD64);
    EXPECT_EQ(creators.at("DiskT64")(), nullptr);
}

}  // namespace
}  // namespace platter
