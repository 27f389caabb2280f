#include "platter/fileid/format_for_type.hpp"

#include <gtest/gtest.h>

#include "platter/fileid/file_type_table.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter {
namespace {

namespace type_id = fileid::type_id;
using fileid::g_file_types;
using fileid::isTypeInCategory;

std::uint32_t numberFor(std::uint32_t type) { return formatNumber(formatIdForType(type)); }

// Variants open with their family's format; kinds that hold no container open with none.
TEST(FormatIdForType, FamiliesAndNonContainers) {
    EXPECT_EQ(numberFor(type_id::d64_42_e), numberFor(type_id::d64));
    EXPECT_EQ(numberFor(type_id::zip4_part5), numberFor(type_id::zip4));
    EXPECT_EQ(numberFor(type_id::darc_v01), 0u);
    EXPECT_EQ(numberFor(type_id::zip6), 0u);
    EXPECT_EQ(numberFor(type_id::basic_v20), 0u);
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
