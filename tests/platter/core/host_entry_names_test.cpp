#include "platter/core/host_entry_names.hpp"

#include "platter/petscii/ascii_to_petscii.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace platter {
namespace {

using name16 = std::array<std::uint8_t, 16>;

name16 nameOf(std::string_view path) {
    name16 name;
    name.fill(0xA0);
    petsciiNameFromPath(path, name);
    return name;
}

// The PETSCII bytes of a host text, padded to a 16-byte name.
name16 expected(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    asciiToPetscii(text, bytes, Charset::lowerUpper);
    name16 name;
    name.fill(0xA0);
    std::copy(bytes.begin(), bytes.end(), name.begin());
    return name;
}

TEST(PetsciiNameFromPath, KeepsOrDropsTheExtensionByTheRegistry) {
    EXPECT_EQ(nameOf("docs/readme.txt"), expected("readme.txt"));
    EXPECT_EQ(nameOf("game.prg"), expected("game"));
    EXPECT_EQ(nameOf("GAME.P00"), expected("GAME"));
    EXPECT_EQ(nameOf("disk.d64"), expected("disk.d64"));  // an image, not a single-file form
}

TEST(PetsciiNameFromPath, CutsLongStemsAndExtensions) {
    EXPECT_EQ(nameOf("abcdefghijklmnopqrst"), expected("abcdefghijklmnop"));
    EXPECT_EQ(nameOf("abcdefghijklmnop.abcde"), expected("abcdefghijkl.abc"));
    EXPECT_EQ(nameOf("abcdefghijklmnop.ab"), expected("abcdefghijklm.ab"));
}

TEST(PetsciiNameFromPath, DotFilesHaveNoExtension) {
    EXPECT_EQ(nameOf(".hidden"), expected(".hidden"));
    EXPECT_EQ(nameOf(".a"), expected(".a"));
}

TEST(PetsciiNameFromPath, AnEmptyExtensionWritesNoDot) {
    EXPECT_EQ(nameOf("name."), expected("name"));
    EXPECT_EQ(nameOf("abcdefghijklmnopq."), expected("abcdefghijklmnop"));
}

TEST(EntryFromPath, TypesTheEntryByTheExtensionsRow) {
    dir_entry_t entry;
    entry.bytes.fill(0xFF);
    ASSERT_TRUE(entryFromPath(entry, "notes.seq"));
    EXPECT_EQ(entry.bytes[2], 1);
    EXPECT_EQ(entry.bytes[0], 0);
    EXPECT_EQ(entry.bytes[31], 0);
    EXPECT_TRUE(std::equal(entry.name().begin(), entry.name().end(), expected("notes.seq").begin()));

    ASSERT_TRUE(entryFromPath(entry, "letter.txt"));
    EXPECT_EQ(entry.bytes[2], 1);
    ASSERT_TRUE(entryFromPath(entry, "noextension"));
    EXPECT_EQ(entry.bytes[2], 2);
    ASSERT_TRUE(entryFromPath(entry, "a/very/long/path/to/file.usr"));
    EXPECT_EQ(entry.bytes[2], 3);
    EXPECT_TRUE(std::equal(entry.name().begin(), entry.name().end(), expected("a/very/long/path").begin()));
}

}  // namespace
}  // namespace platter
