#include "platter/open/format_classes.hpp"

#include "platter/core/disk.hpp"
#include "platter/open/disk_creators.hpp"

#include <gtest/gtest.h>

namespace platter {
namespace {

TEST(CreateBlankDisk, MakesAFormattedD64AndNothingForG64) {
    EXPECT_EQ(createBlankDisk(format_id::g64, 0).disk, nullptr);
    EXPECT_EQ(createBlankDisk(format_id::prg, 0).disk, nullptr);
    std::unique_ptr<Disk> disk = createBlankDisk(format_id::d64, 0).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->formatId(), format_id::d64);
    EXPECT_EQ(disk->blocksFree(), 664u);
    EXPECT_EQ(disk->providerSize(), 174848u);
}

TEST(CreateBlankDisk, MakesANativePartitionOfAtMost255Tracks) {
    // The archive opener's last fallback: a native partition of as many tracks as there are.
    std::unique_ptr<Disk> native = createBlankDisk(format_id::dnp, 0x10000).disk;
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(native->trackCount(), 255u);
    EXPECT_EQ(native->providerSize(), 255u * 65536);
}

TEST(CreateBlankDisk, MakesTheCmdFloppiesButNoHardDisk) {
    for (const format_id id : {format_id::d1m, format_id::d2m, format_id::d4m}) {
        std::unique_ptr<Disk> floppy = createBlankDisk(id, 0).disk;
        ASSERT_NE(floppy, nullptr);
        EXPECT_TRUE(floppy->hasPartitionTable());
        EXPECT_EQ(floppy->countDirectoryEntries(), 1u);  // the system entry
    }
    const open_result_t hardDisk = createBlankDisk(format_id::dhd, 0);
    EXPECT_EQ(hardDisk.disk, nullptr);
    EXPECT_TRUE(hardDisk.failure.empty());
    EXPECT_EQ(createBlankDisk(format_id::ide64, 0).disk, nullptr);
}

TEST(DiskCreators, RegisterEveryImageClass) {
    const auto& creators = diskCreators();
    EXPECT_EQ(creators.size(), 17u);
    ASSERT_TRUE(creators.count("Disk41"));
    std::unique_ptr<Disk> disk = creators.at("Disk41")();
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->formatId(), format_id::d64);
    ASSERT_NE(creators.at("DiskT64")(), nullptr);
    EXPECT_EQ(creators.at("DiskT64")()->formatId(), format_id::t64);
    EXPECT_NE(creators.at("DiskIDE64")(), nullptr);
}

}  // namespace
}  // namespace platter
