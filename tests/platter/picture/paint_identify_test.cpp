#include "platter/picture/paint_identify.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/picture/paint_type_ids.hpp"
#include "tests/support/bytes.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test_support::programFile;

constexpr std::uint8_t kSeq = 1;
constexpr std::uint8_t kPrg = 2;

TEST(IdentifyPaintByLoadAddress, ExactRowsAndSpecificMatches) {
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x6000, 10003), true), paint_type::koala);
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x4000, 10003), true), paint_type::interpaint_mc);
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x1C00, 9026), true), paint_type::doodle);
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x0000, 9002), true), paint_type::loadstar_hi);
    // Any-size rows: the last one that matches wins.
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x4000, 5000), true), paint_type::loadstar_mc_packed);
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x1234, 2050), true), paint_type::font);
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x1234, 100), true), paint_type::none);
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, Bytes{0x00, 0x60}, true), paint_type::none);
}

TEST(IdentifyPaintByLoadAddress, DoodleAtTheDrazAddressNeedsNineThousandBytes) {
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x5C00, 8999), true), paint_type::none);
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x5C00, 9000), true), paint_type::doodle);
    Bytes draz = programFile(0x5C00, 9000);
    const std::string signature = "DRAZPAINT 1.4";
    std::copy(signature.begin(), signature.end(), draz.begin() + 2);
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, draz, true), paint_type::draz_packed);
}

TEST(IdentifyPaintByLoadAddress, LooseRowsAndGoDot) {
    Bytes godot = programFile(0x4F47, 300);  // "GO"
    godot[2] = 'D';
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, godot, true), paint_type::godot);
    // Not strict: the any-address any-size rows are the fallback, the last one wins.
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x1234, 100), false), paint_type::godot);
    EXPECT_EQ(identifyPaintByLoadAddress(kSeq, programFile(0x1234, 100), true), paint_type::seq);
    // A specific match beats every fallback.
    EXPECT_EQ(identifyPaintByLoadAddress(kPrg, programFile(0x0801, 100), false), paint_type::basic);
}

TEST(PaintTypeFromFileId, MapsPictureTypes) {
    namespace id = fileid::type_id;
    EXPECT_EQ(paintTypeFromFileId(id::koala_painter, {}), paint_type::koala);
    EXPECT_EQ(paintTypeFromFileId(id::advanced_art_studio, {}), paint_type::ocp);
    EXPECT_EQ(paintTypeFromFileId(id::hires_bitmap, {}), paint_type::hires);
    EXPECT_EQ(paintTypeFromFileId(id::godot_4bit, {}), paint_type::godot);
    // MonoMagic is a hires bitmap, not an Amica Paint picture.
    EXPECT_EQ(paintTypeFromFileId(id::mono_magic, {}), paint_type::mono_magic);
    EXPECT_EQ(paintTypeFromFileId(id::amica_paint, {}), paint_type::amica_packed);
    EXPECT_EQ(paintTypeFromFileId(id::d64, {}), paint_type::none);
    EXPECT_EQ(paintTypeFromFileId(id::charset_1x1, {}), paint_type::none);
}

TEST(PaintTypeFromFileId, LoadstarByItsFlagKey) {
    namespace key = fileid::metadata_key;
    const std::vector<fileid::file_metadata_t> hires = {{key::hires, {}}};
    const std::vector<fileid::file_metadata_t> multicolour = {{key::multicolor, {}}};
    const std::vector<fileid::file_metadata_t> other = {{key::line_count, {29}}};
    EXPECT_EQ(paintTypeFromFileId(fileid::type_id::loadstar_shp, hires), paint_type::loadstar_hi_packed);
    EXPECT_EQ(paintTypeFromFileId(fileid::type_id::loadstar_shp, multicolour), paint_type::loadstar_mc_packed);
    EXPECT_EQ(paintTypeFromFileId(fileid::type_id::loadstar_shp, other), paint_type::none);
    EXPECT_EQ(paintTypeFromFileId(fileid::type_id::loadstar_shp, {}), paint_type::none);
}

Bytes entry(std::uint8_t type) {
    Bytes bytes(32, 0);
    bytes[2] = type;
    return bytes;
}

Bytes geosEntry(std::uint8_t geosType) {
    Bytes bytes = entry(0x83);
    bytes[21] = 1;  // info block
    bytes[22] = 2;
    bytes[23] = 1;  // VLIR
    bytes[24] = geosType;
    bytes[25] = 90;
    bytes[26] = 5;
    bytes[27] = 17;
    bytes[28] = 12;
    bytes[29] = 30;
    return bytes;
}

Bytes geosFile(const std::string& className, std::size_t size = 800) {
    Bytes file(size, 0);
    std::copy(className.begin(), className.end(), file.begin() + 329);
    return file;
}

TEST(IdentifyPaintType, GeosPicturesByTheirClass) {
    EXPECT_EQ(identifyPaintType(geosEntry(7), geosFile("Paint Image V1.1", 765)), paint_type::geo_paint);
    EXPECT_EQ(identifyPaintType(geosEntry(7), geosFile("Paint Image V1.1", 70000)), paint_type::geo_paint);
    EXPECT_EQ(identifyPaintType(geosEntry(7), geosFile("photo album V2.1")), paint_type::geo_photo_album);
    EXPECT_EQ(identifyPaintType(geosEntry(7), geosFile("Write Image V2.1")), paint_type::geo_write);
    EXPECT_EQ(identifyPaintType(geosEntry(7), geosFile("Paint Image V1.1", 764)), paint_type::assembler);
    EXPECT_EQ(identifyPaintType(geosEntry(7), geosFile("Text Scrap  V1.1")), paint_type::assembler);
    EXPECT_EQ(identifyPaintType(geosEntry(6), geosFile("Paint Image V1.1")), paint_type::assembler);
}

TEST(IdentifyPaintType, PlainPackedAndUnknownFiles) {
    EXPECT_EQ(identifyPaintType(entry(0x82), programFile(0x6000, 10003)), paint_type::koala);
    EXPECT_EQ(identifyPaintType(entry(0x81), programFile(0x6000, 10003)), paint_type::seq);
    // A Koala packed with its 0xFE runs unpacks to 10,003 bytes at 0x6000.
    Bytes packed = {0x00, 0x60};
    for (int run = 0; run < 40; ++run) packed.insert(packed.end(), {0xFE, 0x55, 250});
    packed.insert(packed.end(), {0x01, 0xFE, 0x00, 0x00});
    EXPECT_EQ(identifyPaintType(entry(0x82), packed), paint_type::packed_koala);
    EXPECT_EQ(identifyPaintType(entry(0x82), programFile(0x1234, 100)), paint_type::assembler);
    EXPECT_EQ(identifyPaintType({}, {}), paint_type::assembler);
}

}  // namespace
}  // namespace platter
