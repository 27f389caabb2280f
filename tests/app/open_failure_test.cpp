// Every command that opens a FILE argument says the same when the kind is not built yet.

#include <gtest/gtest.h>

#include "tests/support/run_zt.hpp"

namespace app {
namespace {

TEST(OpenFailure, ACommandsOpenStepSaysTheSameForAKindNotBuiltYet) {
    const test_support::ScratchDir scratch;
    const std::string d1m = scratch.write("x.d1m", test_support::bytes_t(829440, 0)).string();
    const std::string expected = "error: 'x.d1m': D1M images cannot be opened yet\n";
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"ls", d1m}, {"diff", d1m, d1m}, {"fgrep", "-a", "X", d1m}, {"bam", d1m}, {"cat", d1m + ":*"}}) {
        const test_support::zt_run_t run = test_support::runZt(words);
        ASSERT_TRUE(run.ran) << words[0];
        EXPECT_EQ(run.status, 1) << words[0];
        EXPECT_EQ(run.errors, expected) << words[0];
    }
}

}  // namespace
}  // namespace app
