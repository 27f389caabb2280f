#include "platter/core/data_provider.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/formats/disk41.hpp"

#include "tests/support/files.hpp"
#include "tests/support/disk_reads.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

using test_support::readWhole;

namespace platter {
namespace {

// Remembers every offset the image asks `dataAt` for, as a provider that loads blocks on
// demand would have to fetch them.
class RecordingProvider : public DataProvider {
public:
    using DataProvider::DataProvider;
    std::uint8_t* dataAt(std::uint64_t offset, const track_sector_t& block) override {
        fetched.insert(offset);
        return DataProvider::dataAt(offset, block);
    }
    std::set<std::uint64_t> fetched;
};

constexpr std::uint64_t kLastBlockOffset = 174848 - 256;  // 35/16

TEST(DiskBlocks, APartialLastBlockIsNeverFetched) {
    std::vector<std::uint8_t> image = test_support::readFixture("core/small.d64");
    ASSERT_EQ(image.size(), 174848u);
    image.resize(174848 - 100);
    const std::uint64_t size = image.size();
    auto owned = std::make_unique<RecordingProvider>(std::move(image));
    RecordingProvider& provider = *owned;
    Disk41 disk;
    disk.adoptDataProvider(std::move(owned));
    ASSERT_TRUE(disk.open("cut.d64", false));
    EXPECT_EQ(disk.lastError(), kErrBadSize);

    for (std::uint64_t i = 0; i < disk.countDirectoryEntries(); ++i) {
        dir_entry_t entry;
        std::vector<std::uint8_t> data;
        if (disk.getEntry(i, false, entry)) readWhole(disk, entry, data);
    }
    EXPECT_EQ(disk.sectorPointer(35, 16), nullptr);
    EXPECT_NE(disk.sectorPointer(35, 15), nullptr);
    EXPECT_EQ(provider.fetched.count(kLastBlockOffset), 0u);
    for (const std::uint64_t offset : provider.fetched) EXPECT_LE(offset + 256, size) << offset;
}

TEST(DiskBlocks, BlocksOutsideTheGeometryAreNotFetched) {
    auto owned = std::make_unique<RecordingProvider>(test_support::readFixture("core/small.d64"));
    RecordingProvider& provider = *owned;
    Disk41 disk;
    disk.adoptDataProvider(std::move(owned));
    ASSERT_TRUE(disk.open("x.d64", false));
    provider.fetched.clear();
    EXPECT_EQ(disk.sectorPointer(36, 0), nullptr);
    EXPECT_EQ(disk.sectorPointer(1, 21), nullptr);
    EXPECT_EQ(disk.sectorPointer(0, 0), nullptr);
    EXPECT_TRUE(provider.fetched.empty());
}

}  // namespace
}  // namespace platter
