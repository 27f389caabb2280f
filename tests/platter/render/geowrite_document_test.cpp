#include "platter/render/geowrite_document.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A GEOS Convert file of a geoWrite document of the version, with the records
// given (an empty record is a gap), each padded to whole 254-byte blocks except the last.
Bytes convertFile(char major, const std::vector<Bytes>& records) {
    Bytes file(762, 0);
    const std::string klass = std::string("Write Image V") + major + ".1";
    std::copy(klass.begin(), klass.end(), file.begin() + 329);
    for (std::size_t n = 0; n < records.size(); ++n) {
        const Bytes& record = records[n];
        if (record.empty()) {
            file[508 + 2 * n + 1] = 0xFF;
            continue;
        }
        file[508 + 2 * n] = static_cast<std::uint8_t>((record.size() + 253) / 254);
        file[508 + 2 * n + 1] = static_cast<std::uint8_t>((record.size() - 1) % 254 + 2);
        file.insert(file.end(), record.begin(), record.end());
        if (n + 1 < records.size()) file.resize(file.size() + (254 - record.size() % 254) % 254);
    }
    return file;
}

Bytes ruler(std::uint16_t left, std::uint16_t right, std::uint8_t justification) {
    Bytes bytes{17, static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(left >> 8),
                static_cast<std::uint8_t>(right), static_cast<std::uint8_t>(right >> 8)};
    bytes.resize(27, 0);
    bytes[23] = justification;
    return bytes;
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes text(std::string_view chars) { return Bytes(chars.begin(), chars.end()); }

std::vector<geowrite_kind> kindsOf(const geowrite_items_t& items) {
    std::vector<geowrite_kind> kinds;
    for (const auto& item : items) kinds.push_back(item.kind);
    return kinds;
}

TEST(GeoWriteReader, ItemsOfAPage) {
    const Bytes page = join({ruler(8, 327, 3), Bytes{23, 1, 2, 3}, text("one\rtwo\tthree"), Bytes{16, 1, 2, 3, 4},
                             Bytes{12}, text("four"), Bytes{0}, text("after the end")});
    const auto document = readGeoWrite(convertFile('2', {page}));
    ASSERT_TRUE(document);
    ASSERT_NE(document->page(0), nullptr);
    using enum geowrite_kind;
    EXPECT_EQ(kindsOf(*document->page(0)), (std::vector{ruler, font, text, picture, page_break, text, end_of_text}));
    EXPECT_EQ(document->text(0), "one\rtwo\tthree");
    EXPECT_EQ(document->text(1), "four");
    EXPECT_EQ(document->ruler(0)->leftMargin(), 8);
    EXPECT_EQ(document->ruler(0)->rightMargin(), 327);
    EXPECT_EQ(document->ruler(0)->justification(), 3);
    EXPECT_EQ(document->ruler(1), nullptr);
    EXPECT_EQ(document->majorVersion(), 2);
    EXPECT_EQ(document->tabStop(0), 0);
}

TEST(GeoWriteReader, RecordTableGapsAndEnd) {
    const auto document =
        readGeoWrite(convertFile('2', {join({text("page zero"), Bytes{0}}), {}, join({text("page two"), Bytes{0}})}));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->pages().size(), 2u);
    EXPECT_EQ(document->text(1), "page two");
    EXPECT_FALSE(document->hasHeader());
    EXPECT_EQ(document->firstPageNumber(), 0);
    // A table that starts with its end has no pages at all.
    EXPECT_TRUE(readGeoWrite(convertFile('2', {}))->pages().empty());
}

TEST(GeoWriteReader, SettingsOfVersionTwo) {
    Bytes file = convertFile('2', {text("x")});
    file[389] = 0x2C;
    file[390] = 0x01;
    file[391] = 0x80;
    const auto document = readGeoWrite(file);
    EXPECT_EQ(document->firstPageNumber(), 300);
    EXPECT_TRUE(document->hasTitlePage());
}

TEST(GeoWriteReader, VersionOneStartsEachPageWithARuler) {
    Bytes leading(20, 0);
    leading[0] = 16;
    leading[2] = 0x40;
    leading[3] = 0x01;
    leading[4] = 24;  // first tab stop
    const auto document = readGeoWrite(convertFile('1', {join({leading, text("old"), Bytes{0}})}));
    ASSERT_TRUE(document);
    EXPECT_EQ(kindsOf(*document->page(0)),
              (std::vector{geowrite_kind::ruler, geowrite_kind::text, geowrite_kind::end_of_text}));
    EXPECT_EQ(document->ruler(0)->rightMargin(), 320);
    EXPECT_EQ(document->ruler(0)->justification(), 0);
    EXPECT_EQ(document->tabStop(0), 24);
    EXPECT_EQ(document->firstPageNumber(), 1);
    EXPECT_FALSE(document->hasTitlePage());
}

TEST(GeoWriteReader, HostileRecordsAreReadWithinTheirBlocks) {
    // Bytes without meaning are skipped; a record without its 0 ends with its data.
    const auto skipped = readGeoWrite(convertFile('2', {join({Bytes{1, 0x80, 0xFF}, text("text")})}));
    ASSERT_TRUE(skipped);
    EXPECT_EQ(skipped->text(0), "text");
    EXPECT_EQ(kindsOf(*skipped->page(0)).back(), geowrite_kind::end_of_text);
    // An escape cut off by the end of its record ends the record.
    const auto cut = readGeoWrite(convertFile('2', {join({text("a"), Bytes{17, 1, 2}}), text("b")}));
    ASSERT_TRUE(cut);
    EXPECT_EQ(kindsOf(*cut->page(0)), (std::vector{geowrite_kind::text, geowrite_kind::end_of_text}));
    // A table that claims more blocks than the file holds, or a file shorter than
    // its first record, is no document.
    Bytes claims = convertFile('2', {text("x")});
    claims[508] = 200;
    EXPECT_FALSE(readGeoWrite(claims));
    EXPECT_FALSE(readGeoWrite(Bytes(761, 0)));
}

TEST(GeoWriteReader, RealDocumentsCutAnywhere) {
    std::ifstream in(ZT_TEST_DATA "/geowrite/framed.cvt", std::ios::binary);
    const Bytes whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 1000u);
    const auto document = readGeoWrite(whole);
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->hasHeader());
    EXPECT_TRUE(document->hasFooter());
    std::mt19937 random(1581);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        readGeoWrite(cut);
        // The same length of noise behind the real header and table.
        for (std::size_t at = 762; at < cut.size(); ++at) cut[at] = static_cast<std::uint8_t>(random());
        readGeoWrite(cut);
    }
}

}  // namespace
}  // namespace platter
