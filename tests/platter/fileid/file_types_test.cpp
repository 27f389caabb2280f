#include "platter/fileid/file_types.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platter/fileid/archive_detectors.hpp"
#include "platter/fileid/file_type_table.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {
namespace {

std::size_t rowOf(std::uint32_t id) {
    for (std::size_t row = 0; row < g_file_types.size(); ++row) {
        if (g_file_types[row].id == id) return row;
    }
    return g_file_types.size();
}

TEST(FileTypeTable, HasUniqueIdsWithTheExpectedGaps) {
    std::set<std::uint32_t> ids;
    for (const auto& record : g_file_types) EXPECT_TRUE(ids.insert(record.id).second) << record.id;
    std::set<std::uint32_t> missing;
    for (std::uint32_t id = 0; id <= 228; ++id) {
        if (!ids.count(id)) missing.insert(id);
    }
    EXPECT_EQ(missing, (std::set<std::uint32_t>{74, 75, 76, 77, 78, 79, 145, 146, 147, 148, 174}));
    EXPECT_EQ(g_file_types.front().id, 0u);
    EXPECT_STREQ(g_file_types.front().name, "");
}

TEST(FileTypeTable, ParentsAreRootsAndDetectorsAndLimitsAreWhereExpected) {
    std::size_t detectors = 0;
    std::size_t limited = 0;
    for (const auto& record : g_file_types) {
        if (record.parent != 0) {
            EXPECT_EQ(findType(record.parent).id, record.parent) << record.id;
            EXPECT_EQ(findType(record.parent).parent, 0u) << record.id;
            // A variant opens like its family.
            EXPECT_EQ(record.formatId, findType(record.parent).formatId) << record.id;
        }
        if (record.detector != nullptr) ++detectors;
        if (record.minSize != 0 || record.maxSize != 0) {
            ++limited;
            EXPECT_LE(record.minSize, record.maxSize) << record.id;
            EXPECT_NE(record.detector, nullptr) << record.id;
        }
    }
    EXPECT_EQ(detectors, 53u);
    EXPECT_EQ(limited, 20u);
}

TEST(FileTypeTable, WalkOrderPutsCheapDecisiveTestsFirst) {
    EXPECT_EQ(rowOf(type_id::error), 2u);
    EXPECT_LT(rowOf(type_id::error), rowOf(type_id::d64));
    EXPECT_LT(rowOf(type_id::d64), rowOf(type_id::d64_truncated));
    EXPECT_LT(rowOf(type_id::pc64), rowOf(type_id::dreamload));
    EXPECT_LT(rowOf(type_id::dreamload), rowOf(type_id::lynx));
    EXPECT_LT(rowOf(type_id::arc_sda), rowOf(type_id::arc_v1));
    EXPECT_LT(rowOf(type_id::sidplayer), rowOf(type_id::basic));
    EXPECT_LT(rowOf(type_id::charset_1x1), rowOf(type_id::data));
    EXPECT_LT(rowOf(type_id::data), rowOf(type_id::stubby_noter));
    EXPECT_LT(rowOf(type_id::time_cruncher5), rowOf(type_id::unnamed_signature));
    // Every image record ends the walk; archives, programs and texts do not.
    for (std::uint32_t id = type_id::d64; id <= type_id::pc64; ++id) EXPECT_EQ(findType(id).final, 1) << id;
    EXPECT_EQ(findType(type_id::lynx).final, 0);
    EXPECT_EQ(findType(type_id::basic).final, 0);
    EXPECT_EQ(findType(type_id::zip6).final, 1);
}

// The named ids must name the rows they stand for.
TEST(FileTypeTable, NamedIdsMatchTheirRows) {
    // clang-format off
    const std::pair<std::uint32_t, const char*> names[] = {
        {type_id::unknown, "..."}, {type_id::error, "(error)"}, {type_id::file_empty, "(file empty)"},
        {type_id::file_too_small, "(file too small)"}, {type_id::d64, "d64"}, {type_id::d64_35, "d64/35"},
        {type_id::d64_35_e, "d64/35/e"}, {type_id::d64_40, "d64/40"}, {type_id::d64_40_e, "d64/40/e"},
        {type_id::d64_42, "d64/42"}, {type_id::d64_42_e, "d64/42/e"}, {type_id::d64_truncated, "d64/truncated"},
        {type_id::d71, "d71"}, {type_id::d71_e, "d71/e"}, {type_id::d81, "d81"}, {type_id::d81_e, "d81/e"},
        {type_id::d80, "d80"}, {type_id::d80_e, "d80/e"}, {type_id::d82, "d82"}, {type_id::d82_e, "d82/e"},
        {type_id::d1m, "d1m"}, {type_id::d1m_e, "d1m/e"}, {type_id::d2m, "d2m"}, {type_id::d2m_e, "d2m/e"},
        {type_id::d4m, "d4m"}, {type_id::d4m_e, "d4m/e"}, {type_id::g64, "g64"}, {type_id::nib, "nib"},
        {type_id::nib_v1, "nib v1"}, {type_id::nib_v2, "nib v2"}, {type_id::nib_v3, "nib v3"}, {type_id::nbz, "nbz"},
        {type_id::t64, "t64"}, {type_id::dreamload, "Dreamload File"}, {type_id::pc64, "PC64"},
        {type_id::basic, "BASIC"}, {type_id::basic_v20, "BASIC v2.0"}, {type_id::basic_v35, "BASIC v3.5"},
        {type_id::basic_v40, "BASIC v4.0"}, {type_id::basic_v70, "BASIC v7.0"},
        {type_id::turbo_assembler, "Turbo Assembler source"},
        {type_id::turbo_assembler_macro, "Turbo Assembler Macro source"},
        {type_id::turbo_assembler_variant1, "Turbo Assembler source (variant 1)"},
        {type_id::turbo_assembler_variant2, "Turbo Assembler source (variant 2)"},
        {type_id::turbo_assembler_variant3, "Turbo Assembler source (variant 3)"},
        {type_id::turbo_assembler_panoramic, "Turbo Assembler source (Panoramic Design)"},
        {type_id::geo_convert, "geoConvert"}, {type_id::wraptor_v3, "Wraptor v3"}, {type_id::library, "Library"},
        {type_id::arkive, "Arkive"}, {type_id::arkive_sfx, "Arkive (sfx)"}, {type_id::spyne, "Spyne"},
        {type_id::lha, "LHA"}, {type_id::lha_sfx, "LHA (sfx)"}, {type_id::arc_v1, "Arc v1"}, {type_id::arc_v2, "Arc v2"},
        {type_id::arc_sda, "Arc (sda)"}, {type_id::archive_v12, "Archive v1.2"}, {type_id::archive_v15, "Archive v1.5"},
        {type_id::archive_v17, "Archive v1.7"}, {type_id::darc_v01, "D'Arc v0.1"}, {type_id::darc_v02, "D'Arc v0.2"},
        {type_id::sda_vision3, "sda/Vision v3.0"}, {type_id::sda_agony, "sda/Agony"}, {type_id::sda_variant, "sda/variant"},
        {type_id::sda_thunderbirds, "sda/Thunderbirds"}, {type_id::zip4, "zip4"}, {type_id::zip4_part1, "zip4/!1"},
        {type_id::zip4_part2, "zip4/!2"}, {type_id::zip4_part3, "zip4/!3"}, {type_id::zip4_part4, "zip4/!4"},
        {type_id::zip4_part5, "zip4/!5"}, {type_id::zip6, "zip6"}, {type_id::lynx, "Lynx"}, {type_id::lynx_v1, "Lynx v1"},
        {type_id::lynx_v2, "Lynx v2"}, {type_id::lynx_v3, "Lynx v3"}, {type_id::lynx_v4, "Lynx v4"},
        {type_id::lynx_v5, "Lynx v5"}, {type_id::lynx_v6, "Lynx v6"}, {type_id::lynx_v7, "Lynx v7"},
        {type_id::lynx_v9, "Lynx v9"}, {type_id::lynx_v10, "Lynx v10"}, {type_id::lynx_v108, "Lynx v108"},
        {type_id::lynx_v11, "Lynx v11"}, {type_id::lynx_v12, "Lynx v12"}, {type_id::lynx_v15, "Lynx v15"},
        {type_id::lynx_variant1, "Lynx (variant 1)"}, {type_id::lynx_v16, "Lynx v16"},
        {type_id::lynx_v16_variant, "Lynx v16/variant"}, {type_id::lynx_v17, "Lynx v17"},
        {type_id::ultimate_lynx_v2, "Ultimate Lynx v2"}, {type_id::ultimate_lynx_v3, "Ultimate Lynx v3"},
        {type_id::lynx_cbmconvert, "Lynx/CBMConvert"}, {type_id::lynx_64copy, "Lynx/64copy"},
        {type_id::lynxette, "Lynxette"}, {type_id::star_lynx, "Star Lynx"}, {type_id::star_lynx_v071, "Star Lynx v0.71"},
        {type_id::star_lynx_v072, "Star Lynx v0.72"}, {type_id::star_lynx_v080, "Star Lynx v0.80"},
        {type_id::star_lynx_v081, "Star Lynx v0.81"}, {type_id::star_lynx_v082, "Star Lynx v0.82"},
        {type_id::lynx_variant2, "Lynx (variant 2)"}, {type_id::amica_paint, "Amica Paint"},
        {type_id::koala_painter, "Koala Painter"}, {type_id::koala_painter_packed, "Koala Painter (packed)"},
        {type_id::centauri, "Centauri"}, {type_id::advanced_art_studio, "Advanced Art Studio"},
        {type_id::doodle, "Doodle"}, {type_id::doodle_packed, "Doodle (packed)"}, {type_id::draz_paint, "Draz Paint"},
        {type_id::draz_paint_packed, "Draz Paint (packed)"}, {type_id::giga_paint, "GigaPaint"},
        {type_id::giga_paint_mc, "GigaPaint (mc)"}, {type_id::mono_magic, "MonoMagic"},
        {type_id::image_system, "Image System"}, {type_id::image_system_mc, "Image System (mc)"},
        {type_id::interpaint, "Interpaint"}, {type_id::interpaint_mc, "InterPaint (mc)"}, {type_id::hi_eddi, "Hi-Eddi"},
        {type_id::art_studio, "Art Studio"}, {type_id::paint_magic, "Paint Magic"}, {type_id::picasso64, "Picasso 64"},
        {type_id::rainbow_painter, "Rainbow Painter"}, {type_id::run_paint, "RunPaint"},
        {type_id::saracen_paint, "Saracen Paint"}, {type_id::blazing_paddles, "Blazing Paddles"},
        {type_id::micro_illustrator, "Micro Illustrator"}, {type_id::cdu_paint, "CDU-Paint"},
        {type_id::artist64, "Artist 64"}, {type_id::vidcom64, "Vidcom 64"}, {type_id::face_painter, "Face Painter"},
        {type_id::cheese, "Cheese"}, {type_id::create_with_garfield, "Create with Garfield"},
        {type_id::dolphin_ed, "Dolphin Ed"}, {type_id::hires_bitmap, "Hires bitmap"}, {type_id::godot_4bit, "GoDot 4bit"},
        {type_id::loadstar_shp, "Loadstar SHP"}, {type_id::charset_1x1, "character set (1x1)"},
        {type_id::sidplayer, "Sidplayer"}, {type_id::stubby_noter, "Stubby Noter"}, {type_id::byte_boiler, "Byte Boiler"},
        {type_id::xip, "Xip"}, {type_id::packer_linker_v40, "Packer/Linker v4.0"},
        {type_id::packer_linker_v51, "Packer/Linker v5.1"}, {type_id::packer_linker_v60, "Packer/Linker v6.0"},
        {type_id::beeftrucker_v1, "Beeftrucker v1"}, {type_id::compactor_linker_v4s, "Compactor/Linker v4/S"},
        {type_id::compactor_linker_v32, "Compactor/Linker v3.2"}, {type_id::compactor_linker_v5, "Compactor/Linker v-5-"},
        {type_id::compactor_tbc, "Compactor/TBC"}, {type_id::compacker_tbc, "Compacker/TBC"},
        {type_id::program_conector, "Program Conector"}, {type_id::sir_compactor3, "Sir-Compactor III"},
        {type_id::byg_compactor, "BYG Compactor"}, {type_id::byg_compactor2, "BYG Compactor II"},
        {type_id::the_cruncher_ab_v10, "THE Cruncher AB v1.0"}, {type_id::the_cruncher_ab_crest, "THE Cruncher AB (Crest)"},
        {type_id::the_cruncher_ab_f4cg, "THE Cruncher AB (F4CG)"}, {type_id::supercrunch, "Supercrunch"},
        {type_id::supercrunch_plus, "Supercrunch+"}, {type_id::zipplink_v20, "ZippLink v2.0"},
        {type_id::galleon_packer, "Galleon Equal-Char Packer"}, {type_id::time_cruncher_v31, "Time Cruncher v3.1"},
        {type_id::time_cruncher_v31_plus, "Time Cruncher v3.1+"}, {type_id::celleripack_v13, "Celleripack V1.3"},
        {type_id::flexible_code_compactor, "Flexible Code Compactor"}, {type_id::compress_variant1, "Compress (variant 1)"},
        {type_id::crunch_variant1, "Crunch (variant 1)"}, {type_id::trichar_packer_v171, "Trichar Packer v1.71"},
        {type_id::compressor_alg, "Compressor alg."}, {type_id::compressor_family, "Compressor algorithm"},
        {type_id::decompressor_v13, "(De-)Compressor v1.3"}, {type_id::sir_compactor2, "Sir-Compactor II"},
        {type_id::yeti_compressor_v10, "Yeti-Compressor v1.0"}, {type_id::yeti_compressor_v13, "Yeti-Compressor v1.3"},
        {type_id::compressor_v15, "Compressor v1.5"}, {type_id::mc_packer_v14, "MC-Packer v1.4"},
        {type_id::the_compressor_v13, "The Compressor v1.3"}, {type_id::compressor_v13_upgraded, "Compressor v1.3 Upgraded"},
        {type_id::compressor_improved, "Compressor Improved"}, {type_id::time_cruncher5, "Time Crunch(er) v5 algorithm"},
        {type_id::time_cruncher5_2mhz, "Time Crunch(er) 2mhz v5 algorithm"},
        {type_id::time_crunch_v50_sta, "Time Crunch v5.0 (STA)"}, {type_id::time_crunch_2mhz_v50, "2mhz Time Crunch v5.0 (S&T)"},
        {type_id::time_crunch_2mhz_v52, "2mhz Time Crunch v5.2 (S&T)"},
        {type_id::timecruncher_v51_century, "Timecruncher v5.1 (Century)"},
        {type_id::timecruncher_v51_plus_century, "Timecruncher v5.1+ (Century)"},
        {type_id::timecruncher_v52_century, "Timecruncher v5.2 (Century)"},
        {type_id::time_cruncher5_2mhz_0001, "Time Crunch(er) 2mhz v5 algorithm (#0001)"},
        {type_id::bitimploder_1, "Bitimploder (#1 unk)"}, {type_id::bitimploder_2, "Bitimploder (#2 unk)"},
        {type_id::bitimploder_chrysagon, "Bitimploder CHRYSAGON"}, {type_id::bitimploder_exploding, "Bitimploder EXPLODING"},
        {type_id::austro_speed, "Austro-Speed"}, {type_id::austro_speed_688, "Austro-Speed 6/88"},
        {type_id::petspeed64, "Petspeed 64"}, {type_id::dtl_basic64, "DTL-BASIC 64"}, {type_id::unnamed_packer, "[xxx]"},
        {type_id::basic64_v100, "BASIC-64 v1.00"}, {type_id::basic64_v102, "BASIC-64 v1.02"},
        {type_id::basic64_v103, "BASIC-64 v1.03"}, {type_id::vision_basic, "Vision BASIC"},
        {type_id::vision_basic_compiled, "Vision BASIC (compiled)"}, {type_id::turbocopy_crunch2, "Turbocopy/Crunch v2.0"},
        {type_id::turbocopy_crunch3, "Turbocopy/Crunch v3.0"}, {type_id::unipacker, "Unipacker"},
        {type_id::unipacker_v2, "Unipacker v2"}, {type_id::unipacker_v30, "Unipacker v3.0"},
        {type_id::bhp_virus, "BHP virus"}, {type_id::unnamed_signature, "[xxx]"}, {type_id::data, "data"},
        {type_id::text, "text"}, {type_id::dos_text, "dos text"}, {type_id::unix_text, "unix text"},
        {type_id::mac_text, "mac text"}, {type_id::petscii, "petscii"},
    };
    // clang-format on
    for (const auto& [id, name] : names) EXPECT_EQ(typeName(id), name) << id;
}

TEST(FileTypeLookups, UnknownIdsFallBackToTheFirstRecord) {
    EXPECT_EQ(&findType(999), &g_file_types[0]);
    EXPECT_EQ(&findType(type_id::d64_35), &g_file_types[rowOf(type_id::d64_35)]);
    EXPECT_EQ(typeName(999), "");
    EXPECT_EQ(typeName(145), "");
    EXPECT_EQ(rootType(999), 0u);
    EXPECT_EQ(findType(999).formatId, 37u);
}

TEST(FileTypeLookups, ParentChains) {
    EXPECT_TRUE(isDescendantOf(type_id::file_empty, type_id::error));
    EXPECT_FALSE(isDescendantOf(type_id::error, type_id::error));
    EXPECT_FALSE(isDescendantOf(type_id::d64_35, type_id::d71));
    EXPECT_TRUE(isDescendantOf(file_traits_t{type_id::lynx_v17, 100, {}}, type_id::lynx));
    EXPECT_TRUE(isDescendantOf(type_id::lynx_variant2, type_id::lynx));
    EXPECT_EQ(rootType(type_id::d64_40_e), type_id::d64);
    EXPECT_EQ(rootType(type_id::d64), type_id::d64);
    EXPECT_EQ(rootType(type_id::zip4_part3), type_id::zip4);
}

TEST(FileTypeLookups, Categories) {
    EXPECT_TRUE(isTypeInCategory(type_id::koala_painter_packed, 3));
    EXPECT_TRUE(isTypeInCategory(type_id::d64_35, 0));  // through its root
    EXPECT_TRUE(isTypeInCategory(145, 3));              // listed, though no record carries it
    EXPECT_TRUE(isTypeInCategory(type_id::lynx_cbmconvert, 1));
    EXPECT_TRUE(isTypeInCategory(type_id::petscii, 2));
    EXPECT_FALSE(isTypeInCategory(type_id::d64_35, 1));
    EXPECT_FALSE(isTypeInCategory(type_id::basic_v20, 0));
    EXPECT_FALSE(isTypeInCategory(type_id::d64_35, 4));
    EXPECT_FALSE(isTypeInCategory(type_id::d64_35, -1));
}

TEST(FileTypeLookups, DetectorsComeFromTheNearestAncestor) {
    EXPECT_EQ(detectorForType(type_id::lynx_v17), &detectLynx);
    // Arc v2 is a root of its own: only detectArc's answer names it.
    EXPECT_EQ(detectorForType(type_id::arc_v2), nullptr);
    EXPECT_EQ(detectorForType(type_id::arc_v1), &detectArc);
    EXPECT_EQ(detectorForType(type_id::zip4_part5), &detectZip4);
    EXPECT_EQ(detectorForType(999), nullptr);
    EXPECT_EQ(detectorForType(type_id::unknown), nullptr);
}

TEST(FileTypeLookups, DescendantsInTableOrderEachOnce) {
    const auto lynx = typeAndDescendants(type_id::lynx);
    ASSERT_EQ(lynx.size(), 30u);
    EXPECT_EQ(lynx.front(), type_id::lynx);
    for (std::size_t i = 1; i < lynx.size(); ++i) EXPECT_EQ(lynx[i], type_id::lynx_v1 + i - 1);
    EXPECT_EQ(typeAndDescendants(type_id::zip4), (std::vector<std::uint32_t>{67, 68, 69, 70, 71, 72}));
    EXPECT_EQ(typeAndDescendants(type_id::d64_35), (std::vector<std::uint32_t>{6}));
    EXPECT_EQ(typeAndDescendants(type_id::error), (std::vector<std::uint32_t>{2, 3, 4}));
}

}  // namespace
}  // namespace platter::fileid
