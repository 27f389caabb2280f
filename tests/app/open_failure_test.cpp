// Every command that opens a FILE argument says the same when the kind is not built yet.

#include <gtest/gtest.h>

#include "tests/support/run_zt.hpp"

namespace app {
namespace {

TEST(OpenFailure, ACommandsOpenStepSaysTheSameForAKindNotBuiltYet) {
    const test_support::ScratchDir scratch;
    const std::string d81 = scratch.write("x.d81", test_support::bytes_t(819200, 0)).string();
    const std::string expected = "error: 'x.d81': D81 images cannot be opened yet\n";
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"ls", d81}, {"diff", d81, d81}, {"fgrep", "-a", "X", d81}, {"bam", d81}, {"cat", d81 + ":*"}}) {
        const test_support::zt_run_t run = test_support::runZt(words);
        ASSERT_TRUE(run.ran) << words[0];
        EXPECT_EQ(run.status, 1) << words[0];
        EXPECT_EQ(run.errors, expected) << words[0];
    }
}

}  // namespace
}  // namespace app
