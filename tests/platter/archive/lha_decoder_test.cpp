#include <gtest/gtest.h>

#include "archive_test_support.hpp"
#include "platter/archive/crc16.hpp"

namespace platter::test {
namespace {

struct lha_fields_t {
    std::string method = "-lh0-";
    std::string name = "file";
    std::optional<std::uint32_t> unpacked{};  // default: the data's size
    std::optional<std::uint16_t> crc{};       // default: the data's CRC
};

void putLe32(bytes_t& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A level-0 entry holding `data` as its packed bytes.
bytes_t lhaEntry(const lha_fields_t& fields, const bytes_t& data) {
    const std::size_t n = fields.name.size();
    bytes_t out(24 + n);
    out[0] = static_cast<std::uint8_t>(n + 22);
    std::copy(fields.method.begin(), fields.method.end(), out.begin() + 2);
    putLe32(out, 7, static_cast<std::uint32_t>(data.size()));
    putLe32(out, 11, fields.unpacked.value_or(static_cast<std::uint32_t>(data.size())));
    out[21] = static_cast<std::uint8_t>(n);
    std::copy(fields.name.begin(), fields.name.end(), out.begin() + 22);
    const std::uint16_t crc = fields.crc.value_or(crc16Arc(data));
    out[22 + n] = static_cast<std::uint8_t>(crc);
    out[23 + n] = static_cast<std::uint8_t>(crc >> 8);
    std::uint32_t sum = 0;
    for (std::size_t i = 2; i < n + 24; ++i) sum += out[i];
    out[1] = static_cast<std::uint8_t>(sum);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

bytes_t withEndMark(bytes_t archive) {
    archive.push_back(0);
    return archive;
}

decoded_t decodeLha(const bytes_t& archive, import_result_t answer = import_result_t::done) {
    return runDecoder(archive, &ArchiveDecoder::decodeLha, answer);
}

TEST(LhaDecoder, TooShortForAnEntry) {
    EXPECT_EQ(decodeLha({}).result, import_result_t::done);
    EXPECT_EQ(decodeLha({0}).result, import_result_t::done);
    // A header that the end cuts short.
    bytes_t cut = lhaEntry({}, text("abc"));
    cut.resize(20);
    EXPECT_EQ(decodeLha(cut).result, import_result_t::damaged);
    // Long enough, but the first header is the end mark.
    EXPECT_EQ(decodeLha(bytes_t(26, 0)).result, import_result_t::damaged);
}

TEST(LhaDecoder, DamagedHeadersFailTheArchive) {
    const bytes_t good = withEndMark(lhaEntry({}, text("some file data")));
    bytes_t sum = good;
    sum[1] ^= 1;
    EXPECT_EQ(decodeLha(sum).result, import_result_t::damaged);
    EXPECT_EQ(decodeLha(withEndMark(lhaEntry({.method = "-lh5-"}, text("some file data")))).result,
              import_result_t::damaged);
    // Cut inside the name and CRC.
    EXPECT_EQ(decodeLha(bytes_t(good.begin(), good.begin() + 27)).result, import_result_t::damaged);
    // An unpacked size no C64 file has.
    EXPECT_EQ(decodeLha(withEndMark(lhaEntry({.method = "-lh1-", .unpacked = 0x1000000}, bytes_t(8, 0)))).result,
              import_result_t::damaged);
}

TEST(LhaDecoder, WrongCheckValuesKeepTheData) {
    // The CRC does not match: stored unchanged, but named.
    auto run = decodeLha(withEndMark(lhaEntry({.crc = 0x1234}, text("data"))));
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.entries[0].data, text("data"));
    EXPECT_EQ(run.failedChecks, std::vector<std::string>{"FILE"});
    // A stored entry claiming more than it holds gives what it holds.
    run = decodeLha(withEndMark(lhaEntry({.unpacked = 10}, text("data"))));
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.entries[0].data, text("data"));
    EXPECT_EQ(run.result, import_result_t::partial);
}

TEST(LhaDecoder, EmptyEntryIsAFileWithoutData) {
    bytes_t archive = lhaEntry({.name = "empty"}, {});
    const bytes_t next = lhaEntry({.name = "next"}, text("more data after it"));
    archive.insert(archive.end(), next.begin(), next.end());
    const auto run = decodeLha(withEndMark(archive));
    EXPECT_EQ(run.result, import_result_t::done);
    ASSERT_EQ(run.entries.size(), 2u);
    EXPECT_TRUE(run.entries[0].data.empty());
}

TEST(LhaDecoder, CutArchiveKeepsWhatItHolds) {
    // Cut inside a stored entry's data: what is there, and how much the file held.
    bytes_t archive = lhaEntry({.name = "first"}, text("whole data"));
    const bytes_t second = lhaEntry({.name = "second"}, text("data the end cuts"));
    archive.insert(archive.end(), second.begin(), second.end());
    archive.resize(archive.size() - 5);
    auto run = decodeLha(archive);
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_EQ(run.entries.size(), 2u);
    EXPECT_FALSE(run.entries[0].loss);
    EXPECT_EQ(run.entries[1].data, text("data the end"));
    EXPECT_EQ(run.entries[1].loss, (entry_loss_t{entry_loss_t::cause::archiveEnds, 17}));

    // An lh1 stream cut by the end gives what it decoded.
    bytes_t big = readFixture("big.lzh");
    big.resize(big.size() / 2);
    run = decodeLha(big);
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_FALSE(run.entries.empty());
    ASSERT_TRUE(run.entries.back().loss);
    EXPECT_EQ(run.entries.back().loss->why, entry_loss_t::cause::archiveEnds);

    // Packed size cut to half, header sum kept right: the stream runs out inside its entry.
    bytes_t shortened = readFixture("big.lzh");
    const auto packed = static_cast<std::uint32_t>(shortened[7] | shortened[8] << 8 | shortened[9] << 16);
    putLe32(shortened, 7, packed / 2);
    std::uint32_t sum = 0;
    for (std::size_t i = 2; i < shortened[0] + 2u; ++i) sum += shortened[i];
    shortened[1] = static_cast<std::uint8_t>(sum);
    run = decodeLha(shortened);
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_FALSE(run.entries.empty());
    ASSERT_TRUE(run.entries[0].loss);
    EXPECT_EQ(run.entries[0].loss->why, entry_loss_t::cause::undecodable);
}

TEST(LhaDecoder, DamagedLaterHeaderIsNamed) {
    bytes_t archive = lhaEntry({.name = "first"}, text("whole data"));
    bytes_t second = lhaEntry({.name = "second"}, text("more data"));
    second[1] ^= 1;
    archive.insert(archive.end(), second.begin(), second.end());
    auto run = decodeLha(withEndMark(archive));
    EXPECT_EQ(run.result, import_result_t::partial);
    EXPECT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.notes, std::vector<std::string>{"the header after file 'first' cannot be read; the " +
                                                  std::to_string(second.size() + 1) +
                                                  " bytes from it to the end of the archive were left out"});
    // A few bytes after the last entry that are not its end mark.
    archive = lhaEntry({.name = "first"}, text("whole data"));
    archive.push_back(9);
    archive.push_back(9);
    run = decodeLha(archive);
    EXPECT_EQ(run.notes, std::vector<std::string>{"the archive ends inside the header after file 'first'"});
}

// After the end mark only a transfer's padding may follow; other bytes belong to no file.
TEST(LhaDecoder, WhatFollowsTheEndMarkIsNamed) {
    const bytes_t first = lhaEntry({.name = "first"}, text("whole data"));
    const bytes_t second = lhaEntry({.name = "second"}, text("more data"));
    bytes_t secondWithoutHeader = second;
    secondWithoutHeader[0] = 0;
    struct row_t {
        bytes_t after;
        std::vector<std::string> notes;
    };
    const auto joined = [](bytes_t a, const bytes_t& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<row_t> rows = {
        {{}, {}},
        {{0}, {}},
        {joined({0}, bytes_t(100, 0x1A)), {}},
        {bytes_t(127, 0x1A), {}},
        {bytes_t(253, 0), {}},
        {bytes_t(301, 0), {"300 bytes after the archive's end mark belong to no file; they were left out"}},
        {{0, 7}, {"1 byte after the archive's end mark belongs to no file; it was left out"}},
        {joined(secondWithoutHeader, {0}),
         {std::to_string(second.size()) + " bytes after the archive's end mark belong to no file; they were left out"}},
    };
    for (const row_t& row : rows) {
        SCOPED_TRACE(row.after.size());
        const decoded_t run = decodeLha(joined(first, row.after));
        EXPECT_EQ(run.entries.size(), 1u);
        EXPECT_EQ(run.notes, row.notes);
        EXPECT_EQ(run.result, row.notes.empty() ? import_result_t::done : import_result_t::partial);
    }
}

}  // namespace
}  // namespace platter::test
