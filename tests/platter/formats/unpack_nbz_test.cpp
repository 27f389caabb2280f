#include "platter/formats/unpack_nbz.hpp"

#include <gtest/gtest.h>

namespace platter {
namespace {

using bytes = std::vector<std::uint8_t>;

std::optional<bytes> unpack(const bytes& packed) { return unpackNbz(packed); }

TEST(UnpackNbz, LiteralsEscapedEscapeAndEnd) {
    EXPECT_EQ(unpack({}), bytes{});
    EXPECT_EQ(unpack({0xFE}), bytes{});
    EXPECT_EQ(unpack({0xFE, 'M', 'N', 'I', 'B'}), (bytes{'M', 'N', 'I', 'B'}));
    EXPECT_EQ(unpack({0xFE, 1, 0xFE, 0, 2}), (bytes{1, 0xFE, 2}));
    // An escape byte as the very last byte ends the output, and so does a file cut inside
    // the numbers of a back reference.
    EXPECT_EQ(unpack({0xFE, 1, 0xFE}), bytes{1});
    EXPECT_EQ(unpack({0xFE, 'a', 0xFE, 0x83}), bytes{'a'});
    EXPECT_EQ(unpack({0xFE, 'a', 0xFE, 3}), bytes{'a'});
}

TEST(UnpackNbz, BackReferencesIncludingOverlapAndMultiByteNumbers) {
    EXPECT_EQ(unpack({0xFE, 'a', 'b', 0xFE, 4, 2}), (bytes{'a', 'b', 'a', 'b', 'a', 'b'}));
    EXPECT_EQ(unpack({0xFE, 7, 0xFE, 5, 1}), bytes(6, 7));
    // Length 130 = 0x81 0x02 in 7-bit groups.
    const std::optional<bytes> long_run = unpack({0xFE, 9, 0xFE, 0x81, 0x02, 1});
    ASSERT_TRUE(long_run);
    EXPECT_EQ(*long_run, bytes(131, 9));
    // A length of zero copies nothing.
    EXPECT_EQ(unpack({0xFE, 'x', 0xFE, 0x80, 0x00, 1, 'y'}), (bytes{'x', 'y'}));
}

TEST(UnpackNbz, HostileReferencesFail) {
    EXPECT_FALSE(unpack({0xFE, 0xFE, 3, 1}));                                        // nothing to copy from yet
    EXPECT_FALSE(unpack({0xFE, 'a', 0xFE, 3, 2}));                                   // reaches before the start
    EXPECT_FALSE(unpack({0xFE, 'a', 0xFE, 3, 0}));                                   // distance zero
    EXPECT_FALSE(unpack({0xFE, 'a', 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1}));  // overflow
    EXPECT_FALSE(unpack({0xFE, 'a', 'b', 0xFE, 0x87, 0xFF, 0xFF, 0x7F, 1}));         // past 16 MiB
}

}  // namespace
}  // namespace platter
