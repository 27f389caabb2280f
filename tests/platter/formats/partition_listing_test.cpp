// Listing documents and pictures of partition tables: the table, then each partition's own
// listing nested in the same document.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "platter/core/listing_output.hpp"
#include "platter/formats/disk_cmd.hpp"
#include "platter/formats/disk_ide64.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;

namespace platter {
namespace {

std::unique_ptr<DiskD1M> fixtureD1mAsOpened() {
    auto disk = std::make_unique<DiskD1M>();
    EXPECT_TRUE(disk->openBytes("k.d1m", test_support::readFixture("cmd/k.d1m")));
    return disk;
}

std::string text(const test_support::bytes_t& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(PartitionListing, TextListsTheTableThenEachPartition) {
    test_support::ScratchDir scratch;
    const auto disk = fixtureD1mAsOpened();
    ASSERT_TRUE(saved(disk->saveAs(scratch.file("flat.txt"))));
    const std::string flat = text(test_support::readBytes(scratch.file("flat.txt")));
    EXPECT_NE(flat.find("\r 0  SYSTEM           SYS\r 1  GAMES            41 \r 2  NAT              NAT\r"),
              std::string::npos)
        << flat;
    EXPECT_EQ(flat.find("BLOCKS FREE"), std::string::npos);

    listing_request_t request;
    request.recurse = true;
    ASSERT_TRUE(saved(disk->saveAs(scratch.file("deep.txt"), request)));
    const std::string deep = text(test_support::readBytes(scratch.file("deep.txt")));
    EXPECT_EQ(test_support::countOf(deep, "BLOCKS FREE"), 3u) << deep;  // GAMES, NAT and NAT's SUB
    EXPECT_NE(deep.find("\"NATIVE          \" CM 1H"), std::string::npos) << deep;
    EXPECT_NE(deep.find("\"INNER\""), std::string::npos) << deep;
    EXPECT_EQ(disk->findOpenPartition(0), nullptr);  // the partitions opened for the walk are gone
}

TEST(PartitionListing, CsvGivesNumbersAndTypeWords) {
    test_support::ScratchDir scratch;
    const auto disk = fixtureD1mAsOpened();
    disk->setIncludeEmpty(false);
    ASSERT_TRUE(saved(disk->saveAs(scratch.file("table.csv"))));
    const std::string csv = text(test_support::readBytes(scratch.file("table.csv")));
    EXPECT_NE(csv.find("\nk.d1m,00,system          ,SYS\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\nk.d1m,01,games           ,41 \n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\nk.d1m,02,nat             ,NAT\n"), std::string::npos) << csv;
}

TEST(PartitionListing, PictureStacksTheSelectedPartitions) {
    const auto disk = fixtureD1mAsOpened();
    disk->setIncludeEmpty(false);
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    const forge::raster_image_t table = disk->renderDirectoryTree(writer, true, {});
    EXPECT_EQ(table.height, 4u * 8);  // the header and three entries, no footer
    const std::array<std::uint32_t, 1> games = {1};
    const forge::raster_image_t nested = disk->renderDirectoryTree(writer, true, games);
    EXPECT_EQ(nested.height, 1u * 8 + (1 + 8 + 1) * 8);  // the selected line, then GAMES whole
}

TEST(PartitionListing, ReadOnlyImagesWriteTheirListings) {
    test_support::ScratchDir scratch;
    DiskIDE64 disk;
    ASSERT_TRUE(disk.openBytes("x.hdd", test_support::readFixture("cmd/x.hdd")));
    listing_request_t request;
    request.recurse = true;
    ASSERT_TRUE(saved(disk.saveAs(scratch.file("x.txt"), request)));
    const std::string listing = text(test_support::readBytes(scratch.file("x.txt")));
    EXPECT_NE(listing.find("\r 0  PART1            CFS \r 1  GEOSPART         GEOS\r"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\"PART ONE        \""), std::string::npos) << listing;
    EXPECT_NE(listing.find("\r4    \"DATA\"             REL \r"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\r0    \"SUB\"              DIR \r"), std::string::npos) << listing;
    EXPECT_FALSE(saved(disk.saveAs(scratch.file("x.d64"))));
    EXPECT_FALSE(std::filesystem::exists(scratch.file("x.d64")));
}

}  // namespace
}  // namespace platter
