#include "app/command_ls.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace app {
namespace {

TEST(CommandLsZipcode, PartsOfOneSetInOneDirectoryCountOnce) {
    CommandLs ls;
    EXPECT_FALSE(ls.isRepeatedZipcodePart("dir/1!game"));
    EXPECT_TRUE(ls.isRepeatedZipcodePart("dir/2!game"));
    EXPECT_TRUE(ls.isRepeatedZipcodePart("dir/4!game"));
    EXPECT_FALSE(ls.isRepeatedZipcodePart("other/1!game"));  // another directory, another set
    EXPECT_FALSE(ls.isRepeatedZipcodePart("dir/1!!demo"));   // six-part set
    EXPECT_TRUE(ls.isRepeatedZipcodePart("dir/5!!demo"));
    EXPECT_FALSE(ls.isRepeatedZipcodePart("dir/game.d64"));
    EXPECT_FALSE(ls.isRepeatedZipcodePart("dir/game.d64"));  // not a part: never a repeat
}

TEST(CommandLsZipcode, PartNameRunsFromTheThirdByteToThePadding) {
    platter::dir_entry_t entry;
    const std::vector<std::uint8_t> name = {'1', '!', 'G', 'A', 'M', 'E', 0xA0, 'X'};
    std::vector<std::uint8_t> padded = name;
    padded.resize(16, 0xA0);
    entry.setName(padded);
    EXPECT_EQ(CommandLs::zipcodePartName(entry), "GAME");
    std::vector<std::uint8_t> full(16, 'Z');
    entry.setName(full);
    EXPECT_EQ(CommandLs::zipcodePartName(entry), std::string(14, 'Z'));
}

}  // namespace
}  // namespace app
