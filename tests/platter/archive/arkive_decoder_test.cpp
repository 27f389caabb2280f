#include <gtest/gtest.h>

#include "archive_test_support.hpp"

namespace platter::test {
namespace {

// A record: type, last-block bytes + 1, name, record length, date, spare,
// side-sector blocks, spare, block count.
bytes_t arkRecord(std::uint8_t type, std::uint8_t lastPlusOne, std::uint16_t blocks, std::uint8_t recordLength = 0) {
    bytes_t record(29, 0);
    record[0] = type;
    record[1] = lastPlusOne;
    std::fill(record.begin() + 2, record.begin() + 18, 0xA0);
    record[2] = 'F';
    record[18] = recordLength;
    record[27] = static_cast<std::uint8_t>(blocks);
    record[28] = static_cast<std::uint8_t>(blocks >> 8);
    return record;
}

decoded_t decodeArkive(const bytes_t& archive) { return runDecoder(archive, &ArchiveDecoder::decodeArkive); }

TEST(ArkiveDecoder, DirectoryAndDataStart) {
    EXPECT_EQ(decodeArkive(bytes_t(29, 0)).result, import_result_t::damaged);
    const auto none = decodeArkive(bytes_t(30, 0));
    EXPECT_EQ(none.result, import_result_t::done);
    EXPECT_TRUE(none.entries.empty());

    // Nine records end at 262: the data start at 508.
    bytes_t archive{9};
    for (int i = 0; i < 9; ++i) {
        const bytes_t record = arkRecord(0x82, 2, 1);
        archive.insert(archive.end(), record.begin(), record.end());
    }
    archive.resize(508 + 9 * 254, 0);
    for (std::size_t i = 0; i < 9; ++i) archive[508 + i * 254] = static_cast<std::uint8_t>(i + 1);
    const auto run = decodeArkive(archive);
    EXPECT_EQ(run.result, import_result_t::done);
    ASSERT_EQ(run.entries.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(run.entries[i].data, bytes_t{static_cast<std::uint8_t>(i + 1)});
    EXPECT_EQ(run.entries[0].name, "F");
    // Cut inside the third file's block: two whole, the third cut short, the rest missing.
    archive.resize(508 + 2 * 254);
    auto cut = decodeArkive(archive);
    EXPECT_EQ(cut.result, import_result_t::partial);
    ASSERT_EQ(cut.entries.size(), 9u);
    EXPECT_FALSE(cut.entries[1].loss);
    for (std::size_t i = 2; i < 9; ++i) {
        EXPECT_TRUE(cut.entries[i].data.empty()) << i;
        EXPECT_EQ(cut.entries[i].loss, (entry_loss_t{entry_loss_t::cause::archiveEnds, 1})) << i;
    }
    // Cut before the data start: every file listed, none with data; inside the directory: refused.
    archive.resize(400);
    cut = decodeArkive(archive);
    EXPECT_EQ(cut.entries.size(), 9u);
    EXPECT_EQ(cut.result, import_result_t::partial);
    archive.resize(200);
    EXPECT_EQ(decodeArkive(archive).result, import_result_t::damaged);
}

TEST(ArkiveDecoder, LastBlockByteThatSaysNoSize) {
    // Byte 0 or 1 for a file of blocks: its blocks are kept whole and named.
    for (const auto& [lastPlusOne, blocks] : {std::pair{0, 1}, {1, 2}, {0, 0}}) {
        bytes_t archive{1};
        const bytes_t record =
            arkRecord(0x82, static_cast<std::uint8_t>(lastPlusOne), static_cast<std::uint16_t>(blocks));
        archive.insert(archive.end(), record.begin(), record.end());
        archive.resize(254 + 254 * 2, 0);
        const auto run = decodeArkive(archive);
        EXPECT_EQ(run.result, import_result_t::partial) << lastPlusOne << " " << blocks;
        ASSERT_EQ(run.entries.size(), 1u);
        EXPECT_EQ(run.entries[0].data.size(), static_cast<std::size_t>(blocks) * 254);
        EXPECT_EQ(run.notes.size(), 1u);
    }
    EXPECT_EQ(decodeArkive([] {
                  bytes_t archive{1};
                  const bytes_t record = arkRecord(0x82, 1, 1);
                  archive.insert(archive.end(), record.begin(), record.end());
                  archive.resize(254 + 254, 0);
                  return archive;
              }())
                  .notes,
              std::vector<std::string>{"file 'f' gives its last block the byte 1, which says no size; its 1 block was "
                                       "kept whole"});
}

TEST(ArkiveDecoder, BytesAfterTheLastFile) {
    bytes_t archive{1};
    const bytes_t record = arkRecord(0x82, 100, 1);
    archive.insert(archive.end(), record.begin(), record.end());
    // Zeros after the last block are padding; a block of data after it is no file's.
    archive.resize(254 + 254 * 3, 0);
    EXPECT_EQ(decodeArkive(archive).result, import_result_t::done);
    archive.back() = 1;
    const auto run = decodeArkive(archive);
    EXPECT_EQ(run.result, import_result_t::partial);
    EXPECT_EQ(run.notes,
              std::vector<std::string>{"508 bytes after the last file belong to no file; they were left out"});
}

TEST(ArkiveDecoder, TypeBitsAndRecordLength) {
    bytes_t archive{2};
    for (const bytes_t& record : {arkRecord(0x7A, 2, 1), arkRecord(0x84, 2, 1, 0)}) {
        archive.insert(archive.end(), record.begin(), record.end());
    }
    archive.resize(254 * 3, 0);
    const auto run = decodeArkive(archive);
    ASSERT_EQ(run.entries.size(), 2u);
    EXPECT_EQ(run.entries[0].typeByte, 0x42);  // bits 3-5 dropped, splat and locked kept
    EXPECT_EQ(run.entries[1].typeByte, 0x81);  // REL without a record length: SEQ
}

}  // namespace
}  // namespace platter::test
