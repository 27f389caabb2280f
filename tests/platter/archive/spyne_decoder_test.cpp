#include <gtest/gtest.h>

#include "archive_test_support.hpp"

namespace platter::test {
namespace {

decoded_t decodeSpyne(const bytes_t& archive) { return runDecoder(archive, &ArchiveDecoder::decodeSpyne); }

constexpr std::size_t kDirectory = 15 * 254;
constexpr std::size_t kData = 16 * 254;

// One file of 300 bytes (two blocks) with the right sum.
bytes_t oneFile() {
    bytes_t archive(kData + 2 * 254, 0);
    for (std::size_t i = 0; i < 300; ++i) archive[kData + i] = static_cast<std::uint8_t>(i);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 300; ++i) sum += archive[kData + i];
    std::uint8_t* record = archive.data() + kDirectory;
    record[0] = 0x86;  // bit 2: USR
    std::copy_n("SPY", 3, record + 3);
    std::fill(record + 6, record + 19, 0xA0);
    record[23] = static_cast<std::uint8_t>(sum);
    record[24] = static_cast<std::uint8_t>(sum >> 8);
    record[25] = 300 - 254 + 1;
    record[28] = 2;
    return archive;
}

TEST(SpyneDecoder, ChecksumMismatchKeepsTheFile) {
    bytes_t archive = oneFile();
    archive[kData + 5] ^= 0x40;
    const auto run = decodeSpyne(archive);
    EXPECT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.failedChecks, std::vector<std::string>{run.entries[0].name});
}

TEST(SpyneDecoder, ArchiveCutShortKeepsWhatIsThere) {
    bytes_t archive = oneFile();
    archive[kDirectory + 28] = 3;  // a third block that is not there
    const auto run = decodeSpyne(archive);
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.entries[0].data.size(), 2 * 254u);
    EXPECT_EQ(run.entries[0].loss, (entry_loss_t{entry_loss_t::cause::archiveEnds, 2 * 254 + 46}));
    EXPECT_TRUE(run.failedChecks.empty());
}

// A mark that another record follows where none does makes up no file, and data after the
// last file's blocks belong to none: both named; zeros there are padding.
TEST(SpyneDecoder, RecordsAndBytesThatNoFileHasAreNamed) {
    bytes_t archive = oneFile();
    archive[kDirectory + 26] = 0xFF;
    auto run = decodeSpyne(archive);
    EXPECT_EQ(run.result, import_result_t::partial);
    EXPECT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.notes, std::vector<std::string>{"the directory says a file follows 'spy', but holds none"});

    archive = oneFile();
    archive.insert(archive.end(), 254, 0);
    EXPECT_EQ(decodeSpyne(archive).result, import_result_t::done);
    archive.push_back(7);
    run = decodeSpyne(archive);
    EXPECT_EQ(run.result, import_result_t::partial);
    EXPECT_EQ(run.notes, std::vector<std::string>{"255 bytes after the last file belong to no file; they were left out"});
}

TEST(SpyneDecoder, Refusals) {
    bytes_t archive = oneFile();
    archive.resize(4317);
    EXPECT_EQ(decodeSpyne(archive).result, import_result_t::damaged);
    archive = oneFile();
    archive[0] = 167;
    archive[1] = 3;
    EXPECT_EQ(decodeSpyne(archive).result, import_result_t::damaged);
    archive[1] = 2;
    EXPECT_EQ(decodeSpyne(archive).result, import_result_t::done);
    // One block whose last-block byte says -1 bytes.
    archive = oneFile();
    archive[kDirectory + 25] = 0;
    archive[kDirectory + 28] = 1;
    EXPECT_EQ(decodeSpyne(archive).result, import_result_t::damaged);
    // No blocks: an empty file.
    archive[kDirectory + 28] = 0;
    const auto run = decodeSpyne(archive);
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_TRUE(run.entries[0].data.empty());
}

}  // namespace
}  // namespace platter::test
