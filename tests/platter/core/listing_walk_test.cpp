#include "platter/core/listing_walk.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "nested_image.hpp"
#include "platter/core/disk.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;

namespace platter {
namespace {

// root: TOP, SUB1, SUB1 again; SUB1 (20/0 -> 20/1): SUB2, INNER;
// SUB2 (20/2 -> 20/3): UP (back to SUB1), SELF (SUB2 itself), DEEP.
struct Nested : NestedImage {
    Nested() {
        putEntry(18, 1, 0, 0x82, "TOP", 17, 0);
        putEntry(18, 1, 1, 0x86, "SUB1", 20, 0);
        putEntry(18, 1, 2, 0x86, "SUB1 AGAIN", 20, 0);
        makeSubdirectory(20, 0);
        putEntry(20, 1, 0, 0x86, "SUB2", 20, 2);
        putEntry(20, 1, 1, 0x82, "INNER", 17, 0);
        makeSubdirectory(20, 2);
        putEntry(20, 3, 0, 0x86, "UP", 20, 0);
        putEntry(20, 3, 1, 0x86, "SELF", 20, 2);
        putEntry(20, 3, 2, 0x82, "DEEP", 17, 0);
        disk->setPathForFormat("nested.d64");
        disk->countDirectoryEntries();
    }

    std::string save(const std::string& name, bool recurse, std::vector<std::uint32_t> indices = {}) {
        std::ostringstream stream;
        listing_request_t request;
        request.recurse = recurse;
        request.indices = std::move(indices);
        request.stream = &stream;
        EXPECT_TRUE(saved(disk->saveAs(name, request))) << disk->lastError();
        EXPECT_EQ(disk->directoryDepth(), 0u);
        return stream.str();
    }
};

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(ListingWalk, EveryDirectoryOnceParentsFirst) {
    Nested nested;
    const std::string text = nested.save("x.txt", true);
    // Root, SUB1 and SUB2 each listed once, each below a blank line; the loops are not followed.
    EXPECT_EQ(count(text, "BLOCKS FREE."), 3u);
    EXPECT_LT(text.find("\"TOP\""), text.find("\"INNER\""));
    EXPECT_LT(text.find("\"INNER\""), text.find("\"DEEP\""));
    EXPECT_EQ(count(text, "\r\r\n0 \""), 2u);
    EXPECT_EQ(count(nested.save("x.txt", false), "BLOCKS FREE."), 1u);

    const std::string html = nested.save("x.html", true);
    EXPECT_EQ(count(html, "&quot;DEEP&quot;"), 1u);
    EXPECT_EQ(count(html, "<div"), count(html, "</div>"));
}

TEST(ListingWalk, ALinkBackToTheStartIsNotEnteredAgain) {
    // nest.d64: the root holds SUB and a chain of 17 directories below DEEP; SUB holds UP, whose
    // header leads back to the root.
    const auto disk = test_support::openDirectoryD64(test_support::readFixture("selection/nest.d64"));
    ASSERT_TRUE(disk);
    std::size_t visits = 0;
    EXPECT_TRUE(forEachDirectory(*disk, true, nullptr, [&](Disk&, std::size_t) { return ++visits != 0; }));
    EXPECT_EQ(visits, 1u + 1u + 17u);
    EXPECT_EQ(disk->directoryDepth(), 0u);
}

TEST(ListingWalk, CsvListsADirectoryAfterItsEntry) {
    Nested nested;
    const std::string csv = nested.save("x.csv", true);
    const auto at = [&](const char* name) { return csv.find(std::string(",1,") + name); };
    EXPECT_LT(at("top"), at("sub1 "));
    EXPECT_LT(at("sub1 "), at("sub2"));
    EXPECT_LT(at("sub2"), at("up"));
    EXPECT_LT(at("deep"), at("inner"));
    EXPECT_LT(at("inner"), at("sub1 again"));
    EXPECT_EQ(count(csv, ",1,deep"), 1u);
}

TEST(ListingWalk, PicturesStackTheSelectedDirectories) {
    Nested nested;
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    // The selected SUB1 alone on top, then SUB2 (3 entries and 2 lines) below the whole of SUB1 (2 + 2).
    const forge::raster_image_t tree = nested.disk->renderDirectoryTree(writer, true, std::vector<std::uint32_t>{1});
    EXPECT_EQ(tree.width, 240u);
    EXPECT_EQ(tree.height, (1u + 4u + 5u) * 8);
    EXPECT_EQ(nested.disk->directoryDepth(), 0u);
    EXPECT_EQ(nested.disk->renderDirectoryTree(writer, false, std::vector<std::uint32_t>{1}).height, 8u);
}

}  // namespace
}  // namespace platter
