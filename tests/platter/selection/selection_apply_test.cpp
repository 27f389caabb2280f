#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platter/selection/cbm_selection.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/open_container.hpp"
#include "platter/formats/disk41.hpp"
#include "tests/platter/selection/joined_messages.hpp"

namespace platter {
namespace {

// sel.d64 slots: 0 HELLO, 1 DATA (SEQ), 2 HEAP, 3 HELLO, 4 EMPTY (no data),
// 5 PART (CBM entry without an area), 6-7 empty. nest.d64: see make_fixtures.sh.
std::unique_ptr<Disk> openImage(const std::string& name) {
    const std::vector<std::uint8_t> bytes = test_support::readFixture("selection/" + name);
    std::unique_ptr<Disk> disk = openContainer(format_id::d64, name, bytes).disk;
    if (disk) disk->setIncludeEmpty(true);
    return disk;
}

using test_support::joined;

std::string entryName(Disk& disk, std::uint64_t index) {
    dir_entry_t entry;
    if (!disk.getEntry(index, true, entry)) return "(none)";
    return std::string(reinterpret_cast<const char*>(entry.name().data()), nameLength(entry));
}

class SelectionApply : public ::testing::Test {
protected:
    void SetUp() override {
        sel = openImage("sel.d64");
        nest = test_support::openDirectoryD64(test_support::readFixture("selection/nest.d64"));
        ASSERT_TRUE(sel && nest);
    }

    selection_result_t apply(const std::string& text, Disk& disk) {
        EXPECT_TRUE(selection.parseSelection(text)) << joined(selection.errors());
        return selection.processSelection(disk);
    }

    const file_selector& root(std::size_t i) const { return selection.selectors().at(i); }

    std::unique_ptr<Disk> sel;
    std::unique_ptr<Disk> nest;
    CbmSelection selection;
};

TEST_F(SelectionApply, PatternsMatchEverySlotAndCountDistinctNames) {
    auto result = apply("ZZZ*", *sel);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.count, 0u);
    EXPECT_TRUE(root(0).indices.empty());

    result = apply("HELLO", *sel);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.count, 1u);  // two entries, one name
    EXPECT_EQ(root(0).indices, (std::set<std::uint64_t>{0, 3}));
    EXPECT_EQ(root(0).first, 3u);

    // Never-used slots (6 and 7) are no entries; scratched ones would be.
    result = apply("*", *sel);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(root(0).indices, (std::set<std::uint64_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(result.count, 5u);  // HELLO DATA HEAP EMPTY PART

    result = apply("HE?P;D*", *sel);
    EXPECT_EQ(root(0).indices, (std::set<std::uint64_t>{2}));
    EXPECT_EQ(root(1).indices, (std::set<std::uint64_t>{1}));
    EXPECT_EQ(result.count, 2u);
}

TEST_F(SelectionApply, NegationExcludesWhicheverOrderItIsWritten) {
    for (const char* text : {"*;^HE*", "^HE*;*"}) {
        SCOPED_TRACE(text);
        const auto result = apply(text, *sel);
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(selection.entriesExcluded(), 2u);  // HELLO, HEAP
        std::vector<std::uint64_t> taken;
        for (std::uint64_t i = 0; i < 8; ++i)
            if (selection.isIndexSelectedInFrame(i, 0)) taken.push_back(i);
        EXPECT_EQ(taken, (std::vector<std::uint64_t>{1, 4, 5}));
        const file_selector& star = root(text[0] == '*' ? 0 : 1);
        const file_selector& negated = root(text[0] == '*' ? 1 : 0);
        EXPECT_TRUE(selection.isIndexSelected(1, star));
        EXPECT_FALSE(selection.isIndexSelected(0, star));
        EXPECT_FALSE(selection.isIndexSelected(0, negated));
    }
}

TEST_F(SelectionApply, IndicesPastTheDirectoryFailNamingTheSelector) {
    auto result = apply("#7", *sel);  // the directory block has 8 slots, used or not
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.count, 1u);

    result = apply("#8", *sel);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(selection.isValid());
    EXPECT_EQ(joined(selection.errors()), "error: index number is out of range for the container: '#8'\n");

    result = apply("#6-9", *sel);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.count, 2u);  // 6 and 7 were counted before 8 failed
    EXPECT_EQ(joined(selection.errors()), "error: index number is out of range for the container: '#6-9'\n");

    result = apply("#1-3;^#2", *sel);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(selection.entriesSelected(), 3u);
    EXPECT_EQ(selection.entriesExcluded(), 1u);
    EXPECT_TRUE(selection.isIndexSelected(1, root(0)));
    EXPECT_FALSE(selection.isIndexSelected(2, root(0)));
}

TEST_F(SelectionApply, BlocksAreCheckedAgainstTheGeometry) {
    ASSERT_TRUE(apply("$", *sel).ok);  // the directory start, always there
    EXPECT_EQ(makeBlock(root(0).first, root(0).second), makeBlock(18, 1));

    struct block_case_t {
        const char* text;
        const char* message;  // empty when valid
    };
    const block_case_t cases[] = {
        {"%1", ""},
        {"%35", ""},
        {"%1.20", ""},
        {"%18.18", ""},
        {"%18.1,2,19.0", ""},
        {"%%18.1", ""},
        {"%36", "error: track number is out of range for the container: '%36'\n"},
        {"%0", "error: track number is out of range for the container: '%0'\n"},
        {"%18.19", "error: sector number is out of range for the container: '%18.19'\n"},
        {"%18.30", "error: sector number is out of range for the container: '%18.30'\n"},
        {"%18.1,19", "error: sector number is out of range for the container: '%18.1,19'\n"},
        {"%18.1,36.0", "error: track number is out of range for the container: '%18.1,36.0'\n"},
        {"%%18.19", "error: sector number is out of range for the container: '%%18.19'\n"},
    };
    for (const block_case_t& row : cases) {
        SCOPED_TRACE(row.text);
        const auto result = apply(row.text, *sel);
        const bool valid = row.message[0] == '\0';
        EXPECT_EQ(result.ok, valid);
        EXPECT_EQ(result.count, valid ? 1u : 0u);  // once per node, whatever its blocks
        EXPECT_EQ(joined(selection.errors()), row.message);
    }
}

TEST_F(SelectionApply, EntriesThatHoldNoContainerCannotBeDescended) {
    for (const char* text : {"HELLO:*", "EMPTY:*", "PART:*", "#0:*"}) {
        SCOPED_TRACE(text);
        const auto result = apply(text, *sel);
        EXPECT_FALSE(result.ok);
        const std::string node(text, std::string(text).find(':') + 1);
        EXPECT_EQ(joined(selection.errors()),
                  "error: couldn't descend into entry matched by selector: '" + node + "'\n");
        EXPECT_EQ(selection.frames().size(), 1u);  // no half-made frame
    }
}

TEST_F(SelectionApply, AMissingNameLeavesNothingToDescendInto) {
    const auto result = apply("NOSUCH:*", *sel);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.count, 0u);
    EXPECT_EQ(selection.frames().size(), 1u);
    EXPECT_EQ(selection.enterFrame(root(0).children.at(0)), nullptr);
}

TEST_F(SelectionApply, NestedSelectorsApplyInsideTheSubdirectory) {
    const auto result = apply("SUB:*", *nest);
    ASSERT_TRUE(result.ok) << joined(selection.errors());
    ASSERT_EQ(selection.frames().size(), 2u);
    const file_selector& inside = root(0).children.at(0);
    EXPECT_EQ(inside.frame, 1u);
    EXPECT_EQ(inside.indices, (std::set<std::uint64_t>{0, 1, 2}));
    EXPECT_EQ(nest->directoryDepth(), 0u);  // the disk is left as it was given

    Disk* disk = selection.enterFrame(inside);
    ASSERT_EQ(disk, nest.get());
    EXPECT_EQ(entryName(*disk, 0), "INNER");
    EXPECT_EQ(selection.enterFrame(root(0)), nest.get());
    EXPECT_EQ(entryName(*nest, 0), "SUB");
}

// A root node after a nested one is matched in the root, not in the
// subdirectory the nested node entered.
TEST_F(SelectionApply, EachNodeAppliesToItsOwnFrame) {
    const auto result = apply("SUB:INNER:;FILE", *nest);
    ASSERT_TRUE(result.ok) << joined(selection.errors());
    EXPECT_EQ(root(0).children.at(0).indices, (std::set<std::uint64_t>{0}));
    EXPECT_EQ(root(1).frame, 0u);
    EXPECT_EQ(root(1).indices, (std::set<std::uint64_t>{1}));
    EXPECT_EQ(result.count, 3u);  // SUB, INNER, FILE

    EXPECT_TRUE(selection.isIndexSelectedInFrame(1, 0));   // FILE in the root
    EXPECT_FALSE(selection.isIndexSelectedInFrame(1, 1));  // UP inside SUB
    EXPECT_TRUE(selection.isIndexSelectedInFrame(0, 1));   // INNER
    EXPECT_FALSE(selection.isIndexSelectedInFrame(0, 2));  // no such frame
}

TEST_F(SelectionApply, NegationOfAnotherFrameDoesNotExclude) {
    const auto result = apply("SUB:^INNER:;*", *nest);
    ASSERT_TRUE(result.ok) << joined(selection.errors());
    const file_selector& star = root(1);
    EXPECT_TRUE(selection.isIndexSelected(0, star));  // SUB, though ^INNER holds index 0 of frame 1
    EXPECT_TRUE(selection.isIndexSelectedInFrame(0, 0));
    EXPECT_FALSE(selection.isIndexSelectedInFrame(0, 1));
}

TEST_F(SelectionApply, LoopsBackAreSkippedWithAWarning) {
    for (const char* text : {"SUB:UP:*", "SUB:SELF:*"}) {
        SCOPED_TRACE(text);
        const auto result = apply(text, *nest);
        EXPECT_TRUE(result.ok);
        const file_selector& loop = root(0).children.at(0);
        EXPECT_EQ(joined(selection.errors()),
                  "warning: selection loops back into an enclosing directory; skipping: '" + loop.text + "'\n");
        EXPECT_EQ(selection.frames().size(), 2u);
        EXPECT_EQ(loop.children.at(0).frame, file_selector::kNoFrame);
        EXPECT_EQ(selection.enterFrame(loop.children.at(0)), nullptr);
        EXPECT_EQ(nest->directoryDepth(), 0u);
    }
}

TEST_F(SelectionApply, NestingIsCappedAtSixteenLevels) {
    std::string text = "DEEP";
    for (int i = 0; i < 15; ++i) text += ":D";
    auto result = apply(text + ":*", *nest);
    ASSERT_TRUE(result.ok) << joined(selection.errors());
    EXPECT_TRUE(selection.errors().empty());
    EXPECT_EQ(selection.frames().size(), 17u);
    const file_selector* deepest = &root(0);
    while (!deepest->children.empty()) deepest = &deepest->children.front();
    Disk* disk = selection.enterFrame(*deepest);
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->directoryDepth(), 16u);
    EXPECT_EQ(entryName(*disk, 0), "D");  // the way on to the 17th level
    ASSERT_EQ(selection.enterFrame(0u), nest.get());
    EXPECT_EQ(nest->directoryDepth(), 0u);

    result = apply(text + ":D:*", *nest);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(selection.frames().size(), 17u);
    EXPECT_EQ(joined(selection.errors()), "warning: selection nested too deeply; skipping: 'D:'\n");
    EXPECT_EQ(nest->directoryDepth(), 0u);
}

// Callers that list a subdirectory they entered themselves keep it entered.
TEST_F(SelectionApply, ADiskEnteredByTheCallerStaysEntered) {
    ASSERT_TRUE(apply("SUB", *nest).ok);
    dir_entry_t sub;
    ASSERT_TRUE(nest->getEntry(0, true, sub));
    track_sector_t first;
    ASSERT_TRUE(nest->openDirectory(sub, first, false));

    const auto result = apply("INNER", *nest);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(root(0).indices, (std::set<std::uint64_t>{0}));
    EXPECT_EQ(nest->directoryDepth(), 1u);
}

TEST_F(SelectionApply, EachContainerIsProcessedAfresh) {
    ASSERT_TRUE(selection.parseSelection("HELLO:*"));
    EXPECT_FALSE(selection.processSelection(*sel).ok);  // a PRG is no container
    const auto second = selection.processSelection(*nest);
    EXPECT_TRUE(second.ok);  // no HELLO here: nothing to descend into
    EXPECT_EQ(second.count, 0u);
    EXPECT_TRUE(selection.errors().empty());

    ASSERT_TRUE(selection.parseSelection("*"));
    const auto a = selection.processSelection(*nest);
    const auto b = selection.processSelection(*nest);
    EXPECT_EQ(a.count, b.count);
    EXPECT_EQ(selection.frames().size(), 1u);

    EXPECT_FALSE(selection.parseSelection("%x"));
    EXPECT_FALSE(selection.processSelection(*sel).ok);  // a failed parse is never applied
}

// Random selector text over the grammar's characters, applied to both
// images: a parse either fails with one message or applies without harm.
TEST_F(SelectionApply, ArbitrarySelectorsParseOrFailCleanly) {
    static constexpr char kAlphabet[] = ":;{}^$%~#.,-*?0123456789xSUBDINERFLHOP";
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (std::uint32_t n = next() % 24; n > 0; --n) text += kAlphabet[next() % (sizeof kAlphabet - 1)];
        SCOPED_TRACE(text);
        if (!selection.parseSelection(text)) {
            EXPECT_EQ(selection.errors().size(), 1u);
            continue;
        }
        for (Disk* disk : {sel.get(), nest.get()}) {
            const auto result = selection.processSelection(*disk);
            if (!result.ok) {
                EXPECT_FALSE(selection.errors().empty());
            }
            EXPECT_EQ(disk->directoryDepth(), 0u);
        }
    }
}

}  // namespace
}  // namespace platter
