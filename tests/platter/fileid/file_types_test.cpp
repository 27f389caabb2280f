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
