#include "platter/core/listing_line.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platter/core/disk.hpp"
#include "platter/open/open_argument.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "platter/petscii/text_converters.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"

namespace platter {
namespace {

using test_support::TestImage;

dir_entry_t entryOfType(std::uint8_t type) {
    dir_entry_t entry;
    entry.bytes[2] = type;
    entry.setBlockCount(3);
    entry.setName(test_support::cbmName("AB", false));
    return entry;
}

// A DOS directory: the stored count, the CBM flags and the DOS's own type word, stray bytes too.
TEST(ListingLine, DosEntryShowsTheStoredFields) {
    TestImage image = TestImage::blank();
    const listing_line_t locked = listingLine(*image.disk, entryOfType(0xC2));
    EXPECT_EQ(locked.blocks, 3u);
    EXPECT_EQ(std::string(locked.trimmedName().begin(), locked.trimmedName().end()), "AB");
    EXPECT_TRUE(locked.locked);
    EXPECT_FALSE(locked.splat);
    EXPECT_EQ(locked.typeWord, "PRG");
    EXPECT_FALSE(locked.reversesRest());

    const listing_line_t stray = listingLine(*image.disk, entryOfType(0x0D));
    EXPECT_TRUE(stray.splat);
    EXPECT_EQ(stray.typeWord, "R?\x12");  // the 1541 sends reverse on as the type's third byte
    EXPECT_EQ(stray.shownTypeWord(), "R?");
    EXPECT_TRUE(stray.reversesRest());
}

// A partition table: the partition's size, no CBM flags whatever the type byte holds, the kind's word.
TEST(ListingLine, PartitionEntryShowsTheKindsFields) {
    const opened_container_t opened = openContainerArgument(test_support::fixturePath("cmd/k.d1m").string());
    ASSERT_NE(opened.disk, nullptr);
    dir_entry_t entry;
    ASSERT_TRUE(opened.disk->getEntry(0, true, entry));
    const listing_line_t system = listingLine(*opened.disk, entry);
    EXPECT_EQ(system.typeWord, "SYS");
    EXPECT_FALSE(system.locked);  // its type byte 0xFF has the lock bit
    EXPECT_FALSE(system.splat);
    ASSERT_TRUE(opened.disk->getEntry(1, true, entry));
    const listing_line_t games = listingLine(*opened.disk, entry);
    EXPECT_EQ(games.blocks, 684u);
    EXPECT_EQ(games.typeWord, "41 ");
}

// The documents lay the same fields out: the stray type's word without its control code, and the
// lock after it reversed: the SEQ form holds the bytes the machine's lister prints.
TEST(ListingLine, DocumentLineOfAStrayType) {
    TestImage image = TestImage::blank();
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    SEQConverter seq(&writer);
    image.disk->drawEntry(entryOfType(0xCD), 0, writer, false);
    EXPECT_EQ(std::string(writer.output().begin(), writer.output().end()),
              "3    \"AB\"" + std::string(15, ' ') + "R?\x12< \r");
}

}  // namespace
}  // namespace platter
