#include "app/argument_texts.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace app {
namespace {

using platter::makeBlock;

TEST(ChainText, TrackIsWrittenOnlyWhenItChanges) {
    EXPECT_EQ(chainText({}), "");
    EXPECT_EQ(chainText({makeBlock(18, 1)}), "18.1");
    EXPECT_EQ(chainText({makeBlock(18, 1), makeBlock(18, 4), makeBlock(19, 0)}), "18.1,4,19.0");
    EXPECT_EQ(chainText({makeBlock(17, 0), makeBlock(17, 10), makeBlock(18, 2), makeBlock(17, 3)}),
              "17.0,10,18.2,17.3");
    // The first block always names its track, whatever it is.
    EXPECT_EQ(chainText({makeBlock(0, 5), makeBlock(0, 6)}), "0.5,6");
}

TEST(PrintPathHeader, BlankLineAndLabelGoToTheGivenStream) {
    std::ostringstream out;
    printPathHeader(out, "dir/x.d64", " (2)");
    EXPECT_EQ(out.str(), "\ndir/x.d64 (2)\n");
}

}  // namespace
}  // namespace app
