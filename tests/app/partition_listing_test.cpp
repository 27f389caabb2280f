// Listings that descend into partitions, run through the whole program.

#include <gtest/gtest.h>

#include "tests/support/bytes.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/scratch_dir.hpp"

namespace app {
namespace {

constexpr std::size_t kD1mTableAt = (80 * 40 + 8) * 256;  // drive track 81 sector 8

TEST(PartitionListing, TableThatLinksBackListsEachPartitionOnce) {
    test_support::ScratchDir scratch;
    test_support::bytes_t bytes = test_support::readFixture("cmd/k.d1m");
    bytes[kD1mTableAt + 3 * 256] = 1;  // the last table block links back to the first
    bytes[kD1mTableAt + 3 * 256 + 1] = 0;
    const auto image = scratch.write("loop.d1m", bytes);
    const test_support::zt_run_t run = test_support::runZt({"ls", "--Xcolor", "-D", image.string()});
    ASSERT_TRUE(run.ran);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(test_support::countOf(run.out, "\"GAMES\""), 2u);  // its table line and its nesting line
    EXPECT_EQ(test_support::countOf(run.out, "[2] \"NAT\""), 1u);
    EXPECT_EQ(test_support::countOf(run.out, "\"INNER\""), 1u);
}

TEST(PartitionListing, PartitionPastTheImageCannotBeEntered) {
    test_support::ScratchDir scratch;
    test_support::bytes_t bytes = test_support::readFixture("cmd/k.d1m");
    bytes[kD1mTableAt + 2 * 32 + 22] = 0x05;  // NAT moved to unit 1500: it ends past the image
    bytes[kD1mTableAt + 2 * 32 + 23] = 0xdc;
    const auto image = scratch.write("far.d1m", bytes);
    const test_support::zt_run_t run = test_support::runZt({"ls", "--Xcolor", image.string() + ":NAT:*"});
    ASSERT_TRUE(run.ran);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "error: couldn't descend into entry matched by selector: 'NAT:'\n");
    const test_support::zt_run_t deep = test_support::runZt({"ls", "--Xcolor", "-D", image.string()});
    EXPECT_EQ(deep.status, 0);
    EXPECT_EQ(test_support::countOf(deep.out, "[2] \"NAT\""), 0u);
    EXPECT_EQ(deep.errors, "warning: 'far.d1m': the partition of entry [2] runs past the end of the image; skipping\n");
}

// NAT's entry in the second table block, the first block's link past the image: the listing
// keeps what the first block holds and says where the table leaves; the image is not saved.
TEST(PartitionListing, TableThatLeavesTheImageKeepsWhatItReadAndIsNotSaved) {
    test_support::ScratchDir scratch;
    test_support::bytes_t bytes = test_support::readFixture("cmd/k.d1m");
    std::copy_n(bytes.begin() + kD1mTableAt + 2 * 32 + 2, 30, bytes.begin() + kD1mTableAt + 256 + 2);
    std::fill_n(bytes.begin() + kD1mTableAt + 2 * 32 + 2, 30, std::uint8_t{0});
    test_support::put(bytes, kD1mTableAt, {99, 0});
    const std::string image = scratch.write("leaves.d1m", bytes).string();
    const test_support::zt_run_t ls = test_support::runZt({"ls", "--Xcolor", image});
    EXPECT_EQ(ls.status, 0);
    EXPECT_EQ(ls.errors, "warning: 'leaves.d1m': the partition table leaves the disk at 13.136 \u2192 111.136\n");
    EXPECT_EQ(test_support::countOf(ls.out, "\"GAMES\""), 1u);
    EXPECT_EQ(test_support::countOf(ls.out, "\"NAT\""), 0u);
    const test_support::zt_run_t ch = test_support::runZt({"ch", "-e", "23", image + ":%1.0"});
    EXPECT_EQ(ch.status, 1);
    EXPECT_NE(ch.errors.find("leaves.d1m': the container is damaged; it is left unchanged"), std::string::npos)
        << ch.errors;
    EXPECT_EQ(test_support::readBytes(image), bytes);
}

// A view held by a selection frame outlives the image of its argument; the partition reads
// like the image it holds.
TEST(PartitionListing, PartitionsOfSeveralArgumentsInOneRun) {
    const std::string image = test_support::fixturePath("cmd/k.d1m").string();
    const test_support::zt_run_t run =
        test_support::runZt({"cat", image + ":NAT:HELLO", image + ":GAMES:*", image + ":NAT:SUB:INNER"});
    ASSERT_TRUE(run.ran);
    EXPECT_EQ(run.status, 0) << run.errors;
    const test_support::zt_run_t standalone =
        test_support::runZt({"cat", test_support::fixturePath("d64/base.d64").string() + ":*"});
    const std::string hello = run.out.substr(0, 300);
    const std::string inner = run.out.substr(run.out.size() - 600);
    EXPECT_EQ(test_support::bytes_t(hello.begin(), hello.end()), test_support::patternBytes(300, 1));
    EXPECT_EQ(test_support::bytes_t(inner.begin(), inner.end()), test_support::patternBytes(600, 2));
    EXPECT_EQ(run.out.substr(300, run.out.size() - 900), standalone.out);
    // A whole partition is its area's bytes.
    const test_support::zt_run_t area = test_support::runZt({"cat", image + ":NAT"});
    EXPECT_EQ(area.status, 0) << area.errors;
    EXPECT_EQ(test_support::bytes_t(area.out.begin(), area.out.end()), test_support::readFixture("cmd/x.dnp"));
}

}  // namespace
}  // namespace app
