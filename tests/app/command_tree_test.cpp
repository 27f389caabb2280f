#include "app/command_tree.hpp"

#include "tests/support/in_child.hpp"
#include "app/options.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app {
namespace {

// Parses the words after "zt" and returns the parser's error text.
std::string parseErrors(const std::vector<std::string>& words) {
    buildCommandTree();
    std::vector<const char*> argv = {"zt"};
    for (const std::string& word : words) argv.push_back(word.c_str());
    g_getopt.parse(static_cast<int>(argv.size()), argv.data());
    return g_getopt.errorText();
}

TEST(CommandTreeTest, HiddenOptionsCheckTheirArguments) {
    EXPECT_TRUE(inChild([] {
        const std::string errors = parseErrors({"--case=mixed", "--debug=x", "--columns=name,bogus", "--license=GHC"});
        const std::string expected =
            "'mixed' is not a valid choice for --case\n"
            "--debug must be followed by a valid integer (found: 'x')\n"
            "'bogus' is not a valid choice for --columns\n"
            "'GHC' is not a valid choice for --license";
        return errors == expected ? std::string() : errors;
    }));
}

// Two options of fgrep share the letter h: the one registered first takes it.
TEST(CommandTreeTest, ASharedShortLetterSelectsTheFirstRegisteredOption) {
    EXPECT_TRUE(inChild([] {
        const std::string errors = parseErrors({"fgrep", "-h"});
        if (!errors.empty()) return errors;
        if (!g_option_pattern_hex.isSet()) return std::string("-h did not select --pattern-hex");
        return g_option_no_filename.isSet() ? std::string("-h selected --no-filename") : std::string();
    }));
}

}  // namespace
}  // namespace app
