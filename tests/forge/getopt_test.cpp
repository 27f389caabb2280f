#include "forge/getopt.hpp"

#include "forge/failure.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace forge::getopt {
namespace {

using Words = std::vector<std::string>;

// A small tree: the root knows every option, the command "ls" only -a, -q and -d.
struct TestTree {
    TestTree() {
        quiet.repeatable();
        out.argument("FILE", kArgText);
        num.argument("N", kArgInteger);
        ints.argument("N", kArgList, kArgInteger).requireArgument();
        static constexpr std::string_view kListChoices[] = {"name", "type", "^extra"};
        list.argument("L", kArgList, kArgText).choices(kListChoices);
        maybe.argument("M", kArgText, kArgText);
        def.argument("D", kArgText).defaultValue("dflt");
        help.standalone();
        for (Option* option : {&all, &name, &quiet, &out, &num, &ints, &list, &maybe, &def, &help})
            root.addOption(*option);
        root.addCommand("ls", "list", false).addOption(all).addOption(quiet).addOption(def);
    }

    void parse(const Words& words) {
        std::vector<const char*> argv = {"zt"};
        for (const std::string& word : words) argv.push_back(word.c_str());
        root.parse(static_cast<int>(argv.size()), argv.data());
    }

    Words positional() const { return root.positionalArguments(); }

    Option all{'a', "all", ""}, name{'n', "name", ""}, quiet{'q', "quiet", ""}, out{'o', "out", ""};
    Option num{'x', "num", ""}, ints{'i', "ints", ""}, list{'l', "list", ""}, maybe{'m', "maybe", ""};
    Option def{'d', "def", ""}, help{'?', "help", ""};
    Getopt root;
};

struct message_case_t {
    Words words;
    const char* errors;
};

// Each problem is one line of the error text, and parsing goes on after it.
TEST(GetoptTest, ErrorMessages) {
    const message_case_t cases[] = {
        {{"ls", "-q", "-n", "--out=x"},
         "n is not a valid option (found in: '-n')\nout is not a valid option (found in: '--out=x')"},
        {{"-azq"}, "z is not a valid option (found in: '-azq')"},
        {{"--=x"}, " is not a valid option (found in: '--=x')"},
        {{"-an", "-n", "--name"},
         "-n can only be specified once (found earlier: '-an')\n-n can only be specified once (found earlier: '-an')"},
        {{"-o"}, "-o must be followed by an argument"},
        {{"--out", "-a"}, "--out must be followed by an argument (found: '-a' instead)"},
        {{"-o", "--", "x"}, "-o must be followed by an argument"},
        {{"-o", "-", "x"}, "-o must be followed by an argument (found: '-' instead)"},
        {{"--help=1", "--name=1", "--num="},
         "-n/--name does not accept arguments (found explicit assignnment: '--name=1')\n"
         "argument assignment missing (found: '--num=')"},
        {{"--list", "name,bogus,type"}, "'bogus' is not a valid choice for --list"},
        {{"-x", "12a", "-i", "1,b", "--ints=zz"},
         "-x must be followed by a valid integer (found: '12a')\n"
         "-i must be followed by one or more valid integers (found: 'b' in '1,b')\n"
         "--ints must be followed by a valid integer (found: 'zz')"},
        {{"-x", "bad", "7"}, "-x must be followed by a valid integer (found: 'bad')"},
        {{"-m", "v", "-m"}, "-m can only be specified once (found earlier: '-m')"},
        {{"-lt", "type"}, "t is not a valid option (found in: '-lt')"},
        {{"-f", "-", "-m", "-", "--help", "x"}, "f is not a valid option (found in: '-f')"},
        {{"-qqq", "-x0x1F", "--ints=12,$1f,%101", "--list=^extra,extra", "--list=,a"},
         "',a' is not a valid choice for --list"},
    };
    for (const message_case_t& c : cases) {
        TestTree t;
        t.parse(c.words);
        EXPECT_EQ(t.root.errorText(), c.errors) << ::testing::PrintToString(c.words);
    }
}

TEST(GetoptTest, CommandWordCountsOnlyAsFirstArgument) {
    TestTree t;
    t.parse({"ls", "x.d64", "ls"});
    ASSERT_NE(t.root.selectedCommand(), nullptr);
    EXPECT_EQ(t.root.selectedCommand()->name, "ls");
    EXPECT_EQ(t.positional(), (Words{"x.d64", "ls"}));
    EXPECT_EQ(t.def.values(), Words{"dflt"});  // defaults of the innermost parser
    EXPECT_FALSE(t.def.isSet());

    TestTree other;
    other.parse({"-q", "ls"});
    EXPECT_EQ(other.root.selectedCommand(), nullptr);
    EXPECT_EQ(other.positional(), Words{"ls"});
}

TEST(GetoptTest, RepeatsAndLists) {
    TestTree t;
    t.parse({"-qqq", "--quiet", "-l", "name", "--list=^extra,extra", "-ao", "file", "rest"});
    EXPECT_EQ(t.quiet.count(), 4u);
    EXPECT_EQ(t.quiet.matchedName(), "--quiet");
    EXPECT_EQ(t.list.values(), (Words{"name", "^extra", "extra"}));
    EXPECT_TRUE(t.all.isSet());
    EXPECT_EQ(t.all.count(), 0u);  // only repeatable options count
    EXPECT_EQ(t.out.values(), Words{"file"});
    EXPECT_EQ(t.positional(), Words{"rest"});
}

TEST(GetoptTest, ArgumentsInsideAShortBundle) {
    TestTree t;
    t.parse({"-ofile", "-xa"});
    EXPECT_EQ(t.out.values(), Words{"file"});
    EXPECT_EQ(t.root.errorText(), "-x must be followed by a valid integer (found: 'a')");
    EXPECT_FALSE(t.all.isSet());
}

TEST(GetoptTest, OptionalArgumentTakesTheNextWordUnlessItIsAnOption) {
    TestTree t;
    t.parse({"-m", "-a", "file", "-l", "-", "--out=a=b"});
    EXPECT_TRUE(t.maybe.isSet());
    EXPECT_TRUE(t.maybe.values().empty());
    EXPECT_EQ(t.positional(), (Words{"file", "-"}));
    EXPECT_EQ(t.out.values(), Words{"a=b"});
    EXPECT_EQ(t.root.errorText(), "");
}

TEST(GetoptTest, MissingArgumentAtTheEndSkipsDefaults) {
    TestTree t;
    t.parse({"-o"});
    EXPECT_TRUE(t.def.values().empty());
}

TEST(GetoptTest, ListsSplitAtCommasAfterTheFirstCharacter) {
    const std::pair<const char*, Words> cases[] = {
        {"a,b", {"a", "b"}}, {"a,,b", {"a", "", "b"}}, {"a,", {"a", ""}},
        {",a", {",a"}},      {",a,b", {",a", "b"}},    {"", {""}},
    };
    for (const auto& [text, parts] : cases) {
        Option texts('t', "texts", "");
        texts.argument("T", kArgList);
        Getopt parser;
        parser.addOption(texts);
        const char* words[] = {"zt", "-t", text};
        parser.parse(3, words);
        EXPECT_EQ(texts.values(), parts) << "'" << text << "'";
    }
}

TEST(GetoptTest, FirstRegisteredOptionWinsALetter) {
    Option hex('h', "pattern-hex", ""), no_name('h', "no-filename", "");
    Getopt parser;
    parser.addOption(hex).addOption(no_name);
    const char* words[] = {"zt", "-h", "--no-filename"};
    parser.parse(3, words);
    EXPECT_TRUE(hex.isSet() && no_name.isSet());
    EXPECT_EQ(parser.errorText(), "");
}

TEST(OptionTest, NamesForMessagesAndHelp) {
    EXPECT_EQ(Option('n', "name", "").displayName(), "-n/--name");
    EXPECT_EQ(Option(0, "ascii", "").displayName(), "--ascii");
    EXPECT_EQ(Option('x', "", "").displayName(), "-x");
    EXPECT_EQ(Option(0, "", "").displayName(), "");
    EXPECT_EQ(Option('z', "", "").argument("Z", 3).kindMask(), 0u);  // no such kind: no argument
    Option either('e', "", "");
    EXPECT_EQ(either.argument("E", kArgList, kArgText).kindMask(), kMaskList | kMaskText);
    EXPECT_FALSE(either.isArgumentRequired());  // the two-kind form leaves the argument optional
}

TEST(OptionTest, ValuePastTheEndIsATypedFailureAndResetKeepsTheCount) {
    Option out('o', "out", ""), quiet('q', "quiet", "");
    out.argument("FILE", kArgText);
    quiet.repeatable();
    Getopt parser;
    parser.addOption(out).addOption(quiet);
    const char* words[] = {"zt", "-qqo", "file"};
    parser.parse(3, words);
    EXPECT_EQ(out.value(0), "file");
    try {
        out.value(1);
        FAIL() << "value(1) returned";
    } catch (const forge::Failure& failure) {
        EXPECT_STREQ(failure.what(), "-o/--out has no value 1");
    }
    quiet.reset();
    EXPECT_FALSE(quiet.isSet());
    EXPECT_EQ(quiet.count(), 2u);
}

}  // namespace
}  // namespace forge::getopt
