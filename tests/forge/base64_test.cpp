#include "forge/base64.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

std::string encode(std::string_view text) {
    return forge::base64Encode({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// The test vectors of RFC 4648: every length of the last group, padded.
TEST(Base64, PadsTheLastGroup) {
    EXPECT_EQ(encode(""), "");
    EXPECT_EQ(encode("f"), "Zg==");
    EXPECT_EQ(encode("fo"), "Zm8=");
    EXPECT_EQ(encode("foo"), "Zm9v");
    EXPECT_EQ(encode("foob"), "Zm9vYg==");
    EXPECT_EQ(encode("fooba"), "Zm9vYmE=");
    EXPECT_EQ(encode("foobar"), "Zm9vYmFy");
}

TEST(Base64, HighBytesUseTheLastLettersOfTheAlphabet) {
    const std::uint8_t bytes[] = {0xFB, 0xFF, 0xBF, 0x00};
    EXPECT_EQ(forge::base64Encode(bytes), "+/+/AA==");
}

}  // namespace
