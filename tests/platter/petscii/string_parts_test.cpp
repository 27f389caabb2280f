#include "platter/petscii/string_parts.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

TEST(StringParts, CutAndErase) {
    EXPECT_EQ(afterFirst("A!B!C", '!'), "B!C");
    EXPECT_EQ(afterFirst("ABC", '!'), "ABC");
    EXPECT_EQ(beforeLast("A.B.C", '.'), "A.B");
    EXPECT_EQ(beforeLast("ABC", '.'), "ABC");
    EXPECT_EQ(afterLast("dir/sub/name", '/'), "name");
    EXPECT_EQ(afterLast("name", '/'), "name");
    std::string name = "a?b\"c/d\\e<f>g*h|i:j";
    eraseChars(name, kHostUnsafeChars);
    EXPECT_EQ(name, "abcdefghij");
}

}  // namespace
}  // namespace platter
