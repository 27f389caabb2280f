#include "app/reporter.hpp"

#include <gtest/gtest.h>

#include "forge/log.hpp"

namespace app {
namespace {

std::string reported(unsigned quiet, const std::function<void(Reporter&)>& messages, bool* failed = nullptr) {
    const unsigned saved = forge::g_quiet_level;
    forge::setQuietLevel(quiet);
    Reporter reporter;
    ::testing::internal::CaptureStderr();
    messages(reporter);
    const std::string text = ::testing::internal::GetCapturedStderr();
    forge::setQuietLevel(saved);
    if (failed) *failed = reporter.failed();
    return text;
}

TEST(Reporter, PrefixesTheLevelAndCountsErrorsEvenWhenWithheld) {
    bool failed = false;
    const auto three = [](Reporter& reporter) {
        reporter.notice("n");
        reporter.warning("w");
        reporter.report({forge::message_level::error, "e"});
    };
    EXPECT_EQ(reported(0, three, &failed), "notice: n\nwarning: w\nerror: e\n");
    EXPECT_TRUE(failed);
    EXPECT_EQ(reported(1, three, &failed), "");
    EXPECT_TRUE(failed);
    EXPECT_EQ(reported(
                  0, [](Reporter& reporter) { reporter.warning("w"); }, &failed),
              "warning: w\n");
    EXPECT_FALSE(failed);
}

TEST(Reporter, AnErrorWithoutFailureIsAnErrorLineThatLeavesTheStatus) {
    bool failed = true;
    const auto aside = [](Reporter& reporter) { reporter.errorWithoutFailure("attempt"); };
    EXPECT_EQ(reported(0, aside, &failed), "error: attempt\n");
    EXPECT_FALSE(failed);
    EXPECT_EQ(reported(1, aside, &failed), "");
}

TEST(Reporter, SomeMessagesAreNeverWithheldOthersOnlyByThreeQ) {
    const auto kept = [](Reporter& reporter) {
        reporter.error("path", Reporter::kNever);
        reporter.error("read", Reporter::kQuietErrors);
    };
    EXPECT_EQ(reported(2, kept), "error: path\nerror: read\n");
    EXPECT_EQ(reported(3, kept), "error: path\n");
}

}  // namespace
}  // namespace app
