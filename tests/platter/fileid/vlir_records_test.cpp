#include "platter/fileid/vlir_records.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

TEST(VlirRecordOffset, RecordsTakeWholeBlocks) {
    std::vector<std::uint8_t> file(1000, 0);
    file[508] = 2;
    file[509] = 10;
    file[510] = 1;
    file[511] = 200;
    file[512] = 3;
    file[513] = 5;
    EXPECT_EQ(vlirRecordOffset(file, 0), 762u);
    EXPECT_EQ(vlirRecordOffset(file, 2), 762u + 2 * 254 + 254);
    EXPECT_EQ(vlirRecordOffset(file, 3), 0u);  // 0/0: no record
    EXPECT_EQ(vlirRecordOffset(std::span<const std::uint8_t>(file).first(511), 1), 0u);
    EXPECT_EQ(vlirRecordOffset(file, 500), 0u);
}

}  // namespace
}  // namespace platter
