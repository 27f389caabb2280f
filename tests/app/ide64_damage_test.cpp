// A damaged IDE64 image through ls and cat: what is there is listed and written, what is
// missing is named once, and a file that is not whole makes cat fail.

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"
#include "tests/support/hdd_fixture.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/scratch_dir.hpp"

namespace app {
namespace {

using test_support::countOf;
using test_support::runZt;
using test_support::zt_run_t;

using namespace test_support::hdd;

// A listing that succeeds with one warning, `text`.
void expectOneWarning(const zt_run_t& run, const std::string& text) {
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(countOf(run.errors, "warning: "), 1u) << run.errors;
    EXPECT_NE(run.errors.find("warning: " + text + "\n"), std::string::npos) << run.errors;
}

class Ide64Damage : public ::testing::Test {
protected:
    std::string patched(const std::function<void(test_support::Bytes&)>& patch) {
        test_support::Bytes bytes = test_support::readFixture("cmd/x.hdd");
        patch(bytes);
        return scratch_.write("d.hdd", bytes).string();
    }
    const test_support::ScratchDir scratch_;
};

TEST_F(Ide64Damage, ARootDirectoryLinkedPastItsPartitionListsWhatItReadAndSaysWhere) {
    const std::string path =
        patched([](test_support::Bytes& bytes) { spreadLink(bytes, kRoot * kSector + 24, 36, 400); });
    const zt_run_t ls = runZt({"ls", "-D", path});
    expectOneWarning(ls, "'part1': the directory chain leaves the disk at 0.158 \u2192 1.144");
    EXPECT_NE(ls.out.find("PART ONE"), std::string::npos) << ls.out;
}

TEST_F(Ide64Damage, ASubdirectoryOutsideItsPartitionIsNamedAndRefused) {
    // SUB, the fifth entry of the root's second block, made to start at sector 400.
    const std::string path = patched([](test_support::Bytes& bytes) {
        test_support::put(bytes, kRootSecondBlock * kSector + 4 * 36 + 25, {0x00, 0x01, 0x90});
    });
    const zt_run_t ls = runZt({"ls", "-D", path});
    expectOneWarning(ls, "'d.hdd': the subdirectory of entry [5] starts outside its partition; skipping");
    EXPECT_NE(ls.out.find("\"SUB\""), std::string::npos) << ls.out;
    EXPECT_EQ(ls.out.find("\"INNER\""), std::string::npos) << ls.out;
    const zt_run_t cat = runZt({"cat", path + ":PART1:SUB"});
    EXPECT_EQ(cat.status, 1);
    EXPECT_TRUE(cat.out.empty());

    // Made to start at the root's first block.
    const std::string looping = patched([](test_support::Bytes& bytes) {
        test_support::put(bytes, kRootSecondBlock * kSector + 4 * 36 + 25, {0x00, 0x00, kRoot});
    });
    expectOneWarning(runZt({"ls", "-D", looping}),
                     "'d.hdd': entry [5] leads back into an enclosing directory; skipping");
}

TEST_F(Ide64Damage, ACutImageListsItsPartitionWithOneWarning) {
    const std::string last100 = patched([](test_support::Bytes& bytes) { bytes.erase(bytes.end() - 100, bytes.end()); });
    const zt_run_t ls = runZt({"ls", "-D", last100});
    expectOneWarning(ls, "'d.hdd': sector 319 of partition 'part1' past the end of the file is missing");
    EXPECT_NE(ls.out.find("\"INNER\""), std::string::npos) << ls.out;
    const zt_run_t cat = runZt({"cat", last100 + ":PART1:BIG"});
    EXPECT_EQ(cat.status, 0) << cat.errors;
    EXPECT_EQ(cat.out.size(), 70000u);

    const std::string half = patched([](test_support::Bytes& bytes) { bytes.resize(bytes.size() / 2); });
    const zt_run_t listed = runZt({"ls", half + ":PART1:*"});
    expectOneWarning(listed, "'d.hdd': sectors 160-319 of partition 'part1' past the end of the file are missing");
    EXPECT_NE(listed.out.find("PART ONE"), std::string::npos) << listed.out;
    const zt_run_t area = runZt({"cat", half + ":PART1"});
    EXPECT_EQ(area.status, 1);
    EXPECT_EQ(area.out.size(), (kRootSecondBlock - 8) * kSector);
    EXPECT_NE(area.errors.find("': entry [0] is cut short: 77824 of 159744 bytes could be read\n"), std::string::npos)
        << area.errors;
}

TEST_F(Ide64Damage, AFileWhoseBlockListsStopEarlyIsWrittenAsFarAsTheyGoAndFails) {
    const std::string unlinked =
        patched([](test_support::Bytes& bytes) { spreadLink(bytes, kBigFirstList * kSector, 4, 0); });
    const zt_run_t cat = runZt({"cat", unlinked + ":PART1:BIG"});
    EXPECT_EQ(cat.status, 1);
    EXPECT_EQ(cat.out.size(), 65536u);
    EXPECT_NE(cat.errors.find("d.hdd': entry [2] is cut short: 65536 of 70000 bytes could be read\n"),
              std::string::npos)
        << cat.errors;

    const std::string looping =
        patched([](test_support::Bytes& bytes) { spreadLink(bytes, kBigFirstList * kSector, 4, kBigFirstList); });
    const zt_run_t loop = runZt({"cat", looping + ":PART1:BIG"});
    EXPECT_EQ(loop.status, 1);
    EXPECT_EQ(loop.out.size(), 65536u);
    EXPECT_NE(loop.errors.find("': entry [2] is cut short: its chain turns back at block 0.153\n"), std::string::npos)
        << loop.errors;
    // A listing that reads the files says where, as for a CBM chain.
    const zt_run_t ls = runZt({"ls", "-l", looping + ":PART1:*"});
    EXPECT_EQ(ls.status, 0);
    EXPECT_NE(ls.errors.find("warning: 'd.hdd': the chain of entry [2] turns back at block 0.153\n"), std::string::npos)
        << ls.errors;

    const std::string sized = patched([](test_support::Bytes& bytes) {
        test_support::put(bytes, kRootSecondBlock * kSector + 16, {0x60, 0xea});
    });
    const zt_run_t hello = runZt({"cat", sized + ":PART1:HELLO"});
    EXPECT_EQ(hello.status, 1);
    EXPECT_EQ(hello.out.size(), kSector);
    EXPECT_NE(hello.errors.find("': entry [1] is cut short: 512 of 60000 bytes could be read\n"), std::string::npos)
        << hello.errors;
}

}  // namespace
}  // namespace app
