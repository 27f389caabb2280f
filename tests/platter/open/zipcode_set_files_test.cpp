#include "platter/open/zipcode_set_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::ScratchDir;
using state = zipcode_part_state;

std::vector<state> states(const zipcode_set_t& set) {
    std::vector<state> out;
    for (const zipcode_part_t& part : set.parts) out.push_back(part.state);
    return out;
}

TEST(ZipcodeSetFiles, TooShortToHoldABlock) {
    EXPECT_TRUE(holdsNoBlock(5, false));
    EXPECT_FALSE(holdsNoBlock(6, false));
    EXPECT_TRUE(holdsNoBlock(3, true));
    EXPECT_FALSE(holdsNoBlock(4, true));
}

// "1!g", as zip names the first part of the set "g", finds the set as "g" does; a part too
// short to hold a block is missing, as one that is not there.
TEST(ZipcodeSetFiles, APartOrTheSetsNameFindsEveryPart) {
    const ScratchDir dir;
    dir.write("1!g", bytes_t(100, 1));
    dir.write("2!g", bytes_t(5, 2));
    dir.write("4!g", bytes_t(100, 4));
    const std::string directory = dir.path().string() + "/";
    for (const std::string named : {"1!g", "4!g", "g"}) {
        const zipcode_set_t set = findZipcodeSet(directory + named);
        EXPECT_EQ(set.name, "g") << named;
        EXPECT_EQ(set.directory, directory);
        EXPECT_FALSE(set.sixParts);
        EXPECT_EQ(states(set),
                  (std::vector<state>{state::found, state::tooShort, state::absent, state::found, state::absent}))
            << named;
        EXPECT_EQ(set.parts[3].name, "4!g");
        EXPECT_EQ(set.parts[3].path, directory + "4!g");
        EXPECT_TRUE(set.parts[1].missing());
    }
    // A part's name whose file is not there names a set of that name.
    EXPECT_EQ(findZipcodeSet(directory + "3!g").name, "3!g");
}

TEST(ZipcodeSetFiles, SixPartSetsByTheirPrefix) {
    const ScratchDir dir;
    dir.write("1!!s", bytes_t(100, 1));
    dir.write("3!!s", bytes_t(3, 3));
    dir.write("6!!s", bytes_t(100, 6));
    const std::string directory = dir.path().string() + "/";
    for (const std::string named : {"s", "6!!s"}) {
        const zipcode_set_t set = findZipcodeSet(directory + named);
        EXPECT_TRUE(set.sixParts) << named;
        EXPECT_EQ(set.name, "s");
        EXPECT_EQ(states(set), (std::vector<state>{state::found, state::absent, state::tooShort, state::absent,
                                                   state::absent, state::found}));
        EXPECT_EQ(set.parts[5].name, "6!!s");
    }
}

TEST(ZipcodeSetFiles, ReadingTellsWhatEachPartHolds) {
    const ScratchDir dir;
    dir.write("1!g", bytes_t(100, 1));
    std::filesystem::create_directory(dir.file("2!g"));
    dir.write("3!g", bytes_t(100, 3));
    zipcode_set_t set = findZipcodeSet(dir.file("1!g").string());
    const bytes_t given(4, 9);
    readZipcodeParts(set, 3, &given);
    EXPECT_EQ(states(set),
              (std::vector<state>{state::read, state::unreadable, state::tooShort, state::absent, state::absent}));
    EXPECT_EQ(set.parts[0].bytes, bytes_t(100, 1));
    EXPECT_EQ(missingPartNote(set.parts[1]), "zipcode part '2!g' could not be read; its tracks are empty");
    EXPECT_EQ(missingPartNote(set.parts[2]), "zipcode part '3!g' is missing; its tracks are empty");
}

}  // namespace
}  // namespace platter
