#include "platter/fileid/describe.hpp"

#include <gtest/gtest.h>

#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/nested_data.hpp"
#include "platter/fileid/type_ids.hpp"
#include "tests/support/bytes.hpp"

namespace platter::fileid {
namespace {

using test_support::Bytes;
using test_support::bytes;
using test_support::put;
using test_support::text;

std::string itemText(std::uint32_t key, Bytes value) {
    return metadataToString(file_metadata_t{key, std::move(value)});
}

TEST(Describe, NamesWithMetadataInBraces) {
    EXPECT_EQ(describe(Bytes{}), "(file empty)");
    EXPECT_EQ(describe(text("ab")), "(file too small)");
    EXPECT_EQ(describe(Bytes{0, 1, 2}), "...");
    EXPECT_EQ(describe(text("hello\n")), "unix text");
    auto image = bytes(174848);
    put(image, 0, "CBM");
    put(image, 0x165AD, "GEOS format V1.0");
    EXPECT_EQ(describe(image), "d64/35 {c128 boot; GEOS}");
}

TEST(MetadataText, FlagsAndCounts) {
    EXPECT_EQ(itemText(metadata_key::c128_boot, {}), "c128 boot");
    EXPECT_EQ(itemText(metadata_key::t64_classic, {}), "classic");
    EXPECT_EQ(itemText(metadata_key::variant_7198, {}), "7198/var");
    EXPECT_EQ(itemText(metadata_key::line_count, {1, 0}), "1 line");
    EXPECT_EQ(itemText(metadata_key::line_count, {2, 0}), "2 lines");
    EXPECT_EQ(itemText(metadata_key::line_count, {0, 0}), "0 lines");
    EXPECT_EQ(itemText(metadata_key::line_count, {0x2C, 0x01}), "300 lines");
    EXPECT_EQ(itemText(metadata_key::line_count, {1}), "");
    EXPECT_EQ(itemText(32, {}), "");
    EXPECT_EQ(metadataLabel(metadata_key::line_count), "%i line%s");
    EXPECT_EQ(metadataLabel(99), "");
}

TEST(MetadataText, GeosTypesAndTexts) {
    EXPECT_EQ(itemText(metadata_key::geos_file_type, {6}), "Application");
    EXPECT_EQ(itemText(metadata_key::geos_file_type, {14}), "Auto-Exec");
    EXPECT_EQ(itemText(metadata_key::geos_file_type, {15}), "");
    EXPECT_EQ(itemText(metadata_key::geos_file_type, {}), "");
    EXPECT_EQ(itemText(metadata_key::credit_text, {0x61, 0x62, 0x0D, 0x63, 0x00, 0x64}), "\"ab`c\"");
    EXPECT_EQ(itemText(metadata_key::credit_text, {0x00, 0x64}), "\"\"");
    EXPECT_EQ(itemText(metadata_key::credit_text, {}), "");
    EXPECT_EQ(itemText(metadata_key::geos_class, {'W', 'r', 'i', 't', 'e', 0xA0}), "Write`");
    EXPECT_EQ(formatNumber(file_metadata_t{0, {0x34, 0x12}}, "%i"), "4660");
    EXPECT_EQ(formatNumber(file_metadata_t{0, {0x34, 0x12, 0}}, "%i"), "");
}

TEST(NestedData, OnlyTheVirusCarriesAHostProgram) {
    auto infected = bytes(2040, 0xEA);
    put(infected, 0, {0x01, 0x08});
    const auto nested = metadataForType(infected, type_id::bhp_virus);
    ASSERT_EQ(nested.size(), 1u);
    EXPECT_EQ(nested.front().data(), infected.data() + 2032);
    EXPECT_EQ(nested.front().size(), 8u);
    EXPECT_TRUE(metadataForType(infected, type_id::basic_v20).empty());
    // Nothing behind the virus code: no nested record at all.
    infected.resize(2032);
    EXPECT_TRUE(metadataForType(infected, type_id::bhp_virus).empty());
    infected[1] = 0x10;
    EXPECT_TRUE(metadataForType(infected, type_id::bhp_virus).empty());
    EXPECT_TRUE(metadataForType(infected, type_id::unknown).empty());
}

}  // namespace
}  // namespace platter::fileid
