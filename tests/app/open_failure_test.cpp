// Every command that opens a FILE argument opens what ls opens, and says the same when it cannot.

#include <gtest/gtest.h>

#include "tests/support/run_zt.hpp"

namespace app {
namespace {

// A file identification does not name opens by its extension in diff and fgrep as in ls; a
// kind that cannot open it gets the open step's words there too.
TEST(OpenFailure, KindsReachedByTheirExtensionOpenAlikeInEveryCommand) {
    const test_support::ScratchDir scratch;
    test_support::bytes_t odd = test_support::readFixture("d64/base.d64");
    odd.push_back(0);
    const std::string image = scratch.write("odd.d64", odd).string();
    const std::string base = test_support::fixturePath("d64/base.d64").string();
    const test_support::zt_run_t diff = test_support::runZt({"diff", image, base});
    ASSERT_TRUE(diff.ran);
    EXPECT_EQ(diff.status, 0) << diff.errors;
    EXPECT_NE(diff.out.find("disks identical."), std::string::npos) << diff.out;
    const test_support::zt_run_t fgrep = test_support::runZt({"fgrep", "$c8c5cccccf", image});
    ASSERT_TRUE(fgrep.ran);
    EXPECT_EQ(fgrep.status, 0) << fgrep.errors;
    EXPECT_NE(fgrep.out.find("odd.d64:18,1"), std::string::npos) << fgrep.out;

    const std::string unusable = scratch.write("x.lnx", test_support::bytes_t(1000, 0)).string();
    const test_support::zt_run_t ls = test_support::runZt({"ls", unusable});
    ASSERT_TRUE(ls.ran);
    EXPECT_EQ(ls.status, 1);
    ASSERT_NE(ls.errors.find("error: 'x.lnx'"), std::string::npos) << ls.errors;
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"diff", unusable, unusable}, {"fgrep", "-a", "X", unusable}}) {
        const test_support::zt_run_t run = test_support::runZt(words);
        ASSERT_TRUE(run.ran) << words[0];
        EXPECT_EQ(run.status, 1) << words[0];
        EXPECT_EQ(run.errors, ls.errors) << words[0];
    }
}

}  // namespace
}  // namespace app
