// Every fixture decodes to the entries expected.txt lists: what the writers
// put in, and where a peer reads the kind, what lhasa, unar or cbmconvert
// extract (tests/data/archive/make_fixtures.sh).
#include <gtest/gtest.h>

#include "archive_test_support.hpp"

namespace platter::test {
namespace {

// A VLIR file is listed by the bytes of its records one after the other.
bytes_t contentOf(const collected_entry_t& entry) {
    if (entry.recordIndex.empty()) return entry.data;
    bytes_t joined;
    for (const vlir_record_t& record : entry.records)
        joined.insert(joined.end(), record.bytes.begin(), record.bytes.end());
    return joined;
}

void expectEntries(const std::string& archive, const decoded_t& decoded,
                   const std::vector<expected_entry_t>& expected) {
    SCOPED_TRACE(archive);
    EXPECT_EQ(decoded.result, import_result_t::done);
    EXPECT_TRUE(decoded.failedChecks.empty());
    std::size_t files = 0;
    for (const expected_entry_t& want : expected) {
        if (want.index == "title") {
            EXPECT_EQ(decoded.title.size(), want.size);
            EXPECT_EQ(crcOf(decoded.title), want.crc);
            continue;
        }
        ++files;
        const std::size_t index = std::stoul(want.index);
        ASSERT_LT(index, decoded.entries.size());
        const collected_entry_t& got = decoded.entries[index];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(typeName(got.typeByte), want.type);
        const bytes_t content = contentOf(got);
        EXPECT_EQ(content.size(), want.size);
        EXPECT_EQ(crcOf(content), want.crc);
    }
    EXPECT_EQ(decoded.entries.size(), files);
}

// big.lzh codes more than 32,768 symbols: exact only when the Huffman tree is rebuilt as the
// encoder rebuilds it.
TEST(ArchiveFixtures, DecodeToTheExpectedFiles) {
    const auto manifest = readManifest();
    ASSERT_GE(manifest.size(), 12u);
    for (const auto& [archive, expected] : manifest) {
        if (archive.ends_with(".lnx")) continue;  // no decoder: the importer reads Lynx directories
        const bytes_t bytes = readFixture(archive);
        ASSERT_FALSE(bytes.empty()) << archive;
        expectEntries(archive, decode(archive, bytes), expected);
    }
}

// A self-extracting LHA is the archive behind a stub that byte 103 names,
// or, for other stubs, the first known length an LHA header follows.
TEST(ArchiveFixtures, SfxStubsLeadToTheSameEntries) {
    const bytes_t lha = readFixture("small.lzh");
    const auto expected = readManifest().at("small.lzh");
    for (const auto& [stub, mark] : {std::pair{3721u, 0xCE}, {3711u, 0xC4}, {3651u, 0x00}, {3711u, 0x00}}) {
        bytes_t sfx(stub, 0xEA);
        sfx[103] = static_cast<std::uint8_t>(mark);
        sfx.insert(sfx.end(), lha.begin(), lha.end());
        const auto payload = skipSfxStub(sfx);
        ASSERT_TRUE(payload) << stub;
        expectEntries("sfx " + std::to_string(stub), decode("x.lzh", *payload), expected);
    }
}

// Directory-entry bytes 23-29, the info block and the record kinds of the
// Wraptor fixture's GEOS files.
TEST(ArchiveFixtures, WraptorGeosFilesKeepTheirParts) {
    const decoded_t decoded = decode("files.wr3", readFixture("files.wr3"));
    ASSERT_EQ(decoded.entries.size(), 4u);
    const collected_entry_t& sequential = decoded.entries[2];
    const collected_entry_t& vlir = decoded.entries[3];
    EXPECT_EQ(sequential.entryTail, (std::array<std::uint8_t, 7>{0, 6, 88, 6, 1, 12, 30}));
    EXPECT_EQ(vlir.entryTail, (std::array<std::uint8_t, 7>{1, 7, 88, 6, 1, 12, 30}));
    ASSERT_EQ(sequential.infoBlock.size(), 254u);
    for (std::size_t i = 0; i < 254; ++i) ASSERT_EQ(sequential.infoBlock[i], (i * 3) & 0xFF);
    EXPECT_TRUE(sequential.recordIndex.empty());
    EXPECT_EQ(vlir.infoBlock, sequential.infoBlock);
    ASSERT_EQ(vlir.recordIndex.size(), 254u);
    EXPECT_EQ(vlir.recordIndex[4], 0x00);
    EXPECT_EQ(vlir.recordIndex[5], 0xFF);
    using kind = vlir_record_t::kind;
    ASSERT_EQ(vlir.records.size(), 5u);
    const std::array<kind, 5> kinds{kind::data, kind::data, kind::absent, kind::empty, kind::data};
    const std::array<std::size_t, 5> sizes{300, 700, 0, 0, 90};
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        EXPECT_EQ(vlir.records[k].what, kinds[k]) << k;
        EXPECT_EQ(vlir.records[k].bytes.size(), sizes[k]) << k;
    }
}

}  // namespace
}  // namespace platter::test
