#include "app/command_tree.hpp"

#include "tests/support/in_child.hpp"
#include "app/options.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace app {
namespace {

struct option_case_t {
    const char* long_name;
    char letter;        // 0: long name only
    const char* value;  // an accepted argument, or null for options without one
    Option* option;
};

// Every option with its letter and an argument it accepts.
// clang-format off
const option_case_t kOptions[] = {
    {"help", '?', nullptr, &g_option_help}, {"version", 0, nullptr, &g_option_version},
    {"license", 0, "xxhash", &g_option_license}, {"verbose", 'v', nullptr, &g_option_verbose},
    {"quiet", 'q', nullptr, &g_option_quiet}, {"debug", 0, "$10", &g_option_debug},
    {"recurse", 'R', nullptr, &g_option_recurse}, {"deep", 'D', nullptr, &g_option_deep},
    {"indent", 't', "2", &g_option_indent}, {"relative", 'r', nullptr, &g_option_relative},
    {"case", 0, "lower", &g_option_case}, {"lowercase", 'c', nullptr, &g_option_lowercase},
    {"unicode", 'U', nullptr, &g_option_unicode}, {"ascii", 0, nullptr, &g_option_ascii},
    {"ascii-fall", 0, "_", &g_option_ascii_fall}, {"columns", 0, "name,ffid", &g_option_columns},
    {"fields", 'f', "blocks,xxh3", &g_option_fields}, {"long", 'l', nullptr, &g_option_long},
    {"delim", 'd', ";", &g_option_delim}, {"color", 'C', nullptr, &g_option_color},
    {"color-header", 'H', nullptr, &g_option_color_header}, {"almost-all", 'A', nullptr, &g_option_almost_all},
    {"human", 'h', nullptr, &g_option_human}, {"zeropad-ts", 0, nullptr, &g_option_zeropad_ts},
    {"Xcolor", 0, nullptr, &g_option_xcolor}, {"Xfree", 0, nullptr, &g_option_xfree},
    {"Xheader", 0, nullptr, &g_option_xheader}, {"Xpath", 0, nullptr, &g_option_xpath},
    {"scale", 's', "2", &g_option_scale}, {"bg", 0, "0", &g_option_bg}, {"fg", 0, "15", &g_option_fg},
    {"track", 'T', "18", &g_option_track}, {"Xerr", 'e', nullptr, &g_option_xerr}, {"bam", 0, nullptr, &g_option_bam},
    {"legend", 0, nullptr, &g_option_legend}, {"errors", 'E', nullptr, &g_option_errors},
    {"three", '3', nullptr, &g_option_three}, {"one", '1', nullptr, &g_option_one},
    {"free", 'f', nullptr, &g_option_free}, {"four", '4', nullptr, &g_option_four},
    {"block", 'B', nullptr, &g_option_block}, {"unz", 'z', nullptr, &g_option_unz},
    {"error", 'e', "%101", &g_option_error}, {"new", 'N', "ramdos", &g_option_new},
    {"out", 'o', "out.reu", &g_option_out}, {"separators", 'S', nullptr, &g_option_separators},
    {"headers", 'H', nullptr, &g_option_headers}, {"max-count", 'm', "3", &g_option_max_count},
    {"count", 'c', nullptr, &g_option_count}, {"no-filename", 'h', nullptr, &g_option_no_filename},
    {"with-matches", 'l', nullptr, &g_option_with_matches}, {"without-match", 'L', nullptr, &g_option_without_match},
    {"byte-offset", 'b', nullptr, &g_option_byte_offset}, {"pattern-ascii", 'a', nullptr, &g_option_pattern_ascii},
    {"pattern-petscii", 'p', nullptr, &g_option_pattern_petscii},
    {"pattern-hex", 'h', nullptr, &g_option_pattern_hex},
};
// clang-format on

struct parser_case_t {
    const char* command;  // "" for the root
    std::vector<std::string> options;
};

const std::vector<std::string> kLsOptions = {
    "recurse", "deep",         "indent", "relative",   "color", "lowercase",  "unicode", "ascii", "ascii-fall",
    "fields",  "long",         "delim",  "almost-all", "human", "zeropad-ts", "Xcolor",  "Xfree", "Xheader",
    "Xpath",   "color-header", "case",   "columns",    "quiet", "help",       "debug",
};

std::vector<std::string> rootOptions() {
    std::vector<std::string> options = kLsOptions;
    options.insert(options.end(), {"version", "license"});
    return options;
}

// clang-format off
const parser_case_t kParsers[] = {
    {"", rootOptions()},
    {"ls", kLsOptions},
    {"view", {"scale", "lowercase", "bg", "fg", "relative", "Xpath", "quiet", "help", "debug"}},
    {"unar", {"quiet", "help", "debug"}},
    {"zip", {"free", "four", "block", "quiet", "help", "debug"}},
    {"unzip", {"unz", "quiet", "help", "debug"}},
    {"diff", {"track", "Xerr", "color", "bam", "legend", "verbose", "help", "debug"}},
    {"fgrep", {"pattern-ascii", "pattern-petscii", "pattern-hex", "byte-offset", "max-count", "count",
               "no-filename", "with-matches", "without-match", "quiet", "help", "debug"}},
    {"file", {"verbose", "help", "debug"}},
    {"bam", {"errors", "one", "three", "verbose", "help", "debug"}},
    {"cat", {"lowercase", "verbose", "help", "debug"}},
    {"ch", {"error", "verbose", "help", "debug"}},
    {"merge", {"new", "separators", "headers", "out", "quiet", "help", "debug"}},
    {"render", {"quiet", "help", "debug"}},
    {"test", {"quiet", "help", "debug"}},
};
// clang-format on

bool accepts(const parser_case_t& parser, const option_case_t& option) {
    return std::find(parser.options.begin(), parser.options.end(), option.long_name) != parser.options.end();
}

std::string parseAndCheck(const parser_case_t& parser, const std::vector<std::string>& words,
                          const std::string& expected_errors, const std::vector<const option_case_t*>& expected_set) {
    buildCommandTree();
    std::vector<const char*> argv = {"zt"};
    if (*parser.command != 0) argv.push_back(parser.command);
    for (const std::string& word : words) argv.push_back(word.c_str());
    g_getopt.parse(static_cast<int>(argv.size()), argv.data());
    std::string failure;
    if (g_getopt.errorText() != expected_errors)
        failure += "errors:\n" + g_getopt.errorText() + "\nexpected:\n" + expected_errors + "\n";
    for (const option_case_t* option : expected_set) {
        if (!option->option->isSet())
            failure += std::string("--") + option->long_name + " not set\n";
        else if (option->value != nullptr && option->option->values().empty())
            failure += std::string("--") + option->long_name + " has no value\n";
    }
    const bool selected = g_getopt.selectedCommand() != nullptr;
    if (selected != (*parser.command != 0)) failure += "command selection is wrong\n";
    return failure;
}

TEST(CommandTreeTest, EveryParserAcceptsItsOwnOptionsByLongName) {
    for (const parser_case_t& parser : kParsers) {
        std::vector<std::string> words;
        std::vector<const option_case_t*> expected;
        for (const option_case_t& option : kOptions) {
            if (!accepts(parser, option)) continue;
            words.push_back(std::string("--") + option.long_name);
            if (option.value != nullptr) words.back() += std::string("=") + option.value;
            expected.push_back(&option);
        }
        EXPECT_TRUE(inChild([&] { return parseAndCheck(parser, words, "", expected); }))
            << "parser '" << parser.command << "'";
    }
}

TEST(CommandTreeTest, ShortLettersSelectTheFirstRegisteredOption) {
    for (const parser_case_t& parser : kParsers) {
        std::vector<std::string> words;
        std::vector<const option_case_t*> expected;
        std::string letters_seen;
        for (const std::string& name : parser.options) {
            const option_case_t& option = *std::find_if(std::begin(kOptions), std::end(kOptions),
                                                        [&](const option_case_t& o) { return name == o.long_name; });
            // In fgrep, -h belongs to --pattern-hex, registered before --no-filename.
            if (option.letter == 0 || letters_seen.find(option.letter) != std::string::npos) continue;
            letters_seen += option.letter;
            words.push_back(std::string{'-', option.letter});
            if (option.value != nullptr) words.push_back(option.value);
            expected.push_back(&option);
        }
        EXPECT_TRUE(inChild([&] { return parseAndCheck(parser, words, "", expected); }))
            << "parser '" << parser.command << "'";
    }
}

TEST(CommandTreeTest, EveryParserRefusesTheOtherOptions) {
    for (const parser_case_t& parser : kParsers) {
        std::vector<std::string> words;
        std::string expected;
        for (const option_case_t& option : kOptions) {
            if (accepts(parser, option)) continue;
            words.push_back(std::string("--") + option.long_name);
            expected += (expected.empty() ? "" : "\n") + std::string(option.long_name) +
                        " is not a valid option (found in: '--" + option.long_name + "')";
        }
        EXPECT_TRUE(inChild([&] { return parseAndCheck(parser, words, expected, {}); }))
            << "parser '" << parser.command << "'";
    }
}

TEST(CommandTreeTest, HiddenOptionsCheckTheirArguments) {
    const parser_case_t& root = kParsers[0];
    EXPECT_TRUE(inChild([&] {
        return parseAndCheck(root, {"--case=mixed", "--debug=x", "--columns=name,bogus", "--license=GHC"},
                             "'mixed' is not a valid choice for --case\n"
                             "--debug must be followed by a valid integer (found: 'x')\n"
                             "'bogus' is not a valid choice for --columns\n"
                             "'GHC' is not a valid choice for --license",
                             {});
    }));
}

}  // namespace
}  // namespace app
