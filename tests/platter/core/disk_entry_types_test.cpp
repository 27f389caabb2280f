// Entries of type 5 (partition) and 6 (subdirectory): entered only on images that have
// partitions or native subdirectories; elsewhere, as the 1541 treats them, chained files.

#include <gtest/gtest.h>

#include <cstring>

#include "platter/core/disk.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::readWhole;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::TestImage;

// HELLO of base.d64 (254 bytes in one block) with its type byte changed.
TestImage helloAsType(std::uint8_t typeByte) {
    bytes_t bytes = test_support::readFixture("d64/base.d64");
    bytes[test_support::d64Offset(18, 1) + 2] = typeByte;
    return TestImage::fromBytes(bytes);
}

TEST(DiskEntryTypes, PartitionAndDirectoryTypesOnAD64AreChainedFiles) {
    const bytes_t hello = TestImage::fromFixture("base.d64").bytes();
    for (const std::uint8_t typeByte : {std::uint8_t{0x85}, std::uint8_t{0x86}}) {
        TestImage image = helloAsType(typeByte);
        dir_entry_t entry;
        ASSERT_TRUE(image.disk->getEntry(0, false, entry));
        EXPECT_FALSE(image.disk->holdsDirectory(entry));
        bytes_t data;
        ASSERT_TRUE(readWhole(*image.disk, entry, data)) << int{typeByte};
        EXPECT_EQ(data, test_support::patternBytes(254, 2)) << int{typeByte};
        std::vector<track_sector_t> blocks;
        ASSERT_TRUE(image.disk->readEntry(entry, &blocks).whole());
        EXPECT_EQ(blocks.size(), 1u);
        // Freeing and reachability go by the same chain, not by a block range from 1/0.
        std::vector<track_sector_t> fileBlocks;
        ASSERT_TRUE(image.disk->readFileBlocks(entry, 0, fileBlocks)) << int{typeByte};
        EXPECT_EQ(fileBlocks, blocks) << int{typeByte};
        track_sector_t first;
        EXPECT_FALSE(image.disk->openDirectory(entry, first, false)) << int{typeByte};
        EXPECT_EQ(image.disk->directoryDepth(), 0u);
    }
}

TEST(DiskEntryTypes, ImagesWithDirectoriesEnterThem) {
    test_support::DirectoryD64 disk;
    dir_entry_t partition;
    partition.bytes[2] = 0x85;
    dir_entry_t subdirectory;
    subdirectory.bytes[2] = 0x86;
    EXPECT_TRUE(disk.holdsDirectory(partition));
    EXPECT_TRUE(disk.holdsDirectory(subdirectory));
}

// Three entries A, B (type byte 0x86) and C; a new entry inserted at 0 moves all of them.
struct MovedEntries {
    explicit MovedEntries(std::unique_ptr<Disk41> image) : disk(std::move(image)) {
        disk->setDataProvider(provider.get());
        disk->open("moved.d64", false, true);
        for (const char* name : {"A", "B", "C"}) {
            EXPECT_TRUE(disk->importFile(test_support::cbmName(name), 100, bytes_t(300, 0x11), 0, nullptr));
        }
        std::uint8_t* directory = disk->sectorPointer(18, 1);
        directory[32 + 2] = 0x86;
        bHeader = makeBlock(directory[32 + 3], directory[32 + 4]);
    }
    std::uint8_t* header() { return disk->sectorPointer(bHeader); }
    void insertAtFront() {
        dir_entry_t entry;
        entry.bytes[2] = 0x82;
        entry.setName(test_support::cbmName("NEW"));
        ASSERT_TRUE(disk->insertEntry(0, entry));
    }

    std::unique_ptr<DataProvider> provider = std::make_unique<DataProvider>();
    std::unique_ptr<Disk41> disk;
    track_sector_t bHeader;
};

TEST(DiskParentLink, NeverWrittenIntoFileDataOnAD64) {
    MovedEntries image(std::make_unique<Disk41>());
    const bytes_t before(image.header(), image.header() + 256);
    image.insertAtFront();
    EXPECT_EQ(bytes_t(image.header(), image.header() + 256), before);
}

TEST(DiskParentLink, OnlyARealSubdirectoryHeaderGetsItsEntrysNewSlot) {
    MovedEntries notAHeader(std::make_unique<test_support::DirectoryD64>());
    const bytes_t before(notAHeader.header(), notAHeader.header() + 256);
    notAHeader.insertAtFront();
    EXPECT_EQ(bytes_t(notAHeader.header(), notAHeader.header() + 256), before);

    MovedEntries image(std::make_unique<test_support::DirectoryD64>());
    std::uint8_t* header = image.header();
    header[2] = 'H';
    header[32] = static_cast<std::uint8_t>(image.bHeader.track);
    header[33] = static_cast<std::uint8_t>(image.bHeader.sector);
    image.insertAtFront();
    // B is now entry 2: slot 2 of 18/1, its type byte at 2 * 32 + 2.
    EXPECT_EQ(image.disk->sectorPointer(18, 1)[66], 0x86);
    EXPECT_EQ(header[36], 18);
    EXPECT_EQ(header[37], 1);
    EXPECT_EQ(header[38], 66);
}

}  // namespace
}  // namespace platter
