#include "platter/fileid/archive_detectors.hpp"

#include <gtest/gtest.h>

#include "platter/fileid/describe.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"
#include "tests/platter/fileid/result_lists.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter::fileid {
namespace {

using fileid_test::Keys;
using fileid_test::keysOf;
using fileid_test::Types;
using fileid_test::typesOf;
using test_support::Bytes;
using test_support::bytes;
using test_support::put;
using test_support::text;

Bytes withText(std::size_t size, std::size_t offset, std::string_view marker) {
    Bytes data = bytes(size);
    put(data, offset, marker);
    return data;
}

TEST(Lynx, BannersInPriorityOrder) {
    struct case_t {
        std::size_t offset;
        std::string_view banner;
        std::uint32_t type;
        Keys keys;
    };
    const case_t cases[] = {
        {3, "ZZZ\r ", type_id::lynx_v1, {}},
        {5, "LYNX 108 BY WILL", type_id::lynx_v108, {metadata_key::punter}},
        {100, "LYNX 108 BY WILL", type_id::lynx_v108, {metadata_key::xmodem}},
        {5, " LYNX V BY WILL ", type_id::lynx_v5, {}},
        {118, "LYNX VII BY WILL", type_id::lynx_v7, {}},
        {5, "LYNX IX  BY WILL", type_id::lynx_v9, {metadata_key::punter}},
        {100, "LYNX IX  BY WILL", type_id::lynx_v9, {metadata_key::xmodem}},
        {100, "LYNX XV JCB+WILL", type_id::lynx_variant1, {}},
        {100, "LYNX XVI BY WILL", type_id::lynx_v16, {}},
        {100, "LYNX XVI  BY WILL", type_id::lynx_v16_variant, {}},
        {100, "LYNX XVI  BY WIL", type_id::ultimate_lynx_v2, {}},
        {100, "LYNX XVII   WILL", type_id::lynx_v17, {}},
        {108, "CBMCONVERT 2.0", type_id::lynx_cbmconvert, {}},
        {109, "CBMCONVERT 2.0", type_id::lynx_cbmconvert, {}},
        {100, "LYNX - MADE BY 64COPY", type_id::lynx_64copy, {}},
        {100, "STAR LYNX 0.82", type_id::star_lynx_v082, {}},
        {100, "STAR LYNX 9.99", type_id::star_lynx, {}},
        {112, " BY EXCE", type_id::lynx_variant2, {}},
    };
    for (const auto& one : cases) {
        const file_traits_t traits = detectLynx(withText(300, one.offset, one.banner));
        EXPECT_EQ(traits.type, one.type) << one.banner;
        EXPECT_EQ(keysOf(traits), one.keys) << one.banner;
    }
    // Version 1's marker wins over a banner in the same file.
    Bytes both = withText(300, 100, "LYNX IX  BY WILL");
    put(both, 3, "ZZZ\r ");
    EXPECT_EQ(detectLynx(both).type, type_id::lynx_v1);
    EXPECT_EQ(describe(withText(300, 112, " BY EXCE")), "Lynx (variant 2)");
    // Shorter than the record's minimum: the walk never asks.
    EXPECT_EQ(identify(withText(254, 108, "CBMCONVERT 2.0")).front().type, type_id::unknown);
}

TEST(SignatureArchives, OneByteShortIsNothing) {
    struct case_t {
        detector_t detector;
        Bytes data;
        std::uint32_t type;
    };
    Bytes arkive = bytes(26);
    put(arkive, 0, {1, 0x82});
    Bytes arkiveSfx = bytes(24);
    put(arkiveSfx, 0, {1, 0x92});
    const case_t cases[] = {
        {detectWraptor, Bytes{0xFF, 'B', 'L', 0xFF}, type_id::wraptor_v3},
        {detectLibrary, text("DWB "), type_id::library},
        {detectArkive, arkive, type_id::arkive},
        {detectArkiveSfx, arkiveSfx, type_id::arkive_sfx},
        {detectSpyne, withText(535, 530, "SPYNE"), type_id::spyne},
        {detectLha, withText(7, 2, "-lh1-"), type_id::lha},
        {detectArchiveGen, withText(293, 277, "ARCHIVE V1.7 GEN"), type_id::archive_v17},
        {detectDArc,
         withText(529, 519,
                  "\xC4'\xC1RC \xD6"
                  "0.1"),
         type_id::darc_v01},
        {detectDArc,
         withText(661, 651,
                  "\xC4'\xC1RC \xD6"
                  "0.2"),
         type_id::darc_v02},
        {detectSdaVision, withText(285, 275, "fILES V3.0"), type_id::sda_vision3},
        {detectSdaAgony, withText(904, 896, "\x9BSAVING "), type_id::sda_agony},
        {detectSdaVer1996, withText(58, 39, "VER (C) 1996 STEVEN"), type_id::sda_variant},
        {detectSdaThunderbirds, withText(299, 289, "tHE +4 tHU"), type_id::sda_thunderbirds},
    };
    for (const auto& one : cases) {
        EXPECT_EQ(one.detector(one.data).type, one.type) << one.data.size();
        const Bytes shorter(one.data.begin(), one.data.end() - 1);
        EXPECT_EQ(one.detector(shorter).type, type_id::unknown) << one.data.size();
    }
}

TEST(SignatureArchives, ArkiveFileTypeBytes) {
    Bytes arkive = bytes(26);
    put(arkive, 0, {1, 0x84});
    EXPECT_EQ(detectArkive(arkive).type, type_id::arkive);
    arkive[1] = 0x75;
    EXPECT_EQ(detectArkive(arkive).type, type_id::unknown);
    arkive[1] = 0x80;
    arkive[0] = 0;
    EXPECT_EQ(detectArkive(arkive).type, type_id::unknown);
    // The self-extracting form sets bit 4 of the type byte.
    Bytes sfx = bytes(24);
    put(sfx, 1, {0x92});
    EXPECT_EQ(detectArkiveSfx(sfx).type, type_id::arkive_sfx);
    sfx[1] = 0x82;
    EXPECT_EQ(detectArkiveSfx(sfx).type, type_id::unknown);
}

TEST(SelfDissolvingArc, MarkerTestsInOrder) {
    const std::string_view words =
        "SQUEE\xDA"
        "CRUNC\xC8"
        "SQUA";
    Bytes plain = withText(630, 608, words);
    put(plain, 402, "TO CREATE");
    EXPECT_EQ(detectArcSda(plain).type, type_id::arc_sda);
    EXPECT_EQ(keysOf(detectArcSda(plain)), Keys{});
    EXPECT_EQ(keysOf(detectArcSda(withText(700, 640, words))), Keys{metadata_key::variant_7198});
    EXPECT_EQ(keysOf(detectArcSda(withText(700, 402, "TO CREATE"))), Keys{metadata_key::unknown5});
    Bytes late = withText(1171, 1155, words);
    EXPECT_EQ(keysOf(detectArcSda(late)), Keys{metadata_key::unknown3});
    late.pop_back();
    EXPECT_EQ(detectArcSda(late).type, type_id::unknown);
    Bytes numbers = withText(1016, 1006, "1234567890");
    EXPECT_EQ(detectArcSda(numbers).type, type_id::unknown);
    put(numbers, 16, {0xA9, 0xF7, 0x85, 0xFD, 0xA9, 0x0B, 0x85, 0xFE});
    EXPECT_EQ(keysOf(detectArcSda(numbers)), Keys{metadata_key::unknown2});
    EXPECT_EQ(describe(withText(700, 640, words)), "Arc (sda) {7198/var}");
}

TEST(Arc, HeaderFields) {
    Bytes arc = bytes(40);
    put(arc, 0, {2, 0});
    put(arc, 9, {'S', 16});
    EXPECT_EQ(detectArc(arc).type, type_id::arc_v2);
    arc[0] = 1;
    EXPECT_EQ(detectArc(arc).type, type_id::arc_v1);
    for (auto [offset, value] : {std::pair<std::size_t, std::uint8_t>{0, 3}, {1, 6}, {10, 17}, {9, 'Q'}}) {
        Bytes broken = arc;
        broken[offset] = value;
        EXPECT_EQ(detectArc(broken).type, type_id::unknown) << offset;
    }
    EXPECT_EQ(describe(arc), "Arc v1");
}

TEST(Lha, StoredAndPackedEntriesAndTheirExtractors) {
    EXPECT_EQ(describe(test_support::readFixture("fileid/lh1.lha")), "LHA");
    EXPECT_EQ(describe(test_support::readFixture("fileid/lh0.lha")), "LHA");
    // The same archive behind each extractor stub, which is all zeros here.
    for (auto [stub, label] :
         {std::pair<std::size_t, const char*>{3721, "unknown1"}, {3711, "unknown2"}, {3651, "unknown3"}}) {
        Bytes sfx = bytes(stub);
        const Bytes archive = test_support::readFixture("fileid/lh1.lha");
        sfx.insert(sfx.end(), archive.begin(), archive.end());
        EXPECT_EQ(describe(sfx), std::string("LHA (sfx) {") + label + "}");
    }
}

TEST(GeoConvert, SignatureStructureAndInfoTexts) {
    EXPECT_EQ(describe(test_support::readFixture("fileid/hello.cvt")),
              "geoConvert {Application; Hello       V1.0; Tester}");

    Bytes vlir = withText(768, 34, "formatted GEOS");
    put(vlir, 21, {1, 7});
    put(vlir, 329, "Write Image V2.1");
    put(vlir, 349, "Author");
    EXPECT_EQ(detectGeoConvert(vlir).type, type_id::unknown);
    vlir.push_back(0);
    EXPECT_EQ(describe(vlir), "geoConvert {Appl.Data; Write Image V2.1; Author}");

    Bytes sequential = withText(512, 34, "formatted GEOS");
    put(sequential, 329, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");  // runs into the author field
    sequential[22] = 15;
    EXPECT_EQ(describe(sequential), "geoConvert {ABCDEFGHIJKLMNOPQRST; UVWXYZ}");
    sequential[22] = 0;
    EXPECT_EQ(keysOf(detectGeoConvert(sequential)), (Keys{metadata_key::geos_class, metadata_key::geos_author}));
    // Cut inside the class name: the text ends with the data.
    const Bytes cut(sequential.begin(), sequential.begin() + 335);
    EXPECT_EQ(describe(cut), "...");
    EXPECT_EQ(typesOf(identifyAs(cut, type_id::geo_convert)), Types{type_id::geo_convert});
    EXPECT_EQ(metadataToString(detectGeoConvert(cut).metadata.at(0)), "ABCDEF");
    EXPECT_EQ(detectGeoConvert(withText(48, 34, "formatted GEOS")).type, type_id::geo_convert);
    EXPECT_EQ(typesOf(identifyAs(bytes(100), type_id::geo_convert)), Types{type_id::unknown});
}

TEST(Zipcode, FourPartSetsFromDisk2zip) {
    EXPECT_EQ(describe(test_support::readFixture("fileid/1!parts")), "zip4/!1");
    EXPECT_EQ(describe(test_support::readFixture("fileid/2!parts")), "zip4/!2");
    EXPECT_EQ(describe(test_support::readFixture("fileid/3!parts")), "zip4/!3");
    EXPECT_EQ(describe(test_support::readFixture("fileid/4!parts")), "zip4/!4");
}

TEST(Zipcode, PartHeaders) {
    EXPECT_EQ(detectZip4(Bytes{0xFE, 0x03, '6', '4', 0x41, 0x00}).type, type_id::zip4_part1);
    EXPECT_EQ(detectZip4(Bytes{0xFE, 0x03, '6', '4', 0x41, 0x01}).type, type_id::unknown);
    EXPECT_EQ(detectZip4(Bytes{0xFE, 0x03, '6', '4', 0x41}).type, type_id::unknown);
    EXPECT_EQ(detectZip4(Bytes{0x00, 0x04, 0xC0 | 36, 0x00, 0, 0}).type, type_id::zip4_part5);
    EXPECT_EQ(detectZip4(Bytes{0x00, 0x04, 26, 0x00, 0, 0}).type, type_id::zip4_part4);
    EXPECT_EQ(detectZip4(Bytes{0x00, 0x04, 9, 0x01, 0, 0}).type, type_id::unknown);
    EXPECT_EQ(detectZip4(Bytes{0x00, 0x04, 10, 0x00, 0, 0}).type, type_id::unknown);

    Bytes six = bytes(500);
    put(six, 0, {0xFF, 0x03, ')', 'R'});
    EXPECT_EQ(typesOf(identify(six)), Types{type_id::zip6});
    six[2] = '$';
    EXPECT_EQ(detectZip6(six).type, type_id::zip6);
    six[3] = 'S';
    EXPECT_EQ(detectZip6(six).type, type_id::unknown);
    // A six-part set is asked for by its own type: the four-part family never returns it.
    six[3] = 'R';
    EXPECT_EQ(typesOf(identifyAs(six, type_id::zip6)), Types{type_id::zip6});
    EXPECT_EQ(typesOf(identifyAs(six, type_id::zip4, true)), Types{type_id::unknown});
}

// Archives written by cbmconvert at test time: a short one, and one whose
// directory is long enough to move the credit a byte on.
TEST(Lynx, ArchivesFromCbmconvert) {
    if (!test_support::haveProgram("/usr/bin/cbmconvert")) GTEST_SKIP() << "cbmconvert missing";
    const test_support::ScratchDir dir;
    const std::string script = "cd " + dir.path().string() +
                               " && for n in $(seq 1 80); do printf 'f%02d' $n > f$n.seq; done"
                               " && cbmconvert -v0 -L five.lnx -n f1.seq f2.seq f3.seq f4.seq f5.seq"
                               " && cbmconvert -v0 -L many.lnx -n f*.seq";
    ASSERT_EQ(test_support::runCommand(script).second, 0);
    for (const char* name : {"five.lnx", "many.lnx"}) {
        EXPECT_EQ(describe(test_support::readBytes(dir.file(name))), "Lynx/CBMConvert; BASIC v2.0 {c64; 1 line}")
            << name;
    }
}

}  // namespace
}  // namespace platter::fileid
