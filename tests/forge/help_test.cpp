#include "forge/getopt.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace forge::getopt {
namespace {

constexpr std::string_view kFieldChoices[] = {
    "blocks", "bytes", "index", "ts",   "addr",  "name", "stl",   "splat",
    "type",   "lock",  "chain", "file", "xxh32", "xxh3", "^ffid",
};

// A tree invoked as "./zt": root options, the commands ls and cat, and a hidden
// command whose long name still widens the command column.
class HelpTest : public ::testing::Test {
protected:
    HelpTest() {
        indent.argument("I", kArgInteger);
        ascii_fall.argument("A", kArgText);
        fields.argument("F", kArgList, kArgText).choices(kFieldChoices);
        secret.argument("VERY-LONG-ARGUMENT-NAME", kArgText).hidden();
        quiet.repeatable();
        help.standalone();
        root.setUsage("\n[COMMAND] [OPTION]... FILE...\n\n  > lists things\n");
        for (Option* option : {&recurse, &indent, &ascii_fall, &secret, &fields, &quiet, &help})
            root.addOption(*option);
        Getopt& ls = root.addCommand("ls", "list things", false);
        ls.setUsage("\n[OPTION...] FILE...\n\n  > 'zt ls' lists\n");
        ls.addOption(recurse).addOption(help);
        root.addCommand("render", "hidden renderer", true);
        root.addCommand("cat", "concatenate", false);
    }

    void parse(std::initializer_list<const char*> words) {
        std::vector<const char*> argv = {"./zt"};
        argv.insert(argv.end(), words);
        root.parse(static_cast<int>(argv.size()), argv.data());
    }

    std::string print(void (Getopt::*printer)(std::ostream&) const) {
        std::ostringstream out;
        (root.*printer)(out);
        return out.str();
    }

    Option recurse{'R', "recurse", "list subdirectories recursively"}, indent{'t', "indent", "indent by I each level"};
    Option ascii_fall{0, "ascii-fall", "use A as the ascii fallback character"};
    Option secret{'z', "secret-and-very-long-option-name", "not listed"};
    Option fields{'f', "fields", "format fields as columns in the given order"};
    Option quiet{'q', "quiet", "omit normal output"}, help{'?', "help", "show this help text, then exit"};
    Getopt root;
};

TEST_F(HelpTest, RootListsDefaultGroupAndVisibleCommands) {
    parse({"--help"});
    EXPECT_EQ(print(&Getopt::printHelp),
              "Available options when no command is given:\n"
              " -R/--recurse         list subdirectories recursively\n"
              " -t/--indent <I>      indent by I each level\n"
              "    --ascii-fall <A>  use A as the ascii fallback character\n"
              " -f/--fields [F]      format fields as columns in the given order\n"
              "                        F: blocks,bytes,index,ts,addr,name,stl,splat,type,\n"
              "                           lock,chain,file,xxh32,xxh3\n"
              " -q/--quiet           omit normal output\n"
              " -?/--help            show this help text, then exit\n"
              "\n"
              "Available commands: ('./zt [command] --help')\n"
              "      ls: list things\n"
              "     cat: concatenate\n");
}

TEST_F(HelpTest, SelectedCommandListsOnlyItsOptions) {
    parse({"ls", "--help"});
    EXPECT_EQ(print(&Getopt::printHelp),
              " -R/--recurse  list subdirectories recursively\n"
              " -?/--help     show this help text, then exit\n");
}

TEST_F(HelpTest, UsageLinesNameTheInvocationWord) {
    parse({"-q"});
    EXPECT_EQ(print(&Getopt::printUsage), "usage: ./zt [COMMAND] [OPTION]... FILE...\n\n  > lists things\n\n");
    EXPECT_EQ(print(&Getopt::printShortUsage), "usage: ./zt [COMMAND] [OPTION]... FILE...\n");
    EXPECT_EQ(print(&Getopt::printTryHelp), "Try './zt --help' for more information.\n");
}

TEST_F(HelpTest, UsageLinesOfASelectedCommand) {
    parse({"ls", "-x"});
    EXPECT_EQ(print(&Getopt::printUsage), "usage: ./zt ls [OPTION...] FILE...\n\n  > 'zt ls' lists\n\n");
    EXPECT_EQ(print(&Getopt::printShortUsage), "usage: ./zt ls [OPTION...] FILE...\n");
    EXPECT_EQ(print(&Getopt::printTryHelp), "Try './zt ls --help' for more information.\n");
}

TEST_F(HelpTest, CommandWithoutOptionsOrUsage) {
    root.addCommand("bare", "", false).setUsage("");  // an empty usage text changes nothing
    parse({"bare"});
    EXPECT_EQ(print(&Getopt::printUsage), "usage: ./zt bare \n");
    EXPECT_EQ(print(&Getopt::printHelp), "");
}

TEST(HelpGroupsTest, TitledGroupsFollowTheDefaultGroupInCreationOrder) {
    Option first('a', "alpha", "first");
    Option second(0, "beta", "second");
    Option third('c', "", "third");
    Option hidden_only('h', "hidden", "");
    hidden_only.hidden();
    Getopt parser;
    parser.addGroup("extra", "Extra options");
    parser.addGroup("quiet", "");
    parser.addOption("extra", second);
    parser.addOption(first);
    parser.addOption("quiet", hidden_only);
    parser.addOption("late", third);
    std::ostringstream out;
    parser.printHelp(out);
    EXPECT_EQ(out.str(),
              " -a/--alpha  first\n"
              "\n"
              "Extra options:\n"
              "    --beta   second\n"
              " -c          third\n");
}

TEST(HelpGroupsTest, ChoicesWrapAndSkipCaretEntries) {
    static constexpr std::string_view kKinds[] = {"aaaaaaaaaaaa", "bbbbbbbbbbbb", "cccccccccccc", "^hidden",
                                                  "dddddddddddd", "eeeeeeeeee",   "ffffffffffff", "gggggggggggg",
                                                  "hhhhhhhhhhhh", "iiiiii",       "jjjjjjjj"};
    Option kind('k', "kind", "the kind");
    kind.argument("K", kArgText, kArgText).choices(kKinds);
    Getopt parser;
    parser.addOption(kind);
    std::ostringstream out;
    parser.printHelp(out);
    // The first line breaks where the counter (column plus the comma to come) passes 76;
    // on continuation lines the comma is not counted, so they may reach column 77.
    const std::string indent(21, ' ');
    EXPECT_EQ(out.str(), " -k/--kind [K]  the kind\n" + std::string(18, ' ') +
                             "K: aaaaaaaaaaaa,bbbbbbbbbbbb,cccccccccccc,dddddddddddd,\n" + indent +
                             "eeeeeeeeee,ffffffffffff,gggggggggggg,hhhhhhhhhhhh,iiiiii,\n" + indent + "jjjjjjjj\n");
}

}  // namespace
}  // namespace forge::getopt
