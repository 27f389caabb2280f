#include "platter/picture/geos_picture_parts.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

TEST(GeosPictures, PhotoScrapThatLiesAboutItsSizeIsZeroFilled) {
    const std::vector<std::uint8_t> scrap = {3, 12, 0, 0xAA};
    picture_parts_t parts;
    ASSERT_TRUE(splitPhotoScrap(scrap, parts));
    EXPECT_EQ(parts.bitmap.size(), 2u * 3 * 8);
    EXPECT_EQ(parts.bitmap[0], 0xAA);
    EXPECT_EQ(std::count(parts.bitmap.begin(), parts.bitmap.end(), 0), 47);
    EXPECT_TRUE(parts.colour.empty());
    EXPECT_EQ(parts.heightCards, 2u);
    picture_parts_t none;
    EXPECT_TRUE(splitPhotoScrap({}, none));
    EXPECT_TRUE(none.bitmap.empty());
}

}  // namespace
}  // namespace platter
