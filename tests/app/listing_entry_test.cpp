#include "app/listing_entry.hpp"

#include "tests/support/files.hpp"

#include <gtest/gtest.h>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/open/open_container.hpp"

#include <fstream>
#include <iterator>
#include <memory>
#include <xxhash.h>

namespace app {
namespace {

TEST(HashNotation, SignificantBytesRoundedUpToEvenCounts) {
    EXPECT_EQ(hashNotation(0), "00");
    EXPECT_EQ(hashNotation(0xab), "ab");
    EXPECT_EQ(hashNotation(0x1ab), "01ab");
    EXPECT_EQ(hashNotation(0x0000abcd), "abcd");
    EXPECT_EQ(hashNotation(0xabcdef), "00abcdef");
    EXPECT_EQ(hashNotation(0x1234567890), "001234567890");
    EXPECT_EQ(hashNotation(0x123456789abcdeull), "00123456789abcde");
    EXPECT_EQ(hashNotation(XXH32(nullptr, 0, 0)), "02cc5d05");
    EXPECT_EQ(hashNotation(XXH3_64bits(nullptr, 0)), "2d06800538d394c2");
}

std::unique_ptr<platter::Disk> openLsFixture(const std::string& name) {
    const std::vector<std::uint8_t> bytes = test_support::readFixture("ls/" + name);
    return platter::openContainer(platter::format_id::d64, name, bytes).disk;
}

entry_needs_t everything() { return {true, true, false, true, true}; }

listed_entry_t gather(platter::Disk& disk, std::uint64_t index, const entry_needs_t& needs) {
    platter::dir_entry_t entry;
    EXPECT_TRUE(disk.getEntry(index, true, entry));
    return gatherEntry(disk, index, entry, needs);
}

TEST(GatherEntry, ReadsDataHashesAndColour) {
    const std::unique_ptr<platter::Disk> disk = openLsFixture("flags.d64");
    ASSERT_TRUE(disk);
    const listed_entry_t hello = gather(*disk, 0, everything());
    EXPECT_TRUE(hello.dataRead);
    EXPECT_EQ(hello.size, 14u);
    EXPECT_EQ(hello.loadAddress, 0x0801);
    EXPECT_EQ(hello.xxh32, 0x8d5d46a3u);
    EXPECT_EQ(hello.blocks.size(), 1u);
    EXPECT_EQ(hello.nameColour.kind, forge::kAttrForeground);
    EXPECT_EQ(hello.nameColour.foreground, 10u);  // BASIC at $0801

    EXPECT_EQ(gather(*disk, 3, everything()).nameColour.foreground, 6u);  // DEL with data
    EXPECT_EQ(gather(*disk, 6, everything()).nameColour.foreground, 7u);  // SEQ at $0100
    const listed_entry_t nothing = gather(*disk, 0, {});
    EXPECT_FALSE(nothing.dataRead);
    EXPECT_EQ(nothing.nameColour.kind, forge::kAttrNothing);
}

TEST(GatherEntry, LoopingChainIsUnreadable) {
    const std::unique_ptr<platter::Disk> disk = openLsFixture("broken.d64");
    ASSERT_TRUE(disk);
    const listed_entry_t looped = gather(*disk, 0, everything());
    EXPECT_FALSE(looped.dataRead);
    EXPECT_EQ(looped.dataLength, 0u);
    EXPECT_FALSE(looped.hasLoadAddress);
    EXPECT_EQ(looped.xxh32, XXH32(nullptr, 0, 0));
    EXPECT_EQ(looped.nameColour.kind, forge::kAttrForegroundBackground);
    EXPECT_EQ(looped.nameColour.foreground, 14u);
    EXPECT_EQ(looped.nameColour.background, 4u);
}

}  // namespace
}  // namespace app
