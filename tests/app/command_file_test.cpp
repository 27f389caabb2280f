#include "app/command_file.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <sstream>
#include <string>

namespace app {
namespace {

TEST(CommandFile, PrefixPadsByDisplayColumns) {
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) GTEST_SKIP() << "no UTF-8 locale";
    std::ostringstream out;
    CommandFile command(out);
    command.setNameWidth(7);
    command.printPrefix(
        "pr\xC3\xBC"
        "f.d64");                         // 8 columns: wider than the width
    command.printPrefix("\xC3\xBC.d64");  // 6 bytes, 5 columns: 2 spaces
    std::setlocale(LC_CTYPE, saved.c_str());
    EXPECT_EQ(out.str(),
              "pr\xC3\xBC"
              "f.d64; \xC3\xBC.d64;   ");
}

}  // namespace
}  // namespace app
