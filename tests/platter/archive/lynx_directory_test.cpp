#include "platter/archive/lynx_directory.hpp"
#include "tests/support/files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

std::vector<std::uint8_t> fixture(const std::string& name) { return test_support::readFixture("core/" + name); }

TEST(LynxDirectory, ReadsAnArchiveWrittenByCbmconvert) {
    const std::vector<std::uint8_t> archive = fixture("small.lnx");
    const std::vector<lynx_entry_t> entries = parseLynxDirectory(archive, 80).entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, (std::vector<std::uint8_t>{0xC8, 0xC5, 0xCC, 0xCC, 0xCF}));
    EXPECT_EQ(entries[0].type, 2);
    EXPECT_EQ(entries[0].blocks, 2u);
    EXPECT_EQ(entries[0].data, fixture("hello.prg"));
    EXPECT_EQ(entries[1].type, 1);
    EXPECT_EQ(entries[1].data, fixture("notes.seq"));
}

TEST(LynxDirectory, SurvivesTruncationAndLyingCounts) {
    const std::vector<std::uint8_t> archive = fixture("small.lnx");
    for (std::size_t length = 0; length < archive.size(); length += 7) {
        const auto cut = std::span<const std::uint8_t>(archive).first(length);
        for (const lynx_entry_t& entry : parseLynxDirectory(cut, 80).entries) EXPECT_LE(entry.data.size(), length);
    }

    const auto directory = [](std::string text) {
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        bytes.resize(2000, 0x42);
        return bytes;
    };
    // A file of 0 blocks is empty, whatever its last-block number says.
    // A last file that takes the rest of the archive gets no more than its blocks.
    const auto empty = parseLynxDirectory(directory(" 1\r 2\rA\r 0\rP\r 5\rB\r 1\rP\r"), 80).entries;
    ASSERT_EQ(empty.size(), 2u);
    EXPECT_TRUE(empty[0].data.empty());
    EXPECT_EQ(empty[1].data.size(), 254u);
    // A huge count is bounded by the text.
    const auto many = parseLynxDirectory(directory(" 1\r 99999999\rA\r 1\rP\r 5\rB\r 1\rP\r 5\r"), 80).entries;
    ASSERT_EQ(many.size(), 2u);
    EXPECT_EQ(many[0].data.size(), 4u);
    // A REL file whose side sectors outnumber its blocks is malformed.
    EXPECT_TRUE(parseLynxDirectory(directory(" 1\r 2\rR\r 1\rR\r 64\r 99999\rB\r 1\rP\r"), 80).entries.empty());
}

TEST(LynxDirectory, LastFileTakesTheRestInTheShortLayout) {
    std::string text = " 1\r 1\rONLY\r 1\rS\r";
    std::vector<std::uint8_t> archive(text.begin(), text.end());
    archive.resize(254, 0);
    archive.insert(archive.end(), {'D', 'A', 'T', 'A', '!'});
    const auto entries = parseLynxDirectory(archive, 80).entries;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].data, (std::vector<std::uint8_t>{'D', 'A', 'T', 'A', '!'}));
}

}  // namespace
}  // namespace platter
