#include "platter/formats/part_view.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "platter/core/data_provider.hpp"
#include "platter/formats/disk_cmd.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::cbmName;

// A D1M holding the cc1541 image base.d64 as partition 1 and a 2-track DNP as partition 2.
struct Host {
    std::unique_ptr<DiskD1M> disk = std::make_unique<DiskD1M>();

    Host() {
        EXPECT_TRUE(disk->open({}, false, true));
        const std::unique_ptr<Disk> d64 = test_support::openD64(test_support::readFixture("d64/base.d64"));
        EXPECT_TRUE(disk->insertImage(*d64, cbmName("GAMES", false), -1));
        EXPECT_TRUE(disk->createPartition(format_id::dnp, -1, 2));
        disk->setModified(false);
    }
    dir_entry_t entry(std::uint64_t index) const {
        dir_entry_t out;
        EXPECT_TRUE(disk->getEntry(index, false, out));
        return out;
    }
    std::shared_ptr<Disk> open(std::uint64_t index) const { return disk->openPartition(entry(index)); }
};

TEST(PartView, OffsetsAreTranslatedByTheWindowAlone) {
    Host host;
    const dir_entry_t games = host.entry(1);
    const std::uint64_t start = cmd_partition_t::of(games).startByte();
    const std::shared_ptr<Disk> view = host.open(1);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->blockOffset(makeBlock(18, 0)), 91392u);
    const std::uint8_t* inParent = host.disk->dataProvider()->dataAt(start + 91392, track_sector_t{});
    EXPECT_EQ(view->sectorPointer(18, 0), inParent);
    EXPECT_EQ(view->blocksFree(), 652u);
    EXPECT_FALSE(view->damage().sizeUnknown);
    EXPECT_FALSE(view->damage().missesBlocks);
}

TEST(PartView, TheSameEntryGivesTheSameViewWhileItLives) {
    Host host;
    const std::shared_ptr<Disk> first = host.open(1);
    EXPECT_EQ(host.open(1), first);
    EXPECT_EQ(host.disk->findOpenPartition(cmd_partition_t::of(host.entry(1)).startByte()), first);
    EXPECT_NE(host.open(2), first);
    EXPECT_EQ(host.open(0), nullptr);  // the system entry
    EXPECT_EQ(host.disk->openPartitionCount(), 1u);
}

TEST(PartView, AnEditMarksTheHostModifiedAndSavingTheHostClearsIt) {
    Host host;
    const std::shared_ptr<Disk> view = host.open(2);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->blocksFree(), 477u);
    EXPECT_FALSE(host.disk->isModified());
    EXPECT_TRUE(view->importFile(cbmName("NEW"), -1, test_support::patternBytes(1000, 1), 0, nullptr));
    EXPECT_TRUE(view->isModified());
    EXPECT_TRUE(host.disk->isModified());
    // The view's own save clears the view, not the host that holds the change.
    view->setModified(false);
    EXPECT_TRUE(host.disk->isModified());
    view->setModified(true);
    host.disk->setModified(false);
    EXPECT_FALSE(view->isModified());
    // The change is in the host's bytes: a second view sees it.
    const std::shared_ptr<Disk> again = host.open(2);
    EXPECT_EQ(again->countDirectoryEntries(), 1u);
}

TEST(PartView, NeverSavesWithoutForceNorChangesItsSize) {
    test_support::ScratchDir scratch;
    Host host;
    const std::shared_ptr<Disk> view = host.open(1);
    view->setModified(true);
    EXPECT_FALSE(saved(view->save()));
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
    EXPECT_FALSE(view->isResizable());
    EXPECT_FALSE(view->extendDisk(true));
    EXPECT_EQ(view->trackCount(), 35u);
    EXPECT_FALSE(view->formatImage(0));

    const std::shared_ptr<Disk> native = host.open(2);
    EXPECT_FALSE(native->isResizable());
    EXPECT_FALSE(native->resize(3 * DiskNP::kTrackBytes));
    EXPECT_EQ(native->providerSize(), 2 * DiskNP::kTrackBytes);
}

TEST(PartView, ClosingTwiceIsHarmlessAndLeavesTheViewEmpty) {
    Host host;
    const std::shared_ptr<Disk> view = host.open(1);
    view->close();
    view->close();
    EXPECT_EQ(host.disk->openPartitionCount(), 0u);
    EXPECT_EQ(view->sectorPointer(18, 0), nullptr);
    EXPECT_EQ(view->countDirectoryEntries(), 0u);
    // A closed view is forgotten: the entry opens anew.
    const std::shared_ptr<Disk> fresh = host.open(1);
    EXPECT_NE(fresh, view);
    EXPECT_NE(fresh->sectorPointer(18, 0), nullptr);
}

TEST(PartView, HostAndViewsGoInEitherOrder) {
    std::shared_ptr<Disk> survivor;
    {
        Host host;
        survivor = host.open(1);
        std::shared_ptr<Disk> shortLived = host.open(2);
        shortLived.reset();
        EXPECT_EQ(host.disk->openPartitionCount(), 1u);
    }
    // The host went first: the view reads nothing and changes nothing.
    EXPECT_EQ(survivor->sectorPointer(18, 0), nullptr);
    EXPECT_EQ(survivor->blocksFree(), 0u);
    survivor->setModified(true);
    survivor->close();
    survivor.reset();

    Host host;
    host.disk->close();
    EXPECT_EQ(host.disk->openPartitionCount(), 0u);
}

TEST(PartView, AWalkLeavesAViewHeldElsewhereOpen) {
    Host host;
    const std::shared_ptr<Disk> held = host.open(1);
    std::array<std::uint8_t, 16> star;
    star.fill(0xa0);
    star[0] = '*';
    std::vector<bytes_t> paths;
    EXPECT_TRUE(
        host.disk->walkDirectory(star, [&](const std::uint8_t*, const bytes_t& path) { paths.push_back(path); }));
    EXPECT_EQ(paths.size(), 3u + 8u);  // three table entries and the D64's eight
    EXPECT_EQ(host.open(1), held);
    EXPECT_EQ(host.disk->openPartitionCount(), 1u);
    EXPECT_NE(held->sectorPointer(18, 0), nullptr);
}

}  // namespace
}  // namespace platter
