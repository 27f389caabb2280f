#include <gtest/gtest.h>

#include "archive_test_support.hpp"
#include "platter/archive/wraptor_stream.hpp"

namespace platter::test {
namespace {

// Stream tokens, bits from bit 7 down.
struct WraptorBits {
    TestBits bits{false};
    unsigned width = 8;

    WraptorBits& literal(std::uint8_t byte) {
        bits.put(0, 1).put(byte, 8);
        return *this;
    }
    WraptorBits& copy(std::uint32_t position, std::uint32_t length) {
        bits.put(1, 1).put(position, width).put(length, 5);
        return *this;
    }
    WraptorBits& widen() {
        bits.put(1, 1).put(0, width).put(1, 1);
        ++width;
        return *this;
    }
    bytes_t end() {
        bits.put(1, 1).put(0, width).put(0, 1);
        return bits.bytes();
    }
};

bool decodeStream(const bytes_t& stream, bytes_t& out) {
    MsbBitReader bits(stream);
    return decodeWraptorStream(bits, out);
}

TEST(WraptorStream, WidenThenEndGivesNothing) {
    bytes_t out{1, 2, 3};
    EXPECT_TRUE(decodeStream(WraptorBits().widen().end(), out));
    EXPECT_TRUE(out.empty());
}

TEST(WraptorStream, CopiesOverlapTheirOwnOutput) {
    bytes_t out;
    ASSERT_TRUE(decodeStream(WraptorBits().literal('A').literal('B').literal('C').copy(1, 5).end(), out));
    EXPECT_EQ(out, text("ABCABCAB"));
    // Slots not written yet hold 0.
    ASSERT_TRUE(decodeStream(WraptorBits().copy(100, 2).literal('X').end(), out));
    EXPECT_EQ(out, (bytes_t{0, 0, 'X'}));
}

TEST(WraptorStream, RingSlotsFollowTheOutputAcrossTheWrap) {
    const auto fullRing = [] {
        WraptorBits tokens;
        for (std::size_t i = 0; i < 4096; ++i) tokens.literal(static_cast<std::uint8_t>(i * 7));
        return tokens;
    };
    bytes_t out;
    ASSERT_TRUE(decodeStream(fullRing().end(), out));
    EXPECT_EQ(out.size(), 4096u);
    // After the wrap slot 0 holds byte 4096, written by the copy itself.
    ASSERT_TRUE(decodeStream(fullRing().copy(1, 3).end(), out));
    ASSERT_EQ(out.size(), 4099u);
    EXPECT_EQ(out[4096], 0);
    EXPECT_EQ(out[4097], 7);
    EXPECT_EQ(out[4098], 14);
}

TEST(WraptorStream, DamagedStreamsFail) {
    const auto twelveBits = [] {
        WraptorBits tokens;
        for (int i = 0; i < 4; ++i) tokens.widen();
        return tokens;
    };
    bytes_t out;
    ASSERT_TRUE(decodeStream(twelveBits().literal('A').copy(4095, 1).end(), out));
    EXPECT_EQ(out, (bytes_t{'A', 0}));                            // slot 4094
    EXPECT_FALSE(decodeStream(twelveBits().widen().end(), out));  // positions past the ring
    bytes_t cut = WraptorBits().literal('A').literal('B').end();
    cut.pop_back();
    EXPECT_FALSE(decodeStream(cut, out));
}

struct wraptor_file_t {
    std::string name;
    std::uint8_t archivedType;  // CBM type + 1
    bytes_t decoded;
};

bytes_t head(std::uint8_t structure) { return {structure, 7, 88, 6, 1, 12, 30, 0, 0}; }

bytes_t literals(const bytes_t& decoded) {
    WraptorBits tokens;
    for (std::uint8_t byte : decoded) tokens.literal(byte);
    return tokens.end();
}

bytes_t wraptorEntry(const wraptor_file_t& file, const bytes_t& stream) {
    bytes_t out{0xFF, 0x42, 0x4C, 0xFF};
    out.insert(out.end(), file.name.begin(), file.name.end());
    out.push_back(0);
    out.push_back(file.archivedType);
    out.insert(out.end(), stream.begin(), stream.end());
    out.insert(out.end(), {0x12, 0x34});
    return out;
}

bytes_t wraptorArchive(const std::vector<wraptor_file_t>& files) {
    bytes_t out;
    for (const wraptor_file_t& file : files) {
        const bytes_t entry = wraptorEntry(file, literals(file.decoded));
        out.insert(out.end(), entry.begin(), entry.end());
    }
    return out;
}

decoded_t decodeWraptor(const bytes_t& archive) { return runDecoder(archive, &ArchiveDecoder::decodeWraptor); }

bytes_t concat(std::initializer_list<bytes_t> parts) {
    bytes_t out;
    for (const bytes_t& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(WraptorDecoder, FilesTooShortForTheirKindAreSkipped) {
    const bytes_t geosShort = concat({head(0), bytes_t(509, 1)});  // 518 bytes
    const auto run = decodeWraptor(wraptorArchive({
        {"EMPTY", 3, head(0)},
        {"GEOS", 4, geosShort},
        {"NEXT", 2, concat({head(0), text("text")})},
    }));
    EXPECT_EQ(run.result, import_result_t::done);
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.entries[0].name, "NEXT");
    EXPECT_EQ(run.entries[0].typeByte, 0x81);
    EXPECT_EQ(run.entries[0].data, text("text"));
    EXPECT_EQ(run.entries[0].entryTail, (std::array<std::uint8_t, 7>{0, 7, 88, 6, 1, 12, 30}));
}

TEST(WraptorDecoder, EndsAndDamage) {
    EXPECT_EQ(decodeWraptor({}).result, import_result_t::done);
    const bytes_t good = wraptorArchive({{"ONE", 3, concat({head(0), text("data")})}});
    EXPECT_EQ(decodeWraptor(text("JUNK")).result, import_result_t::damaged);
    // Bytes after the last stream belong to no file; zeros are padding.
    auto run = decodeWraptor(concat({good, text("JUNK")}));
    EXPECT_EQ(run.result, import_result_t::partial);
    EXPECT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.notes, std::vector<std::string>{"4 bytes after file 'one' belong to no file; they were left out"});
    EXPECT_EQ(decodeWraptor(concat({good, bytes_t(5, 0)})).result, import_result_t::done);
    // Signature, name and type with nothing after them: a file the archive ends before.
    run = decodeWraptor(concat({good, {0xFF, 0x42, 0x4C, 0xFF, 'X', 0, 3}}));
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_EQ(run.entries.size(), 2u);
    EXPECT_TRUE(run.entries[1].data.empty());
    EXPECT_EQ(run.entries[1].loss, (entry_loss_t{entry_loss_t::cause::archiveEnds, std::nullopt}));
    // A stream cut short keeps what it decoded.
    bytes_t cut = good;
    cut.resize(cut.size() - 4);
    run = decodeWraptor(cut);
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.entries[0].data, text("dat"));
    EXPECT_TRUE(run.entries[0].loss);
    // A name that never ends.
    run = decodeWraptor(concat({good, {0xFF, 0x42, 0x4C, 0xFF, 'X', 'Y'}}));
    EXPECT_EQ(run.result, import_result_t::partial);
    EXPECT_EQ(run.notes, std::vector<std::string>{"the archive ends inside the header after file 'one'"});
    // Archived types 0 and 6 name no file.
    for (const std::uint8_t type : {std::uint8_t{0}, std::uint8_t{6}}) {
        const auto bad = decodeWraptor(concat({good, wraptorArchive({{"BAD", type, concat({head(0), text("x")})}})}));
        EXPECT_EQ(bad.result, import_result_t::partial);
        EXPECT_EQ(bad.entries.size(), 1u);
        EXPECT_EQ(bad.notes.size(), 1u);
    }
}

// A stream whose end is lost stops at the next entry's signature instead of decoding it as
// its own data, and the entries after it are read.
TEST(WraptorDecoder, AStreamWithoutItsEndStopsAtTheNextEntry) {
    const wraptor_file_t first{"FIRST", 3, concat({head(0), text("first file")})};
    WraptorBits tokens;
    for (std::uint8_t byte : first.decoded) tokens.literal(byte);
    bytes_t endless = tokens.bits.bytes();
    const bytes_t after = wraptorArchive({{"AFTER", 2, concat({head(0), text("after")})}});
    const auto run = decodeWraptor(concat({wraptorEntry(first, endless), after}));
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_EQ(run.entries.size(), 2u);
    EXPECT_EQ(run.entries[0].data, text("first file"));
    EXPECT_EQ(run.entries[0].loss, (entry_loss_t{entry_loss_t::cause::undecodable, std::nullopt}));
    EXPECT_EQ(run.entries[1].name, "AFTER");
    EXPECT_EQ(run.entries[1].data, text("after"));
    EXPECT_FALSE(run.entries[1].loss);
}

bytes_t chunk(const bytes_t& data, bool more) {
    const std::size_t word = data.size() | (more ? 0x8000 : 0);
    return concat({{static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8)}, data});
}

// Records are joined from chunks; one that runs past the data cuts its
// file short, and only the file.
TEST(WraptorDecoder, VlirRecordsFromChunks) {
    const bytes_t info(254, 0x11);
    const bytes_t index(254, 0x22);
    const bytes_t records = concat({chunk(text("FIRST"), true), chunk(text(" RECORD.."), false), chunk({}, false)});
    auto run = decodeWraptor(wraptorArchive({{"VLIR", 4, concat({head(1), info, index, records})}}));
    EXPECT_EQ(run.result, import_result_t::done);
    ASSERT_EQ(run.entries.size(), 1u);
    EXPECT_EQ(run.entries[0].infoBlock, info);
    EXPECT_EQ(run.entries[0].recordIndex, index);
    ASSERT_EQ(run.entries[0].records.size(), 2u);
    EXPECT_EQ(run.entries[0].records[0].bytes, text("FIRST RECORD"));  // two trailing bytes dropped

    const bytes_t broken = concat({head(1), info, index, chunk(text("ABC"), true), bytes_t{9}});
    run = decodeWraptor(wraptorArchive({{"BROKEN", 4, broken}, {"AFTER", 2, concat({head(0), text("x")})}}));
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_EQ(run.entries.size(), 2u);
    EXPECT_EQ(run.entries[0].name, "BROKEN");
    EXPECT_TRUE(run.entries[0].records.empty());
    EXPECT_TRUE(run.entries[0].loss);
    EXPECT_EQ(run.entries[1].name, "AFTER");
}

}  // namespace
}  // namespace platter::test
