#include "forge/log.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Captures std::cerr; restores the process-wide log state afterwards.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override { forge::setProgramName("zt"); }
    void TearDown() override {
        std::cerr.rdbuf(saved_);
        forge::setProgramName("");
        forge::setQuietLevel(0);
        forge::setVerboseLevel(0);
    }
    std::string take() { return std::exchange(captured_, std::ostringstream()).str(); }

    std::ostringstream captured_;
    std::streambuf* saved_ = std::cerr.rdbuf(captured_.rdbuf());
};

TEST_F(LogTest, QuietMatrixAndResults) {
    for (unsigned quiet = 0; quiet <= 3; ++quiet) {
        forge::setQuietLevel(quiet);
        for (unsigned level : {0u, 1u, 2u, 3u, 4u, 7u}) {
            bool composed = false;
            const bool result = forge::log(level, [&] {
                composed = true;
                std::cerr << "m";
            });
            const bool shown = level == 4 || quiet < level;
            EXPECT_EQ(composed, shown) << quiet << "/" << level;
            EXPECT_EQ(result, level > 2) << quiet << "/" << level;
            EXPECT_EQ(take(), shown ? "zt: " + std::string(forge::levelPrefix(level)) + "m\n" : "");
        }
    }
    EXPECT_EQ(forge::levelPrefix(7), "undef: ");
}

TEST_F(LogTest, TextFormsAndEmptyName) {
    forge::logError(std::string("disk full"));
    forge::logWarning("verbose mode (", "-v", ") overrides quiet mode (", "-q", ").");
    forge::setProgramName("");
    forge::logFatal([] { std::cerr << "bad"; });
    EXPECT_EQ(take(),
              "zt: error: disk full\nzt: warning: verbose mode (-v) overrides quiet mode (-q).\n"
              ": fatal: bad\n");
    forge::setQuietLevel(2);
    forge::logWarning("hidden");
    EXPECT_EQ(take(), "");
}

TEST_F(LogTest, VerboseRunsOnlyAtItsLevel) {
    int runs = 0;
    forge::verbose(2, [&] { ++runs; });
    forge::verbose([&] { ++runs; });
    EXPECT_EQ(runs, 0);
    forge::setVerboseLevel(2);
    forge::verbose(2, [&] { ++runs; });
    forge::verbose(3, [&] { ++runs; });
    forge::verbose([&] { ++runs; });
    EXPECT_EQ(runs, 2);
}

}  // namespace
