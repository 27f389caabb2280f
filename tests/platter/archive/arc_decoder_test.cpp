#include <gtest/gtest.h>

#include "archive_test_support.hpp"
#include "platter/archive/arc_header.hpp"

namespace platter::test {
namespace {

struct arc_fields_t {
    std::uint8_t version = 2;
    std::uint8_t mode = 0;
    std::uint32_t length = 0;
    std::string name = "FILE";
    char letter = 'P';
    std::uint8_t recordLength = 0;
    std::uint16_t blocks = 0;  // 0: as many as header and data need
    std::uint16_t checksum = 0;
};

// One entry, padded to its blocks.
bytes_t arcEntry(const arc_fields_t& fields, const bytes_t& body) {
    bytes_t out{fields.version,
                fields.mode,
                static_cast<std::uint8_t>(fields.checksum),
                static_cast<std::uint8_t>(fields.checksum >> 8),
                static_cast<std::uint8_t>(fields.length),
                static_cast<std::uint8_t>(fields.length >> 8),
                static_cast<std::uint8_t>(fields.length >> 16),
                0,
                0,
                static_cast<std::uint8_t>(fields.letter),
                static_cast<std::uint8_t>(fields.name.size())};
    out.insert(out.end(), fields.name.begin(), fields.name.end());
    if (fields.version >= 2) out.insert(out.end(), {fields.recordLength, 0, 0});
    out.insert(out.end(), body.begin(), body.end());
    const std::size_t blocks = fields.blocks != 0 ? fields.blocks : (out.size() + 253) / 254;
    out[7] = static_cast<std::uint8_t>(blocks);
    out[8] = static_cast<std::uint8_t>(blocks >> 8);
    if (fields.blocks == 0) out.resize(blocks * 254);
    return out;
}

decoded_t decodeArc(const bytes_t& archive, import_result_t answer = import_result_t::done) {
    return runDecoder(archive, &ArchiveDecoder::decodeArc, answer);
}

bytes_t repeated(std::size_t count, std::uint8_t value) { return bytes_t(count, value); }

// Packed entries begin with the marker their archiver chose.
TEST(ArcDecoder, PackedEntriesNameTheirRunMarker) {
    bytes_t one = text("AB");
    one.insert(one.end(), 10, 'A');
    one.insert(one.end(), {'C', 'D', 0, 0, 'E', 'F'});
    one.insert(one.end(), 200, 'Z');
    const bytes_t v1 = {0xBF, 'A', 'B', 0xBF, 10, 'A', 'C', 'D', 0, 0, 'E', 'F', 0xBF, 200, 'Z'};
    auto run = decodeArc(
        arcEntry({.version = 1, .mode = 1, .length = 218, .name = "ONE", .letter = 'S', .checksum = 0x4A6F}, v1));
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.entries[0].data, one);
    EXPECT_TRUE(run.failedChecks.empty());
    EXPECT_EQ(run.result, import_result_t::done);

    // Version 2 writes 0xFE; a marker byte in the data is a run of one.
    bytes_t two = text("AB");
    two.insert(two.end(), {0xFE, 0x00});
    two.insert(two.end(), 300, 'Z');
    const bytes_t v2 = {0xFE, 'A', 'B', 0xFE, 1, 0xFE, 0x00, 0xFE, 0, 'Z', 0xFE, 44, 'Z'};
    const std::uint16_t sum = arcChecksum(2, two);
    run = decodeArc(arcEntry({.mode = 1, .length = 304, .checksum = sum}, v2));
    EXPECT_EQ(run.entries.at(0).data, two);
    EXPECT_TRUE(run.failedChecks.empty());
}

TEST(ArcDecoder, RunsUseTheZeroCountOfTheirVersion) {
    auto run = decodeArc(arcEntry({.version = 1, .mode = 1, .length = 255}, {0x00, 0x00, 0x00, 0x41}));
    EXPECT_EQ(run.entries.at(0).data, repeated(255, 0x41));
    EXPECT_EQ(run.result, import_result_t::done);

    run = decodeArc(arcEntry({.version = 2, .mode = 1, .length = 256}, {0xFE, 0xFE, 0x00, 0x41}));
    EXPECT_EQ(run.entries.at(0).data, repeated(256, 0x41));

    // Stored: the marker is an ordinary byte.
    run = decodeArc(arcEntry({.mode = 0, .length = 3}, {0xFE, 0x00, 0x41}));
    EXPECT_EQ(run.entries.at(0).data, (bytes_t{0xFE, 0x00, 0x41}));
}

TEST(ArcDecoder, RunIsCutAtTheHeaderLength) {
    const auto run = decodeArc(arcEntry({.mode = 1, .length = 5}, {0xFE, 0x42, 0xFE, 0x10, 0x41}));
    EXPECT_EQ(run.entries.at(0).data, (bytes_t{0x42, 0x41, 0x41, 0x41, 0x41}));
    EXPECT_EQ(run.result, import_result_t::done);
}

// An entry is kept as decoded whatever its checksum says, and named when it does not match.
TEST(ArcDecoder, ChecksumsOfTheirVersionAreChecked) {
    const bytes_t data = {0x11, 0x22, 0x33};
    struct case_t {
        std::uint8_t version;
        std::uint16_t checksum;
        bool matches;
    };
    // Version 1 sums the bytes; version 2 sums each XOR its position from 1.
    for (const case_t& one :
         {case_t{1, 0x0066, true}, case_t{2, 0x0060, true}, case_t{2, 0x0066, false}, case_t{1, 0x0060, false}}) {
        const auto run =
            decodeArc(arcEntry({.version = one.version, .length = 3, .name = "X", .checksum = one.checksum}, data));
        EXPECT_EQ(run.entries.at(0).data, data);
        EXPECT_EQ(run.failedChecks, one.matches ? std::vector<std::string>{} : std::vector<std::string>{"X"});
        EXPECT_EQ(run.result, import_result_t::done);
    }

    // Mode 5 is checked against the sum after its end code, not the header's.
    const auto endCode = [](std::uint16_t sum) {
        TestBits bits(true);
        bits.put('A', 9).put('B', 9).put(256, 9).put(sum, 16).put(2, 24);
        return bits.bytes();
    };
    const std::uint16_t ab = arcChecksum(2, text("AB"));
    EXPECT_TRUE(decodeArc(arcEntry({.mode = 5, .length = 2}, endCode(ab))).failedChecks.empty());
    EXPECT_EQ(decodeArc(arcEntry({.mode = 5, .length = 2, .checksum = ab}, endCode(0))).failedChecks.size(), 1u);
}

// A squeeze table: 5-bit length then the code, both first bit least significant.
bytes_t squeezeTable(TestBits& bits, const std::vector<std::tuple<std::uint8_t, unsigned, std::uint32_t>>& codes) {
    for (unsigned value = 0; value < 256; ++value) {
        auto it = std::find_if(codes.begin(), codes.end(), [&](const auto& c) { return std::get<0>(c) == value; });
        if (it == codes.end()) {
            bits.putLowFirst(0, 5);
            continue;
        }
        bits.putLowFirst(std::get<1>(*it), 5).putLowFirst(std::get<2>(*it), std::get<1>(*it));
    }
    return bits.bytes();
}

TEST(ArcDecoder, SqueezedCodesFromOneToTwentyFourBits) {
    TestBits bits(true);
    squeezeTable(bits, {{'A', 1, 0}, {'B', 24, 0xABCDE1}});
    bits.putLowFirst(0, 1).putLowFirst(0xABCDE1, 24).putLowFirst(0, 1);
    const auto run = decodeArc(arcEntry({.mode = 2, .length = 3}, bits.bytes()));
    EXPECT_EQ(run.entries.at(0).data, text("ABA"));
    EXPECT_EQ(run.result, import_result_t::done);
}

TEST(ArcDecoder, UnmatchedSqueezeCodeEndsTheEntry) {
    TestBits bits(true);
    squeezeTable(bits, {{'A', 1, 0}});
    bits.putLowFirst(0, 1).putLowFirst(1, 1);  // "A", then a code nobody has
    const auto run = decodeArc(arcEntry({.mode = 2, .length = 3}, bits.bytes()));
    EXPECT_EQ(run.entries.at(0).data, text("A"));
    EXPECT_EQ(run.result, import_result_t::partial);
}

TEST(ArcDecoder, CodeLengthAbove24MakesTheHeaderInvalid) {
    TestBits bits(true);
    const bytes_t table = squeezeTable(bits, {{'A', 25, 0}});
    EXPECT_EQ(decodeArc(arcEntry({.mode = 2, .length = 1}, table)).result, import_result_t::damaged);

    // After a good entry it is an entry without data, and the next header is read on.
    bytes_t archive = arcEntry({.length = 2}, text("OK"));
    const bytes_t bad = arcEntry({.mode = 4, .length = 1}, table);
    const bytes_t after = arcEntry({.length = 5}, text("AFTER"));
    for (const bytes_t& entry : {bad, after}) archive.insert(archive.end(), entry.begin(), entry.end());
    const auto run = decodeArc(archive);
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_EQ(run.entries.size(), 3u);
    EXPECT_TRUE(run.entries[1].data.empty());
    EXPECT_EQ(run.entries[1].loss, (entry_loss_t{entry_loss_t::cause::undecodable, 1}));
    EXPECT_EQ(run.entries[2].data, text("AFTER"));
    EXPECT_FALSE(run.entries[2].loss);
}

// Where entry `index` of an archive starts: each header gives the blocks to the next one.
std::size_t entryAt(const bytes_t& archive, std::size_t index) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < index; ++i) at += (archive[at + 7] + archive[at + 8] * std::size_t{256}) * 254;
    return at;
}

// A damaged entry ends at its blocks: it keeps what was decoded, is named, and every header
// after it is read. (The fixture: STORED, SQUEEZED, CRUNCHED and four more.)
TEST(ArcDecoder, ADamagedEntryStopsAtItsBlocks) {
    const bytes_t whole = readFixture("modes_v2.arc");
    const auto full = decodeArc(whole);
    ASSERT_EQ(full.entries.size(), 7u);
    const std::size_t squeezed = entryAt(whole, 1);
    const std::size_t crunched = entryAt(whole, 2);
    const std::size_t squeezedData = squeezed + 11 + 8 + 3;  // header, "SQUEEZED", record length and spares
    const auto damage = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        bytes_t archive = whole;
        test_support::put(archive, at, bytes);
        return decodeArc(archive);
    };
    const std::vector<std::pair<std::string, decoded_t>> runs = {
        {"garbage in the crunched stream", damage(crunched + 300, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"a squeeze code of 31 bits", damage(squeezedData, {0x1F})},
        {"a name of 200 bytes", damage(squeezed + 10, {200})},
    };
    for (const auto& [what, run] : runs) {
        SCOPED_TRACE(what);
        EXPECT_EQ(run.result, import_result_t::partial);
        ASSERT_EQ(run.entries.size(), 7u);
        const std::size_t damaged = what == "garbage in the crunched stream" ? 2 : 1;
        for (std::size_t i = 0; i < 7; ++i) {
            if (i == damaged) {
                EXPECT_TRUE(run.entries[i].loss);
                EXPECT_LT(run.entries[i].data.size(), full.entries[i].data.size());
            } else {
                EXPECT_EQ(run.entries[i], full.entries[i]) << i;
            }
        }
    }
}

// LZW codes: 9 bits, first bit most significant, bytes filled from bit 0.
bytes_t codes(std::initializer_list<std::uint32_t> list) {
    TestBits bits(true);
    for (std::uint32_t code : list) bits.put(code, 9);
    return bits.bytes();
}

TEST(ArcDecoder, CodesNoValidStreamHoldsEndTheEntry) {
    // First code past the single bytes, the reserved 257, a code past the
    // next free one, and the end code in mode 3.
    for (const bytes_t& body : {codes({258}), codes({'A', 257}), codes({'A', 'B', 300}), codes({'A', 256, 'B'})}) {
        const auto run = decodeArc(arcEntry({.mode = 3, .length = 3}, body));
        ASSERT_EQ(run.entries.size(), 1u);
        EXPECT_LE(run.entries[0].data.size(), 2u);
        EXPECT_EQ(run.result, import_result_t::partial);
    }
}

TEST(ArcDecoder, EndCodeSetsTheLength) {
    // Mode 5 ends at code 256, whatever the header says.
    const auto run = decodeArc(arcEntry({.mode = 5, .length = 9}, codes({'A', 'B', 256, 0, 0, 0, 0})));
    EXPECT_EQ(run.entries.at(0).data, text("AB"));
    EXPECT_EQ(run.result, import_result_t::done);
}

TEST(ArcDecoder, FirstHeaderDecidesWhetherThereIsAnArchive) {
    EXPECT_EQ(decodeArc(bytes_t(20, 0)).result, import_result_t::damaged);
    EXPECT_EQ(decodeArc(bytes_t{2, 0, 0}).result, import_result_t::damaged);
    EXPECT_EQ(decodeArc(arcEntry({.length = 2, .blocks = 0xFFFF}, text("OK"))).entries.size(), 1u);
    bytes_t noBlocks = arcEntry({.length = 2}, text("OK"));
    noBlocks[7] = 0;
    EXPECT_EQ(decodeArc(noBlocks).result, import_result_t::damaged);
    // A name running past the end.
    bytes_t cut = arcEntry({.length = 2, .name = "NAME"}, {});
    cut.resize(13);
    EXPECT_EQ(decodeArc(cut).result, import_result_t::damaged);

    // Zero padding after the entries ends the archive.
    bytes_t archive = arcEntry({.length = 2}, text("OK"));
    archive.resize(archive.size() + 300, 0);
    const auto run = decodeArc(archive);
    EXPECT_EQ(run.result, import_result_t::done);
    EXPECT_EQ(run.entries.size(), 1u);
}

TEST(ArcDecoder, EmptyAndUnknownEntries) {
    // An empty file is an entry without data.
    auto run = decodeArc(arcEntry({.length = 0}, {}));
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_TRUE(run.entries[0].data.empty());
    EXPECT_EQ(run.result, import_result_t::done);
    // An unknown mode yields no bytes of the ten announced.
    run = decodeArc(arcEntry({.mode = 7, .length = 10}, text("0123456789")));
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_TRUE(run.entries[0].data.empty());
    EXPECT_EQ(run.result, import_result_t::partial);
}

TEST(ArcDecoder, TruncatedDataKeepWhatWasDecoded) {
    bytes_t archive = arcEntry({.length = 100, .blocks = 1}, text("0123456789"));
    const auto run = decodeArc(archive);
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.entries[0].data, text("0123456789"));
    EXPECT_EQ(run.result, import_result_t::partial);
}

TEST(ArcDecoder, NamesTypesAndRecordLengths) {
    bytes_t archive = arcEntry({.length = 1, .name = "SEVENTEEN CHARS!!", .letter = 'R', .recordLength = 64}, {1});
    const bytes_t v1 = arcEntry({.version = 1, .length = 1, .name = "OLD", .letter = 'R'}, {2});
    const bytes_t usr = arcEntry({.length = 1, .name = "U", .letter = 'U'}, {3});
    archive.insert(archive.end(), v1.begin(), v1.end());
    archive.insert(archive.end(), usr.begin(), usr.end());
    const auto run = decodeArc(archive);
    ASSERT_EQ(run.entries.size(), 3u);
    EXPECT_EQ(run.entries[0].name, "SEVENTEEN CHARS!");
    EXPECT_EQ(run.entries[0].typeByte, 0x84);
    EXPECT_EQ(run.entries[0].entryTail[0], 64);
    // Version 1 gives no record length: kept as SEQ.
    EXPECT_EQ(run.entries[1].typeByte, 0x81);
    EXPECT_EQ(run.entries[2].typeByte, 0x83);
}

TEST(ArcDecoder, SinkThatRunsOutOfRoomStopsTheArchive) {
    bytes_t archive = arcEntry({.length = 1}, {1});
    archive.insert(archive.end(), archive.begin(), archive.end());
    const auto run = decodeArc(archive, import_result_t::full);
    EXPECT_EQ(run.result, import_result_t::full);
    EXPECT_EQ(run.entries.size(), 1u);
}

}  // namespace
}  // namespace platter::test
