#include "app/command_ls.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/d64_image.hpp"
#include "tests/support/process.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/scratch_dir.hpp"

namespace app {
namespace {

TEST(CommandLsZipcode, PartsOfOneSetInOneDirectoryCountOnce) {
    CommandLs ls;
    EXPECT_FALSE(ls.isRepeatedZipcodePart("dir/1!game"));
    EXPECT_TRUE(ls.isRepeatedZipcodePart("dir/2!game"));
    EXPECT_TRUE(ls.isRepeatedZipcodePart("dir/4!game"));
    EXPECT_FALSE(ls.isRepeatedZipcodePart("other/1!game"));  // another directory, another set
    EXPECT_FALSE(ls.isRepeatedZipcodePart("dir/1!!demo"));   // six-part set
    EXPECT_TRUE(ls.isRepeatedZipcodePart("dir/5!!demo"));
    EXPECT_FALSE(ls.isRepeatedZipcodePart("dir/game.d64"));
    EXPECT_FALSE(ls.isRepeatedZipcodePart("dir/game.d64"));  // not a part: never a repeat
}

// Sent to one place, each image's warnings come between the listings, where they arose, though
// standard output is written in full buffers.
TEST(CommandLsStreams, WarningsStayBetweenTheListingsTheyBelongTo) {
    const test_support::ScratchDir scratch;
    const std::vector<std::uint8_t> whole = test_support::readFixture("bam/files.d64");
    const std::string first = scratch.write("first.d64", whole).string();
    const std::string cut = scratch.write("cut.d64", {whole.begin(), whole.begin() + 100000}).string();
    const std::string last = scratch.write("last.d64", whole).string();
    const test_support::zt_run_t run = test_support::runZt({"ls", first, cut, last}, {}, true);
    ASSERT_TRUE(run.ran);
    const std::size_t warning = run.out.find("warning: ");
    ASSERT_NE(warning, std::string::npos);
    EXPECT_LT(run.out.find(first), warning);
    EXPECT_LT(run.out.find("BLOCKS FREE"), warning);
    EXPECT_LT(warning, run.out.find(cut + "\n"));
    EXPECT_LT(run.out.find(cut + "\n"), run.out.find(last));
}

// nest.d64 on an image kind with subdirectories: SUB holds INNER, UP (back to the root) and SELF
// (SUB itself); DEEP nests 17 levels.
TEST(CommandLsDeep, DescendsIntoSubdirectoriesRefusingLoopsAndDepth) {
    std::unique_ptr<platter::Disk> disk =
        test_support::openDirectoryD64(test_support::readFixture("selection/nest.d64"));
    ASSERT_NE(disk, nullptr);
    CommandLs ls;
    ls.makeRender();
    ASSERT_TRUE(ls.parseSelector(""));
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(ls.listDeep(*disk, "nest.d64", true));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "warning: 'nest.d64': entry [1] leads back into an enclosing directory; skipping\n"
              "warning: 'nest.d64': entry [2] leads back into an enclosing directory; skipping\n"
              "warning: entry [0] nests deeper than 16 levels; skipping\n");
    EXPECT_NE(out.find("\n  [0] \"SUB\"\n  | 0 \"NEST"), std::string::npos) << out;
    EXPECT_NE(out.find("\n    [0] \"D\"\n    | 0 \"NEST"), std::string::npos) << out;
    std::size_t nestingLines = 0;
    for (std::size_t at = out.find("] \""); at != std::string::npos; at = out.find("] \"", at + 1)) ++nestingLines;
    EXPECT_EQ(nestingLines, 2u + 15u);  // SUB and DEEP, then 15 levels below DEEP up to the cap of 16
    EXPECT_EQ(disk->directoryDepth(), 0u);
}

// A shifted space inside a name, which the listing form turns into its closing quote, and a
// quote inside one leave the name one CSV field: every row reads back as two fields.
TEST(CommandLsDelimited, NamesAreOneCsvFieldEach) {
    if (!test_support::haveProgram("/usr/bin/python3")) GTEST_SKIP() << "needs python3";
    const test_support::zt_run_t run = test_support::runZt(
        {"ls", "--ascii", "-A", "-d", ",", "-f", "name,type", test_support::fixturePath("ls/flags.d64")});
    ASSERT_EQ(run.status, 0) << run.errors;
    const test_support::ScratchDir scratch;
    const std::filesystem::path csv = scratch.file("l.csv");
    test_support::writeText(csv, run.out);
    const auto [fields, status] = test_support::runCommand(
        "python3 -c 'import csv,sys;[print(len(r), r[0]) for r in csv.reader(open(sys.argv[1]))]' " + csv.string());
    ASSERT_EQ(status, 0) << fields;
    EXPECT_EQ(fields,
              "2 AB C\n2 LOCKED\n2 OPEN\n2 GONE\n2 RECORDS\n2 USER\n2 DATA\n2 ZERO\n2 MANY\n2 Q\"X Y\n"
              "2 SIXTEEN CHARS!!!\n2 SCRATCHED\n2 WEIRD\n2 ODD\n2 GRAPHIC`\n2 BIG\n");
}

}  // namespace
}  // namespace app
