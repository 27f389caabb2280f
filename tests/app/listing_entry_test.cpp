#include "app/listing_entry.hpp"

#include "tests/support/files.hpp"
#include "tests/support/in_child.hpp"
#include "tests/support/scratch_dir.hpp"

#include <gtest/gtest.h>

#include "platter/core/data_provider.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/fileid/describe.hpp"
#include "platter/open/open_container.hpp"

#include <fstream>
#include <iterator>
#include <memory>
#include <xxhash.h>

#include <sys/resource.h>

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

// Counts the bytes copied out of it.
class CopyCountingProvider : public platter::DataProvider {
public:
    using DataProvider::DataProvider;
    bool copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) override {
        copied += out.size();
        return DataProvider::copyBytes(offset, out);
    }
    std::uint64_t copied = 0;
};

// PART1 of x.hdd grown to span 40 MiB of patterned bytes: the listing's facts of it are those
// of its bytes read whole, and only the description holds them.
TEST(GatherEntry, LargePartitionListsAsReadWhole) {
    constexpr std::uint64_t kImageBytes = std::uint64_t{40} << 20;
    test_support::bytes_t bytes = test_support::readFixture("cmd/x.hdd");
    for (std::size_t i = bytes.size(); i < kImageBytes; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 131 >> 7));
    const std::uint64_t lastSector = kImageBytes / 512 - 1;
    for (std::size_t i = 0; i < 3; ++i) bytes[1045 + i] = static_cast<std::uint8_t>(lastSector >> (16 - 8 * i));
    const test_support::ScratchDir scratch;
    const std::unique_ptr<platter::Disk> disk = platter::openContainerFile(scratch.write("big.hdd", bytes)).disk;
    ASSERT_TRUE(disk);
    platter::dir_entry_t entry;
    ASSERT_TRUE(disk->getEntry(0, true, entry));
    const platter::entry_read_t whole = disk->readEntry(entry);
    ASSERT_TRUE(whole.whole());
    ASSERT_GT(whole.bytes.size(), kImageBytes - 16 * 512);  // nearly all of the image
    const auto sameAsWhole = [&](const listed_entry_t& listed) {
        return listed.dataRead && listed.size == whole.bytes.size() && listed.dataLength == listed.size &&
               listed.loadAddress == (whole.bytes[0] | whole.bytes[1] << 8) &&
               listed.xxh32 == XXH32(whole.bytes.data(), whole.bytes.size(), 0) &&
               listed.xxh3 == XXH3_64bits(whole.bytes.data(), whole.bytes.size());
    };
    EXPECT_TRUE(inChild([&] {
        const auto peakKib = [] {
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            return usage.ru_maxrss;
        };
        const long before = peakKib();
        const listed_entry_t listed = gatherEntry(*disk, 0, entry, {true, true, false, false, false});
        if (peakKib() - before > 8192) return std::string("the listing held the partition");
        return sameAsWhole(listed) ? std::string() : std::string("streamed facts differ from the whole read's");
    }));
    const listed_entry_t described = gatherEntry(*disk, 0, entry, {true, true, true, false, false});
    EXPECT_TRUE(sameAsWhole(described));
    EXPECT_EQ(described.description, platter::fileid::describe(whole.bytes));

    // Size and load address alone (ls -l) read the partition's first block, and count the rest.
    auto provider = std::make_unique<CopyCountingProvider>(bytes);
    const CopyCountingProvider& counter = *provider;
    const auto counted = platter::openImageOver(platter::format_id::ide64, "big.hdd", std::move(provider), true).disk;
    ASSERT_TRUE(counted);
    const listed_entry_t sized = gatherEntry(*counted, 0, entry, {true, false, false, false, false});
    EXPECT_TRUE(sized.dataRead);
    EXPECT_EQ(sized.size, whole.bytes.size());
    EXPECT_EQ(sized.loadAddress, whole.bytes[0] | whole.bytes[1] << 8);
    EXPECT_EQ(counter.copied, platter::Disk::kBlockSize);
}

}  // namespace
}  // namespace app
