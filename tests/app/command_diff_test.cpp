#include "app/command_diff.hpp"

#include "platter/core/disk.hpp"
#include "platter/fileid/type_ids.hpp"

#include <gtest/gtest.h>

#include "tests/support/run_zt.hpp"

#include <map>
#include <sstream>

namespace app {
namespace {

namespace id = platter::fileid::type_id;

// Two tracks of three zero-filled sectors whose bytes can be taken away.
class SparseDisk : public platter::Disk {
public:
    SparseDisk() : Disk(platter::format_id::none) {
        setGeometry({2, 3, 6});
        for (std::uint64_t t = 1; t <= 2; ++t) {
            for (std::uint64_t s = 0; s < 3; ++s) blocks[platter::makeBlock(t, s)] = std::vector<std::uint8_t>(256, 0);
        }
    }

    std::map<platter::track_sector_t, std::vector<std::uint8_t>> blocks;

    std::uint8_t* blockPointer(const platter::track_sector_t& block) override {
        auto found = blocks.find(block);
        return found == blocks.end() ? nullptr : found->second.data();
    }
    bool isValidBlock(const platter::track_sector_t& block) const override {
        return block.track >= 1 && block.track <= trackCount() && block.sector < 3;
    }
    std::uint64_t blocksFree() const override { return 0; }
    bool isBlockFree(const platter::track_sector_t&) const override { return false; }
    bool toggleBlock(const platter::track_sector_t&) override { return false; }
    bool isBamBlock(const platter::track_sector_t&) const override { return false; }
    std::uint64_t blockOffset(const platter::track_sector_t&) const override { return 0; }
    bool nextDirectorySector(platter::track_sector_t&) override { return false; }
    std::uint8_t* allocateBlock(platter::track_sector_t&, bool) override { return nullptr; }
    const std::uint8_t* diskName() const override { return nullptr; }
    const std::uint8_t* diskId() const override { return nullptr; }
    void initBam() override {}
    bool formatImage(std::uint32_t) override { return false; }
    void snapshotBam() override {}
};

TEST(DiffTypes, GroupsOfComparableKinds) {
    EXPECT_TRUE(comparableTypes(id::d64_35, id::d64_40));
    EXPECT_TRUE(comparableTypes(id::d64_35, id::g64));
    EXPECT_TRUE(comparableTypes(id::nbz, id::d64_35_e));
    EXPECT_TRUE(comparableTypes(id::d2m, id::d2m_e));
    EXPECT_TRUE(comparableTypes(id::d81, id::d81_e));
    EXPECT_FALSE(comparableTypes(id::d64_35, id::d81));
    EXPECT_FALSE(comparableTypes(id::d71, id::d64));
    EXPECT_FALSE(comparableTypes(id::d1m, id::d2m));
    EXPECT_FALSE(comparableTypes(id::unknown, id::unknown));
}

TEST(DiffTypes, BlockBasedKinds) {
    EXPECT_TRUE(isBlockBasedType(id::d64_35));
    EXPECT_TRUE(isBlockBasedType(id::nib_v2));
    EXPECT_TRUE(isBlockBasedType(id::d4m));
    EXPECT_FALSE(isBlockBasedType(id::d64_truncated));
    EXPECT_FALSE(isBlockBasedType(id::t64));
    EXPECT_FALSE(isBlockBasedType(id::unknown));
}

TEST(DiffCompare, BlockWithoutBytesDiffersEntirely) {
    SparseDisk first;
    SparseDisk second;
    second.blocks.erase(platter::makeBlock(2, 1));
    first.blocks.erase(platter::makeBlock(1, 2));
    CommandDiff diff;
    const std::vector<block_comparison_t> records = diff.compareDisks(first, second);
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[2].differingBytes, 256u);
    EXPECT_EQ(records[4].differingBytes, 256u);
    EXPECT_EQ(records[0].differingBytes + records[5].differingBytes, 0u);
    ASSERT_EQ(diff.missingBlocks().size(), 2u);
    EXPECT_EQ(diff.missingBlocks()[0].track, 1u);
    EXPECT_EQ(diff.missingBlocks()[0].side, 0u);
    EXPECT_EQ(diff.missingBlocks()[1].track, 2u);
    EXPECT_EQ(diff.missingBlocks()[1].sector, 1u);
    EXPECT_EQ(diff.missingBlocks()[1].side, 1u);
}

std::string report(const std::vector<block_comparison_t>& records, bool verbose, bool tracks = false) {
    CommandDiff diff;
    diff.settings.verbose = verbose;
    diff.settings.trackGiven = tracks;
    std::ostringstream out;
    diff.printReport(out, records);
    return out.str();
}

TEST(DiffReport, SingularAndPlural) {
    EXPECT_EQ(report({{18, 1, false, false, 1}}, false), "disks differ: 1 byte over 1 block.\n");
    EXPECT_EQ(report({{18, 1, false, false, 2}}, false), "disks differ: 2 bytes over 1 block.\n");
    EXPECT_EQ(report({{18, 0, false, false, 1}, {18, 1, false, false, 1}}, false),
              "disks differ: 2 bytes over 2 blocks.\n");
    EXPECT_EQ(report({{18, 1, true, true, 0}}, false), "disks differ: 1 block with different error status.\n");
    EXPECT_EQ(report({{1, 1, true, true, 0}, {18, 1, true, true, 0}}, false, true),
              "tracks differ: 2 blocks with different error status.\n");
    EXPECT_EQ(report({{18, 0, false, false, 12}, {18, 1, true, true, 0}, {19, 0, true, true, 0}}, false),
              "disks differ: 12 bytes over 1 block; 2 blocks with different error status.\n");
}

TEST(DiffReport, DetailLinesPerTrack) {
    const std::vector<block_comparison_t> records = {
        {5, 0, false, false, 0}, {5, 3, false, false, 1},  {17, 0, false, false, 4},
        {18, 0, true, true, 0},  {18, 1, false, false, 1}, {18, 4, true, true, 2},
    };
    EXPECT_EQ(report(records, true),
              "disks differ: 8 bytes over 4 blocks; 2 blocks with different error status.\n"
              "\ndetail (different data/bytes):\n"
              "  track 05; sectors: 3\n"
              "  track 17; sectors: 0\n"
              "  track 18; sectors: 1, 4\n"
              "\ndetail (different errors):\n"
              "  track 18; sectors: 0, 4\n");
}

// A cut image is compared as ls opens it: its damage named, the blocks it lacks counted as
// differing.
TEST(CommandDiff, ADamagedImageIsComparedWithAWarning) {
    const test_support::ScratchDir scratch;
    const std::vector<std::uint8_t> whole = test_support::readFixture("d64/base.d64");
    const std::string cut = scratch.write("cut.d64", {whole.begin(), whole.begin() + 100000}).string();
    const test_support::zt_run_t run =
        test_support::runZt({"diff", cut, test_support::fixturePath("d64/base.d64").string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.errors.starts_with("warning: 'cut.d64': blocks past the end of the image are missing\n"))
        << run.errors;
    EXPECT_TRUE(run.out.starts_with("disks differ: 75008 bytes over 293 blocks.")) << run.out;
}

}  // namespace
}  // namespace app
