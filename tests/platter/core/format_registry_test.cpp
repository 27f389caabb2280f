#include "platter/core/format_registry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace platter {
namespace {

TEST(FormatRegistry, HoldsEveryRowWithItsIds) {
    EXPECT_EQ(containerFormats().size(), 51u);
    std::set<format_id> ids;
    for (const container_format_t& row : containerFormats()) ids.insert(row.id);
    EXPECT_EQ(ids.size(), 49u);  // ids 9 and 45 have two rows each
    EXPECT_EQ(formatByExtension(".lzh")->id, format_id::lha);
    EXPECT_EQ(formatById(format_id::lha)->extension, ".lha");
    for (std::uint32_t missing : {0u, 34u, 40u, 41u, 53u})
        EXPECT_EQ(formatById(static_cast<format_id>(missing)), nullptr) << missing;
}

TEST(FormatRegistry, FindsExtensionsWithOrWithoutDotInAnyCase) {
    for (const char* key : {".D64", "d64", ".d64"}) {
        const container_format_t* row = formatByExtension(key);
        ASSERT_NE(row, nullptr) << key;
        EXPECT_EQ(row->id, format_id::d64);
    }
    EXPECT_EQ(formatByExtension(""), nullptr);
    EXPECT_EQ(formatByExtension("."), nullptr);
    EXPECT_EQ(formatByExtension(".xyz"), nullptr);
    ASSERT_NE(formatByExtension("*"), nullptr);
    EXPECT_EQ(formatByExtension("*")->name, "ALL");
    ASSERT_NE(formatByExtension("?!*"), nullptr);
    EXPECT_EQ(formatByExtension("?!*")->id, format_id::zipcode);
    EXPECT_EQ(formatByExtension("HDD")->name, "IDE64");
}

TEST(FormatRegistry, SharedIdFindsTheLaterRowAndCbmTypesTheFirst) {
    ASSERT_NE(formatById(format_id::htm), nullptr);
    EXPECT_EQ(formatById(format_id::htm)->extension, ".html");
    EXPECT_EQ(formatByExtension("htm")->name, "HTM");
    const char* byType[] = {"DEL", "SEQ", "PRG", "USR", "REL", "CBM", "CMD", "UNK", "TXT"};  // PRG, not P00
    for (std::uint32_t type = 0; type < 9; ++type) EXPECT_EQ(formatByCbmType(type)->name, byType[type]);
    EXPECT_EQ(formatByCbmType(9), nullptr);
    EXPECT_EQ(formatById(format_id::s00)->category & kCategoryImage, 0u);  // S00 is a file, not an image
}

TEST(FormatRegistry, SupportedExtensionsAreSortedThenThePartPrefixes) {
    const std::vector<std::string> extensions = supportedExtensions();
    ASSERT_EQ(extensions.size(), 52u);  // 50 non-empty extensions and the two prefixes
    EXPECT_TRUE(std::is_sorted(extensions.begin(), extensions.end() - 2));
    EXPECT_EQ(extensions[extensions.size() - 2], "4!5!");
    EXPECT_EQ(extensions.back(), " 6!!");
    EXPECT_NE(std::find(extensions.begin(), extensions.end(), ".d64"), extensions.end());
    EXPECT_EQ(std::find(extensions.begin(), extensions.end(), ""), extensions.end());
}

TEST(PartitionSize, ComesFromTheRegistry) {
    EXPECT_EQ(partitionSizeBlocks(format_id::dnp, 1000), 512u);
    EXPECT_EQ(partitionSizeBlocks(format_id::dnp, 200000), 782u);
    EXPECT_EQ(partitionSizeBlocks(format_id::dnp, 256 * 600), 600u);
    for (const format_id d64Sized : {format_id::d64, format_id::g64, format_id::nib})
        EXPECT_EQ(partitionSizeBlocks(d64Sized, 5), 684u);
    EXPECT_EQ(partitionSizeBlocks(format_id::d71, 5), 1368u);
    EXPECT_EQ(partitionSizeBlocks(format_id::d81, 5), 3200u);
    EXPECT_EQ(partitionSizeBlocks(format_id::seq, 5), 0u);
}

}  // namespace
}  // namespace platter
