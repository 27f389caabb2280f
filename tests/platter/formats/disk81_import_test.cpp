#include <gtest/gtest.h>

#include "platter/core/format_registry.hpp"
#include "platter/formats/disk81.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"

namespace platter {
namespace {

using D81Image = test_support::ImageOf<Disk81>;
using test_support::bytes_t;
using test_support::cbmName;
using test_support::patternBytes;

bool importPartition(Disk& disk, const bytes_t& data) {
    return disk.importFile(cbmName("PART"), 0, data, 0, formatById(format_id::cbm));
}

// A raw partition image becomes a 1581 partition holding its blocks in order; one undo
// takes it all back.
TEST(Disk81Import, RawBlocksBecomeAPartition) {
    D81Image image = D81Image::blank();
    const bytes_t before = image.bytes();
    const bytes_t data = patternBytes(160 * 256, 9);
    ASSERT_TRUE(importPartition(*image.disk, data)) << image.disk->lastError();
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(0, false, entry));
    EXPECT_EQ(entry.typeByte(), 0x85);
    EXPECT_EQ(test_support::nameOf(entry), cbmName("PART"));
    EXPECT_EQ(entry.blockCount(), 160u);
    const std::uint64_t p = entry.bytes[3];
    for (std::uint64_t k : {0u, 1u, 39u, 40u, 159u}) {
        const std::uint8_t* block = image.block(p + k / 40, k % 40);
        EXPECT_TRUE(std::equal(block, block + 256, data.begin() + static_cast<std::ptrdiff_t>(k * 256))) << k;
    }
    image.disk->undo();
    EXPECT_EQ(image.bytes(), before);
}

// Data of a part track would not fit the whole-track partition made for it: refused, and
// the blocks after it stay as they were.
TEST(Disk81Import, DataLargerThanThePartitionIsRefused) {
    D81Image image = D81Image::blank();
    const bytes_t before = image.bytes();
    EXPECT_FALSE(importPartition(*image.disk, patternBytes(161 * 256, 9)));
    EXPECT_EQ(image.disk->lastError(), kErrImportFailed);
    EXPECT_EQ(image.bytes(), before);
}

}  // namespace
}  // namespace platter
