#include "platter/core/buffered_data_provider.hpp"
#include "platter/core/data_provider.hpp"
#include "platter/core/file_data_provider.hpp"
#include "platter/core/partial_data_provider.hpp"
#include "platter/core/pass_thru_data_provider.hpp"

#include "tests/support/scratch_dir.hpp"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <vector>

namespace platter {
namespace {

const track_sector_t kAnyBlock = makeBlock(1, 0);

std::vector<std::uint8_t> sequence(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

// One file in a scratch directory of its own.
class TempFile {
public:
    explicit TempFile(const std::vector<std::uint8_t>& bytes) { write(bytes); }
    void write(const std::vector<std::uint8_t>& bytes) const { test_support::writeBytes(path_, bytes); }
    const std::filesystem::path& path() const { return path_; }

private:
    test_support::ScratchDir scratch_;
    std::filesystem::path path_ = scratch_.file("provider.bin");
};

TEST(DataProvider, PointsUpToTheEndButReportsNothingReadableThere) {
    DataProvider provider;
    provider.assign(sequence(10));
    EXPECT_NE(provider.dataAt(10, kAnyBlock), nullptr);
    EXPECT_EQ(provider.dataAt(11, kAnyBlock), nullptr);
    EXPECT_EQ(provider.available(10), 0u);
    EXPECT_EQ(provider.available(4), 6u);
    EXPECT_EQ(*provider.dataAt(4, kAnyBlock), 4);
}

TEST(DataProvider, LoadsAWholeFileAndFailsOnAMissingOne) {
    TempFile file(sequence(300));
    DataProvider provider;
    ASSERT_TRUE(provider.load(file.path()));
    EXPECT_EQ(provider.size(), 300u);
    EXPECT_EQ(provider.name(), file.path().string());

    DataProvider missing;
    EXPECT_FALSE(missing.load(file.path().string() + ".absent"));
    EXPECT_EQ(missing.size(), 0u);
}

TEST(PassThruDataProvider, IsAWindowThatNeverReachesPastItselfOrItsParent) {
    DataProvider parent;
    parent.assign(sequence(1000));
    PassThruDataProvider window(parent, 512, 300);
    EXPECT_EQ(*window.dataAt(0, kAnyBlock), parent.dataAt(512, kAnyBlock)[0]);
    EXPECT_EQ(window.dataAt(300, kAnyBlock), nullptr);
    EXPECT_EQ(window.available(299), 1u);
    EXPECT_FALSE(window.isBlockReadable(300));
    EXPECT_EQ(PassThruDataProvider(parent, 900, 300).available(0), 100u);
    PassThruDataProvider empty(parent, 0, 0);
    EXPECT_EQ(empty.dataAt(0, kAnyBlock), nullptr);
    EXPECT_FALSE(empty.load("/nonexistent"));  // never reloads the parent
    EXPECT_EQ(parent.size(), 1000u);
}

TEST(BufferedDataProvider, ReadsEachBlockOnceAndKeepsIt) {
    TempFile file(sequence(512));
    BufferedDataProvider provider;
    ASSERT_TRUE(provider.load(file.path()));
    provider.setSize(512);
    std::uint8_t* first = provider.dataAt(256, kAnyBlock);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first[1], 1);

    // The cached copy answers even after the file changes.
    file.write(std::vector<std::uint8_t>(512, 0xEE));
    EXPECT_EQ(provider.dataAt(256, kAnyBlock), first);
    EXPECT_EQ(first[1], 1);
    // A different offset is a different block.
    EXPECT_EQ(provider.dataAt(257, kAnyBlock)[0], 0xEE);
}

TEST(BufferedDataProvider, ZeroFillsAShortLastBlockAndFailsPastTheEnd) {
    TempFile file(sequence(300));
    BufferedDataProvider provider;
    provider.load(file.path());
    provider.setSize(300);
    const std::uint8_t* last = provider.dataAt(256, kAnyBlock);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last[43], 43);  // the file's last byte
    EXPECT_EQ(last[44], 0);
    EXPECT_EQ(last[255], 0);
    EXPECT_EQ(provider.dataAt(512, kAnyBlock), nullptr);
    EXPECT_EQ(provider.available(256), 256u);
    EXPECT_EQ(provider.available(300), 0u);
}

TEST(BufferedDataProvider, WritesOnlyCachedBlocksAndNeedsItsFile) {
    TempFile file(sequence(512));
    BufferedDataProvider provider;
    provider.load(file.path());
    provider.setSize(512);
    std::array<std::uint8_t, 256> block;
    block.fill(0x55);
    EXPECT_FALSE(provider.writeBlock(0, block));
    EXPECT_EQ(provider.dataAt(0, kAnyBlock)[0], 0);
    EXPECT_TRUE(provider.writeBlock(0, block));
    EXPECT_EQ(provider.dataAt(0, kAnyBlock)[0], 0x55);

    BufferedDataProvider missing;
    missing.load("/nonexistent/zt/image.dhd");
    missing.setSize(1024);
    EXPECT_EQ(missing.dataAt(0, kAnyBlock), nullptr);
}

// It reads ahead 4 KiB (16 blocks) of what is asked for.
TEST(FileDataProvider, ReadsBlocksWhenFirstAskedAndKeepsThem) {
    constexpr std::size_t kAhead = 4096;
    TempFile file(sequence(kAhead + 700));
    FileDataProvider provider;
    ASSERT_TRUE(provider.load(file.path()));
    EXPECT_EQ(provider.size(), kAhead + 700);
    std::uint8_t* first = provider.dataAt(0, kAnyBlock);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(provider.loadedBlockCount(), 16u);
    first[5] = 0x99;  // an edit stays in the provider
    // Blocks not read yet come from the file as it is now; read ones stay as they were.
    file.write(std::vector<std::uint8_t>(kAhead + 700, 0xEE));
    EXPECT_EQ(provider.dataAt(0, kAnyBlock)[5], 0x99);
    EXPECT_EQ(provider.available(kAhead + 600), 100u);
    const std::uint8_t* range = provider.rangeAt(kAhead - 56, 400);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range[0], 200);
    EXPECT_EQ(range[56], 0xEE);
    EXPECT_EQ(provider.rangeAt(kAhead + 600, 101), nullptr);
    EXPECT_FALSE(provider.readFailed());

    // Growing keeps every byte, the new ones zero.
    provider.setSize(kAhead + 1024);
    EXPECT_EQ(provider.dataAt(0, kAnyBlock)[5], 0x99);
    EXPECT_EQ(provider.dataAt(kAhead + 600, kAnyBlock)[99], 0xEE);
    EXPECT_EQ(provider.dataAt(kAhead + 768, kAnyBlock)[0], 0);
}

TEST(FileDataProvider, BlocksAFileNoLongerHoldsAreUnreadableNotJunk) {
    TempFile file(sequence(8192));
    FileDataProvider provider;
    ASSERT_TRUE(provider.load(file.path()));
    ASSERT_NE(provider.dataAt(0, kAnyBlock), nullptr);
    std::filesystem::resize_file(file.path(), 300);
    EXPECT_NE(provider.dataAt(512, kAnyBlock), nullptr);
    EXPECT_EQ(provider.dataAt(5120, kAnyBlock), nullptr);
    EXPECT_FALSE(provider.isBlockReadable(4096));
    EXPECT_TRUE(provider.readFailed());
    provider.setSize(8192);
    EXPECT_EQ(provider.dataAt(5120, kAnyBlock)[0], 0);
    EXPECT_FALSE(provider.load("/nonexistent/zt/image.d64"));
}

// A range asked at once answers as its blocks asked one by one: through a window, and from a
// file that lost its tail.
TEST(DataProvider, ARangeIsReadableExactlyWhenEachOfItsBlocksIs) {
    PartialDataProvider partial;
    partial.assign(sequence(4096));
    partial.markNoData(1024);
    EXPECT_TRUE(partial.isRangeReadable(0, 1024));
    EXPECT_FALSE(partial.isRangeReadable(768, 512));
    PassThruDataProvider window(partial, 512, 1024);
    EXPECT_TRUE(window.isRangeReadable(0, 512));
    EXPECT_FALSE(window.isRangeReadable(256, 512));
    EXPECT_FALSE(PassThruDataProvider(partial, 2048, 1024).isRangeReadable(768, 512));
    EXPECT_TRUE(PassThruDataProvider(partial, 2048, 1024).isRangeReadable(512, 512));

    TempFile file(sequence(8192));
    FileDataProvider provider;
    ASSERT_TRUE(provider.load(file.path()));
    std::filesystem::resize_file(file.path(), 4096);
    EXPECT_TRUE(provider.isRangeReadable(0, 4096));
    EXPECT_FALSE(provider.isRangeReadable(3840, 512));
}

// What dataAt shows of the 300 bytes from 100, an edit of the block at 256 included, after the
// blocks at 0 and 256 were read.
std::vector<std::uint8_t> shownBytes(DataProvider& provider) {
    provider.dataAt(0, kAnyBlock);
    provider.dataAt(256, kAnyBlock)[10] = 0x99;
    std::vector<std::uint8_t> shown;
    for (std::uint64_t at = 100; at < 400; ++at) shown.push_back(provider.dataAt(at & ~std::uint64_t{255}, kAnyBlock)[at % 256]);
    return shown;
}

// Every provider copies what dataAt shows, edits included; those that read a file keep none of
// what they read for the copy, and a range past the end is no copy.
TEST(DataProviderCopy, CopiesWhatDataAtShowsAndKeepsNothingNew) {
    TempFile file(sequence(8192));
    DataProvider memory(sequence(8192));
    FileDataProvider onDemand;
    ASSERT_TRUE(onDemand.load(file.path()));
    BufferedDataProvider buffered;
    ASSERT_TRUE(buffered.load(file.path()));
    DataProvider parent(sequence(8192 + 512));
    PassThruDataProvider window(parent, 512, 8192);
    std::vector<std::uint8_t> windowed = sequence(8192 + 512);
    windowed.erase(windowed.begin(), windowed.begin() + 512);
    for (DataProvider* provider : std::initializer_list<DataProvider*>{&memory, &onDemand, &buffered, &window}) {
        const std::vector<std::uint8_t> shown = shownBytes(*provider);
        const std::size_t loaded = onDemand.loadedBlockCount();
        const std::size_t cached = buffered.cachedBlockCount();
        std::vector<std::uint8_t> copy(300);
        ASSERT_TRUE(provider->copyBytes(100, copy));
        EXPECT_EQ(copy, shown);
        // Far from anything read so far.
        std::vector<std::uint8_t> far(1000);
        ASSERT_TRUE(provider->copyBytes(6000, far));
        const std::vector<std::uint8_t>& source = provider == &window ? windowed : sequence(8192);
        EXPECT_TRUE(std::equal(far.begin(), far.end(), source.begin() + 6000));
        EXPECT_EQ(onDemand.loadedBlockCount(), loaded);
        EXPECT_EQ(buffered.cachedBlockCount(), cached);
        EXPECT_FALSE(provider->copyBytes(8000, far));
    }
}

TEST(DataProviderCopy, AFileThatShrankFailsTheCopyAndSaysSo) {
    TempFile file(sequence(8192));
    FileDataProvider onDemand;
    ASSERT_TRUE(onDemand.load(file.path()));
    BufferedDataProvider buffered;
    ASSERT_TRUE(buffered.load(file.path()));
    std::filesystem::resize_file(file.path(), 4096);
    std::vector<std::uint8_t> copy(2048);
    EXPECT_TRUE(onDemand.copyBytes(1024, copy));
    EXPECT_FALSE(onDemand.copyBytes(4000, copy));
    EXPECT_TRUE(onDemand.readFailed());
    EXPECT_FALSE(buffered.copyBytes(4000, copy));
}

}  // namespace
}  // namespace platter
