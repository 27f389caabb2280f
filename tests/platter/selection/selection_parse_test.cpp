#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platter/selection/cbm_selection.hpp"
#include "tests/platter/selection/joined_messages.hpp"

namespace platter {
namespace {

using K = SelectorKind;

// The tree as text: kind, "^" when negated, the node text, children in braces.
std::string shape(const std::vector<file_selector>& nodes) {
    std::string out;
    for (const file_selector& node : nodes) {
        if (!out.empty()) out += ' ';
        out += std::to_string(static_cast<unsigned>(node.kind));
        if (node.negated) out += '^';
        out += "'" + node.text + "'";
        if (node.nested) out += "{" + shape(node.children) + "}";
    }
    return out;
}

using test_support::joined;

enum class Context { Nesting, NoNesting, Ls, Ch };

struct parse_case_t {
    const char* selector;
    Context context;
    bool ok;
    const char* shapeOrMessage;  // the tree when ok, else the one message
};

const parse_case_t kCases[] = {
    {"", Context::Nesting, true, ""},
    {"*", Context::Nesting, true, "1'*'"},
    {"a*;b*", Context::Nesting, true, "1'a*' 1'b*'"},
    {";a", Context::Nesting, false, "error: empty entry found in selection list ';a'\n"},
    {"a;;b", Context::Nesting, false, "error: empty entry found in selection list 'a;;b'\n"},
    {"a;", Context::Nesting, true, "1'a'"},
    {"a:;b", Context::Nesting, false, "error: terminating colon found without nested selection.\n"},
    {"a:b::", Context::Nesting, false, "error: terminating colon found without nested selection.\n"},
    {"a:b::x", Context::Nesting, false, "error: terminating colon found without nested selection.\n"},
    {"a:b:x", Context::Nesting, true, "1'a:'{1'b:'{1'x'}}"},
    {"part:game:;x*", Context::Nesting, true, "1'part:'{1'game'} 1'x*'"},
    {"outer:inner:file::;y", Context::Nesting, true, "1'outer:'{1'inner:'{1'file'}} 1'y'"},
    {"a:b:c::x", Context::Nesting, false, "error: missing semicolon after terminating colon.\n"},
    {"a:b:c::", Context::Nesting, false, "error: missing semicolon after terminating colon.\n"},
    {"{a:b};c", Context::Nesting, false, "error: while parsing '{a:b}'\n"},
    {"{{", Context::Nesting, false, "error: cannot nest open braces\n"},
    {"}", Context::Nesting, false, "error: close brace found without paired open brace\n"},
    {"{a", Context::Nesting, true, "1'{a'"},
    {"{xyzzy}", Context::Nesting, false, "error: while parsing '{xyzzy}'\n"},
    {"^{xyzzy}", Context::Nesting, false, "error: while parsing '{xyzzy}'\n"},
    {"^", Context::Nesting, false, "error: empty negation selector found in selection list '^'\n"},
    {"^*.seq", Context::Nesting, true, "1^'^*.seq'"},
    {"$", Context::Nesting, true, "6'$'"},
    {"$~", Context::Nesting, true, "6'$~'"},
    {"$x", Context::Nesting, false, "error: unexpected characters found after directory selection: '$x'\n"},
    {"^$x", Context::Nesting, false, "error: unexpected characters found after directory selection: '^$x'\n"},
    {"%", Context::Nesting, false, "error: selection missing a track number: '%'\n"},
    {"%18", Context::Nesting, true, "4'%18'"},
    {"%x", Context::Nesting, false, "error: invalid track number: '%x'\n"},
    {"%18.0", Context::Nesting, true, "5'%18.0'"},
    {"%~18.0", Context::Nesting, true, "5'%~18.0'"},
    {"%18.1,2,5,19.0", Context::Nesting, true, "5'%18.1,2,5,19.0'"},
    {"%18,19", Context::Nesting, false,
     "error: the first entry of a chain list must be a starting track and sector pair; found: '18'\n"},
    {"%.5", Context::Nesting, false, "error: selection missing a track number: '.5'\n"},
    {"%18.", Context::Nesting, false, "error: selection missing a sector number: '18.'\n"},
    {"%18.x", Context::Nesting, false, "error: invalid sector number: '18.x'\n"},
    {"%18.1,x", Context::Nesting, false, "error: invalid sector number: 'x'\n"},
    {"%18.1.2", Context::Nesting, false, "error: unexpected characters found in selection: '%18.1.2'\n"},
    {"%%18.1", Context::Nesting, true, "7'%%18.1'"},
    {"%%18", Context::Nesting, false,
     "error: chain notation ('%%') requires a starting track and sector pair; found: '%%18'\n"},
    {"%%.1", Context::Nesting, false, "error: selection missing a track number: '%%.1'\n"},
    {"%%18.", Context::Nesting, false, "error: selection missing a sector number: '%%18.'\n"},
    {"%%x.1", Context::Nesting, false, "error: invalid track number: '%%x.1'\n"},
    {"%%18.y", Context::Nesting, false, "error: invalid sector number: '%%18.y'\n"},
    {"%$12", Context::Nesting, true, "4'%$12'"},
    {"#", Context::Nesting, false, "error: selection missing an index number: '#'\n"},
    {"#x", Context::Nesting, false, "error: invalid index number: '#x'\n"},
    {"#1-x", Context::Nesting, false, "error: invalid ending index number: '#1-x'\n"},
    {"#2-1", Context::Nesting, false, "error: index range makes no sense: '#2-1'\n"},
    {"#1-2-3", Context::Nesting, false, "error: unexpected characters found in selection: '#1-2-3'\n"},
    {"#$10", Context::Nesting, true, "2'#$10'"},
    {"#3-", Context::Nesting, true, "2'#3-'"},
    {"#-4", Context::Nesting, true, "2'#-4'"},
    {"#1-3,5", Context::Nesting, true, "2'#1-3,5'"},
    {"#5,1-3", Context::Nesting, true, "3'#5,1-3'"},
    {"#3:x", Context::Nesting, true, "2'#3:'{1'x'}"},
    {"#1-3:x", Context::Nesting, false, "error: selecting by index range does not support nesting\n"},
    {"%18:x", Context::Nesting, false, "error: selecting track data does not support nesting\n"},
    {"$:x", Context::Nesting, false, "error: selecting directory chain data does not support nesting\n"},
    // Numbers that do not fit 16 bits are refused, not cut to their low bits.
    {"%65554", Context::Nesting, false, "error: invalid track number: '%65554'\n"},
    {"%$FFFF", Context::Nesting, true, "4'%$FFFF'"},
    {"%18.65536", Context::Nesting, false, "error: invalid sector number: '18.65536'\n"},
    {"%%65536.0", Context::Nesting, false, "error: invalid track number: '%%65536.0'\n"},
    {"#65536", Context::Nesting, false, "error: invalid index number: '#65536'\n"},
    {"#1-65536", Context::Nesting, false, "error: invalid ending index number: '#1-65536'\n"},
    // Left to right: the first failure is the only message.
    {"%x;{{", Context::Nesting, false, "error: invalid track number: '%x'\n"},
    {"a:b", Context::NoNesting, false, "error: deep selection is disabled in this context\n"},
    {"part:", Context::NoNesting, false, "error: deep selection is disabled in this context\n"},
    {"{a:b}", Context::NoNesting, false, "error: while parsing '{a:b}'\n"},
    {"%18", Context::Ls, false, "error: selecting track data not supported in this context\n"},
    {"%18.0", Context::Ls, false, "error: selecting block data not supported in this context\n"},
    {"$", Context::Ls, false, "error: selecting directory chain data not supported in this context\n"},
    {"%%18.0", Context::Ls, false, "error: selecting block chain data not supported in this context\n"},
    {"*;#1-2", Context::Ls, true, "1'*' 3'#1-2'"},
    {"*", Context::Ch, false, "error: selecting by filename not supported in this context\n"},
    {"#1", Context::Ch, false, "error: selecting by index not supported in this context\n"},
    {"#1-2", Context::Ch, false, "error: selecting by index range not supported in this context\n"},
    {"$", Context::Ch, false, "error: selecting directory chain data not supported in this context\n"},
    {"%%18.0", Context::Ch, false, "error: selecting block chain data not supported in this context\n"},
    {"%18.1;%18", Context::Ch, true, "5'%18.1' 4'%18'"},
};

void configure(CbmSelection& selection, Context context) {
    switch (context) {
        case Context::Nesting: break;
        case Context::NoNesting: selection.setNestingDisabled(true); break;
        case Context::Ls:
            selection.refuseKind(K::DirectoryChain)
                .refuseKind(K::BlockChain)
                .refuseKind(K::BlockData)
                .refuseKind(K::TrackData);
            break;
        case Context::Ch:
            selection.setNestingDisabled(true)
                .refuseKind(K::ByFilename)
                .refuseKind(K::DirectoryChain)
                .refuseKind(K::BlockChain)
                .refuseKind(K::ByIndex)
                .refuseKind(K::ByIndexRange);
            break;
    }
}

TEST(SelectionParse, EveryRowOfTheMessageTable) {
    for (const parse_case_t& row : kCases) {
        SCOPED_TRACE(std::string("selector '") + row.selector + "'");
        CbmSelection selection;
        configure(selection, row.context);
        const bool ok = selection.parseSelection(row.selector);
        EXPECT_EQ(ok, row.ok);
        EXPECT_EQ(selection.isValid(), row.ok);
        if (row.ok) {
            EXPECT_EQ(shape(selection.selectors()), row.shapeOrMessage);
            EXPECT_TRUE(selection.errors().empty()) << joined(selection.errors());
        } else {
            ASSERT_EQ(selection.errors().size(), 1u) << joined(selection.errors());
            EXPECT_EQ(selection.errors().front(), row.shapeOrMessage);
        }
    }
}

TEST(SelectionParse, TrailingColonWarnsButParses) {
    CbmSelection selection;
    ASSERT_TRUE(selection.parseSelection("part:"));
    EXPECT_EQ(shape(selection.selectors()), "1'part'");
    EXPECT_EQ(joined(selection.errors()), "warning: trailing colon ignored.\n");

    ASSERT_TRUE(selection.parseSelection("a:b:"));
    EXPECT_EQ(shape(selection.selectors()), "1'a:'{1'b'}");
    EXPECT_EQ(joined(selection.errors()), "warning: trailing colon ignored.\n");
}

TEST(SelectionParse, AbsurdNestingIsRefused) {
    CbmSelection selection;
    std::string text;
    for (std::size_t i = 0; i < CbmSelection::kMaxParseDepth; ++i) text += "A:";
    EXPECT_TRUE(selection.parseSelection(text + "*"));
    for (int i = 0; i < 60000; ++i) text += "A:";
    EXPECT_FALSE(selection.parseSelection(text + "*"));
    EXPECT_EQ(joined(selection.errors()), "error: selection nested too deeply\n");
}

TEST(SelectionParse, NodesCarryTheirNumbers) {
    CbmSelection selection;
    ASSERT_TRUE(selection.parseSelection("%18.1,2,5,19.0;%%~0x11.%101;%$12;#5,1-3;#3-;$~"));
    const auto& nodes = selection.selectors();
    const std::vector<track_sector_t> blocks{makeBlock(18, 1), makeBlock(18, 2), makeBlock(18, 5), makeBlock(19, 0)};
    EXPECT_EQ(nodes[0].blocks, blocks);
    EXPECT_EQ(nodes[0].first, 19u);
    EXPECT_EQ(nodes[0].second, 0u);
    EXPECT_TRUE(nodes[0].wholeBlocks);
    EXPECT_EQ(nodes[1].first, 17u);
    EXPECT_EQ(nodes[1].second, 5u);
    EXPECT_FALSE(nodes[1].wholeBlocks);
    EXPECT_EQ(nodes[2].first, 18u);
    EXPECT_EQ(nodes[3].indices, (std::set<std::uint64_t>{1, 2, 3, 5}));
    EXPECT_EQ(nodes[3].first, 1u);  // the last item's range
    EXPECT_EQ(nodes[3].second, 3u);
    EXPECT_EQ(nodes[4].indices, (std::set<std::uint64_t>{3}));
    EXPECT_FALSE(nodes[5].wholeBlocks);
}

TEST(SelectionParse, NamePatternsArePetsciiInTheUpperCaseSet) {
    CbmSelection selection;
    ASSERT_TRUE(selection.parseSelection("HELLO*;^{clr}?;hi"));
    const auto& nodes = selection.selectors();
    EXPECT_EQ(nodes[0].name, "HELLO*");
    EXPECT_FALSE(nodes[0].negated);
    EXPECT_EQ(nodes[1].name, "\x93?");
    EXPECT_TRUE(nodes[1].negated);
    EXPECT_EQ(nodes[2].name, "\xC8\xC9");
}

TEST(SelectionParse, ReparsingStartsAfresh) {
    CbmSelection selection;
    EXPECT_FALSE(selection.parseSelection("a:;b"));
    EXPECT_FALSE(selection.errors().empty());
    ASSERT_TRUE(selection.parseSelection("x"));
    EXPECT_EQ(shape(selection.selectors()), "1'x'");
    EXPECT_TRUE(selection.errors().empty());
    EXPECT_EQ(selection.text(), "x");
    selection.clear();
    EXPECT_EQ(selection.text(), "*");
    EXPECT_TRUE(selection.selectors().empty());
    EXPECT_FALSE(selection.isValid());
}

TEST(SelectionWalk, PreorderVisitsNestedChildrenBeforeLaterSiblings) {
    CbmSelection selection;
    ASSERT_TRUE(selection.parseSelection("A:B:C::;D;E:F"));
    std::string order;
    selection.walkPreorder([&](const file_selector& node) {
        order += node.name;
        return true;
    });
    EXPECT_EQ(order, "ABCDEF");

    order.clear();
    EXPECT_FALSE(selection.walkPreorder([&](const file_selector& node) {
        order += node.name;
        return node.name != "C";
    }));
    EXPECT_EQ(order, "ABC");
}

TEST(SelectionWalk, ListsComeFirstInFirstOut) {
    CbmSelection selection;
    ASSERT_TRUE(selection.parseSelection("A:X:Y::;B:Z"));
    std::vector<std::string> lists;
    selection.walkLists([&](const CbmSelection::node_list& list) {
        EXPECT_EQ(&list, &selection.currentList());
        std::string names;
        for (const file_selector& node : list) names += node.name;
        lists.push_back(names);
        return true;
    });
    EXPECT_EQ(lists, (std::vector<std::string>{"AB", "X", "Z", "Y"}));
    EXPECT_EQ(&selection.currentList(), &selection.selectors());
}

}  // namespace
}  // namespace platter
