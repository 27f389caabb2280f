#include "app/damage_report.hpp"

#include <gtest/gtest.h>

#include "app/entry_read_report.hpp"
#include "platter/core/dir_entry.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/scratch_dir.hpp"

namespace app {
namespace {

using platter::chain_end;
using platter::chain_stop_t;
using platter::makeBlock;
using platter::noBlock;
using platter::read_outcome;

std::vector<std::string> texts(const std::vector<forge::message_t>& messages) {
    std::vector<std::string> out;
    for (const forge::message_t& message : messages) out.push_back(message.text);
    return out;
}

TEST(DamageReport, EachStopOfAChainHasItsWords) {
    const auto a = makeBlock(18, 1);
    const auto b = makeBlock(99, 0);
    EXPECT_EQ(chainStopText("the directory chain", {chain_end::turnsBack, a, makeBlock(18, 0)}),
              "the directory chain turns back at block 18.1");
    EXPECT_EQ(chainStopText("the directory chain", {chain_end::leaves, a, b}),
              "the directory chain leaves the disk at 18.1 \u2192 99.0");
    EXPECT_EQ(chainStopText("the partition table", {chain_end::leaves, noBlock(), b}),
              "the partition table starts outside the disk, at 99.0");
    EXPECT_EQ(chainStopText("its chain", {chain_end::unreadable, a, makeBlock(18, 4)}),
              "its chain ends at block 18.4, which cannot be read");
    EXPECT_EQ(chainStopText("its chain", {chain_end::missing, a, makeBlock(19, 0)}),
              "its chain ends at block 19.0, which the file ends before");
    EXPECT_EQ(chainStopText("its chain", {}), "");
}

// One line a fact, in this order; the generic words for a cut image give way to a kind's
// own, and a directory block the file ends before is the cut image's.
TEST(DamageReport, AReportIsToldLineByLineOnce) {
    platter::disk_damage_t damage;
    EXPECT_TRUE(damageMessages(damage, "x.d64").empty());
    damage.missesBlocks = true;
    damage.directory = {chain_end::missing, makeBlock(18, 1), makeBlock(18, 4)};
    EXPECT_EQ(texts(damageMessages(damage, "x.d64")),
              std::vector<std::string>{"'x.d64': blocks past the end of the image are missing"});
    damage.notes = {"tracks 2-17 past the end of the file are missing"};
    damage.directory = {chain_end::leaves, makeBlock(18, 1), makeBlock(99, 0)};
    damage.directoryKind = platter::directory_kind::partitionTable;
    EXPECT_EQ(texts(damageMessages(damage, "x.g64")),
              (std::vector<std::string>{"'x.g64': tracks 2-17 past the end of the file are missing",
                                        "'x.g64': the partition table leaves the disk at 18.1 \u2192 99.0"}));
    EXPECT_FALSE(damage.maySave());
    EXPECT_EQ(saveRefusalText(damage), "some blocks of the container hold no data");

    platter::disk_damage_t odd;
    odd.sizeUnknown = true;
    EXPECT_EQ(texts(damageMessages(odd, "odd.d64")),
              std::vector<std::string>{"'odd.d64': the image's size is not one its format knows"});
    EXPECT_EQ(saveRefusalText(odd), "the size of the container is not one its format knows");
    platter::disk_damage_t looping;
    looping.directory = {chain_end::turnsBack, makeBlock(18, 4), makeBlock(18, 1)};
    EXPECT_EQ(saveRefusalText(looping), "the container is damaged");
}

TEST(EntryReadReport, AReadThatIsNotWholeIsNamedOnceWithWhy) {
    platter::entry_read_t read;
    EXPECT_EQ(readProblemText(read, 3, 18), std::nullopt);
    read.outcome = read_outcome::unreadable;
    EXPECT_EQ(readProblemText(read, 3, 18), "entry [3] could not be read");
    read.outcome = read_outcome::areaFault;
    read.area = platter::block_range_fault::pastEnd;
    EXPECT_EQ(readProblemText(read, 3, 40), "the partition of entry [3] runs past the end of the image");
    read.outcome = read_outcome::cutShort;
    read.stop = {chain_end::leaves, makeBlock(17, 3), makeBlock(99, 0)};
    EXPECT_EQ(readProblemText(read, 3, 18), "entry [3] is cut short: its chain leaves the disk at 17.3 \u2192 99.0");
    read.bytes.assign(512, 0);
    read.expected = 70000;
    EXPECT_EQ(readProblemText(read, 3, 18), "entry [3] is cut short: 512 of 70000 bytes could be read");
    // A chain whose last block says no size, a record's named as the record.
    read.unsized = platter::unsized_chain_t{std::nullopt, 0, 2};
    EXPECT_EQ(readProblemText(read, 3, 18),
              "entry [3] gives its last block the byte 0, which says no size; its 2 blocks were kept whole");
    read.unsized->record = 4;
    EXPECT_EQ(readProblemText(read, 3, 18),
              "record 4 of entry [3] gives its last block the byte 0, which says no size; its 2 blocks were kept "
              "whole");
    // Its container's report named it already.
    read.namedByContainer = true;
    EXPECT_EQ(readProblemText(read, 3, 18), std::nullopt);
}

// base.d64 keeps its entries in 18/1 and 18/4; LOCKED (entry 4) has two blocks.
class DamageThroughCommands : public ::testing::Test {
protected:
    std::string patched(const std::function<void(test_support::Bytes&)>& patch) {
        test_support::Bytes bytes = test_support::readFixture("d64/base.d64");
        patch(bytes);
        return scratch_.write("b.d64", bytes).string();
    }
    static std::size_t offsetOf(std::uint64_t track, std::uint64_t sector) {
        return ((track - 1) * 21 - (track > 18 ? (track - 18) * 2 : 0) + sector) * 256;
    }
    const test_support::ScratchDir scratch_;
};

TEST_F(DamageThroughCommands, ADirectoryChainThatLeavesTheDiskListsWhatItReadAndSaysWhere) {
    const std::string path = patched([](test_support::Bytes& bytes) {
        test_support::put(bytes, offsetOf(18, 1), {99, 0});
    });
    const test_support::zt_run_t ls = test_support::runZt({"ls", path});
    EXPECT_EQ(ls.status, 0);
    EXPECT_EQ(ls.errors, "warning: 'b.d64': the directory chain leaves the disk at 18.1 \u2192 99.0\n");
    EXPECT_NE(ls.out.find("652 BLOCKS FREE."), std::string::npos) << ls.out;
    // A damaged image is never written back.
    const test_support::zt_run_t ch = test_support::runZt({"ch", "-e", "23", path + ":%1.0"});
    EXPECT_EQ(ch.status, 1);
    EXPECT_NE(ch.errors.find("': the container is damaged; it is left unchanged"), std::string::npos) << ch.errors;
    EXPECT_EQ(test_support::readBytes(path).size(), 174848u);
}

TEST_F(DamageThroughCommands, AFileWhoseChainLeavesTheDiskIsWrittenAsFarAsItGoesAndFails) {
    std::size_t first = 0;
    const std::string path = patched([&](test_support::Bytes& bytes) {
        const std::size_t entry = offsetOf(18, 1) + 4 * 32;
        first = offsetOf(bytes[entry + 3], bytes[entry + 4]);
        test_support::put(bytes, first, {99, 0});
    });
    const test_support::zt_run_t cat = test_support::runZt({"cat", path + ":#4"});
    EXPECT_EQ(cat.status, 1);
    EXPECT_EQ(cat.out.size(), 254u);
    EXPECT_NE(cat.errors.find("': entry [4] is cut short: its chain leaves the disk at "), std::string::npos)
        << cat.errors;
    // A listing that reads the files says where, as for a loop.
    const test_support::zt_run_t ls = test_support::runZt({"ls", "-l", path});
    EXPECT_EQ(ls.status, 0);
    EXPECT_NE(ls.errors.find("'b.d64': the chain of entry [4] leaves the disk at "), std::string::npos) << ls.errors;
}

// A last block whose byte says no size is kept whole and named; an entry of blocks that
// starts nowhere holds nothing: both fail the read.
TEST_F(DamageThroughCommands, ALastBlockThatSaysNoSizeOrAStartAtNothingIsNamedAndFails) {
    struct case_t {
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
        std::size_t written;
        std::string error;
    };
    const std::size_t helloEntry = offsetOf(18, 1);
    for (const case_t& c : {case_t{offsetOf(1, 0),
                                   {0, 1},
                                   254,
                                   "entry [0] gives its last block the byte 1, which says no size; its 1 block was "
                                   "kept whole"},
                            case_t{offsetOf(1, 0),
                                   {0, 0},
                                   254,
                                   "entry [0] gives its last block the byte 0, which says no size; its 1 block was "
                                   "kept whole"},
                            case_t{helloEntry + 3, {0, 0}, 0, "entry [0] could not be read"}}) {
        const std::string path =
            patched([&](test_support::Bytes& bytes) { std::copy(c.bytes.begin(), c.bytes.end(), &bytes[c.offset]); });
        const test_support::zt_run_t cat = test_support::runZt({"cat", path + ":#0"});
        EXPECT_EQ(cat.status, 1) << c.error;
        EXPECT_EQ(cat.out.size(), c.written) << c.error;
        EXPECT_EQ(cat.errors, "error: '" + path + "': " + c.error + "\n");
    }
}

// Error tables of DOS error numbers, 0 for a good block: 18/4 error 20 and 1/0 (the first
// block of HELLO) error 23; then the header alone error 23, in a table whose first byte (0)
// leaves it stored as it is.
TEST_F(DamageThroughCommands, ABlockWhoseErrorByteRecordsAFailedReadHoldsNoDataAndTheImageStillSaves) {
    const auto withErrors = [](std::vector<std::pair<std::size_t, std::uint8_t>> marks) {
        return [marks = std::move(marks)](test_support::Bytes& bytes) {
            test_support::Bytes table(683);
            for (const auto& [block, error] : marks) table.at(block) = error;
            bytes.insert(bytes.end(), table.begin(), table.end());
        };
    };
    const std::string path = patched(withErrors({{offsetOf(18, 4) / 256, 20}, {0, 23}}));
    const std::string stop = "warning: 'b.d64': the directory chain ends at block 18.4, which cannot be read\n";
    const test_support::zt_run_t ls = test_support::runZt({"ls", path});
    EXPECT_EQ(ls.status, 0);
    EXPECT_EQ(ls.errors, stop);
    const test_support::zt_run_t cat = test_support::runZt({"cat", path + ":#0", path + ":%18.4"});
    EXPECT_EQ(cat.status, 1);
    EXPECT_EQ(cat.out, "");
    EXPECT_EQ(cat.errors, stop + "error: '" + path + "': entry [0] could not be read\n" + stop +
                              "error: block 18.4 holds no data (20, read error (header block not found)); skipped\n");

    const std::string header = patched(withErrors({{offsetOf(18, 0) / 256, 23}}));
    const test_support::zt_run_t ch = test_support::runZt({"ch", "-e", "21", header + ":%1.0"});
    EXPECT_EQ(ch.status, 0);
    EXPECT_EQ(ch.errors,
              "warning: 'b.d64': the header block 18.0 holds no data (23, read error (checksum error in data "
              "block))\nnotice: overwriting container with modified copy\n");
    const test_support::Bytes saved = test_support::readBytes(header);
    ASSERT_EQ(saved.size(), 174848u + 683u);
    EXPECT_EQ(saved[174848 + offsetOf(18, 0) / 256], 23);
}

}  // namespace
}  // namespace app
