#include "platter/core/petscii_listing.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platter/core/disk.hpp"
#include "tests/support/d64_image.hpp"

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::TestImage;

TEST(PetsciiListing, MachineListingBytes) {
    TestImage image = TestImage::fromFixture("base.d64");
    image.disk->setIncludeEmpty(true);
    const bytes_t listing = buildPetsciiListing(*image.disk, Charset::upperGraphics, false);
    EXPECT_TRUE(image.disk->includeEmpty());  // the image's own setting is kept
    const std::string text(listing.begin(), listing.end());
    const std::string shifted = "\xd4\xc5\xd3\xd4 \xc4\xc9\xd3\xcb";  // TEST DISK as cc1541 stores it
    EXPECT_EQ(text.rfind("0 \x12\"" + shifted + "\xa0\xa0\xa0\xa0\xa0\xa0\xa0\" AB 2A\x92\r1    \"", 0), 0u);
    EXPECT_NE(text.find("\r2    \"\xcc\xcf\xc3\xcb\xc5\xc4\"           PRG< \r"), std::string::npos);
    EXPECT_NE(text.find("\r3    \"\xd3\xd0\xcc\xc1\xd4\"           *PRG  \r"), std::string::npos);
    EXPECT_EQ(text.find("\xd3\xc3\xd2\xc1\xd4\xc3\xc8\xc5\xc4"), std::string::npos);  // SCRATCHED is left out
    EXPECT_EQ(text.substr(text.size() - 30), "\r652 BLOCKS FREE.             ");

    const bytes_t lower = buildPetsciiListing(*image.disk, Charset::lowerUpper, true);
    EXPECT_EQ(lower.front(), 14);
    EXPECT_NE(std::string(lower.begin(), lower.end()).find("\xd3\xc3\xd2\xc1\xd4\xc3\xc8\xc5\xc4"), std::string::npos);
}

TEST(PetsciiListing, ControlCodesInNamesShowReversed) {
    TestImage image = TestImage::blank();
    ASSERT_TRUE(image.disk->importFile(test_support::cbmName("A\x05"
                                                             "B\x85"),
                                       -1, bytes_t{1, 8, 0}, 0, nullptr));
    const bytes_t listing = buildPetsciiListing(*image.disk, Charset::upperGraphics, false);
    const std::string text(listing.begin(), listing.end());
    EXPECT_NE(text.find("\"\xc1\x12\x45\x92\xc2\x12\x65\x92\""), std::string::npos);
}

}  // namespace
}  // namespace platter
