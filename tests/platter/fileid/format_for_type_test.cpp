#include "platter/fileid/format_for_type.hpp"

#include <gtest/gtest.h>

#include "platter/fileid/file_type_table.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter {
namespace {

using namespace fileid;

std::uint32_t numberFor(std::uint32_t type) { return formatNumber(formatIdForType(type)); }

TEST(FormatIdForType, EveryImageVariantOpensWithItsFamilysFormat) {
    EXPECT_EQ(numberFor(type_id::d64_35), 1u);
    EXPECT_EQ(numberFor(type_id::d64_42_e), 1u);
    EXPECT_EQ(numberFor(type_id::d64_truncated), 1u);
    EXPECT_EQ(numberFor(type_id::d71_e), 2u);
    EXPECT_EQ(numberFor(type_id::d81_e), 3u);
    EXPECT_EQ(numberFor(type_id::d80_e), 16u);
    EXPECT_EQ(numberFor(type_id::d82_e), 17u);
    EXPECT_EQ(numberFor(type_id::d1m_e), 49u);
    EXPECT_EQ(numberFor(type_id::d2m_e), 21u);
    EXPECT_EQ(numberFor(type_id::d4m_e), 48u);
    EXPECT_EQ(numberFor(type_id::nib_v3), 44u);
    EXPECT_EQ(numberFor(type_id::dreamload), 23u);
    EXPECT_EQ(numberFor(type_id::pc64), 24u);
}

TEST(FormatIdForType, ArchivesZipcodeAndNonContainers) {
    EXPECT_EQ(numberFor(type_id::lynx_variant2), 10u);
    EXPECT_EQ(numberFor(type_id::arc_v2), 8u);
    EXPECT_EQ(numberFor(type_id::arkive_sfx), 34u);
    for (std::uint32_t id = type_id::zip4; id <= type_id::zip4_part5; ++id) EXPECT_EQ(numberFor(id), 6u) << id;
    EXPECT_EQ(numberFor(type_id::darc_v01), 0u);
    EXPECT_EQ(numberFor(type_id::darc_v02), 0u);
    EXPECT_EQ(numberFor(type_id::zip6), 0u);
    EXPECT_EQ(numberFor(type_id::basic_v20), 0u);
    EXPECT_EQ(numberFor(type_id::unknown), 0u);
    EXPECT_EQ(numberFor(999), 0u);
}

// Whatever identification reports as openable must map to a registry row.
TEST(FormatIdForType, EveryTypeOfTheOpenableCategoriesMapsToAFormat) {
    for (const auto& record : g_file_types) {
        if (isTypeInCategory(record.id, 0) || isTypeInCategory(record.id, 1)) {
            EXPECT_NE(numberFor(record.id), 0u) << record.id;
        }
    }
}

}  // namespace
}  // namespace platter
