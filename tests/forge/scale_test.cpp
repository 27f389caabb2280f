#include "forge/scale.hpp"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ScaleRgb, RepeatsPixelsAcrossAndRowsDown) {
    const Bytes rgb{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 2 x 2
    Bytes out;
    ASSERT_TRUE(forge::scaleRgb(rgb, 2, 2, 2, out));
    EXPECT_EQ(out, (Bytes{1, 2, 3, 1, 2, 3, 4,  5,  6,  4,  5,  6,  1, 2, 3, 1, 2, 3, 4,  5,  6,  4,  5,  6,
                          7, 8, 9, 7, 8, 9, 10, 11, 12, 10, 11, 12, 7, 8, 9, 7, 8, 9, 10, 11, 12, 10, 11, 12}));
    EXPECT_EQ(forge::scaleRgb(Bytes{1, 2, 3, 4, 5, 6}, 2, 1, 3).size(), 6u * 3 * 3) << "6 x 3 pixels";
    EXPECT_EQ(forge::scaleRgb(rgb, 2, 2, 1), rgb);
}

TEST(ScaleRgb, DegenerateAndHostileSizes) {
    Bytes out{1};
    EXPECT_TRUE(forge::scaleRgb(Bytes{1, 2, 3}, 1, 1, 0, out));
    EXPECT_TRUE(out.empty());
    out = {1};
    EXPECT_FALSE(forge::scaleRgb(Bytes{1, 2, 3}, 2, 1, 2, out)) << "pixels shorter than the picture";
    EXPECT_FALSE(forge::scaleRgb(Bytes{1, 2, 3}, 1, 1, 1ull << 62, out)) << "result beyond memory sizes";
    EXPECT_EQ(out, Bytes{1});
}

}  // namespace
