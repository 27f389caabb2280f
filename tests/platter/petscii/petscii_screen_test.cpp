#include "platter/petscii/petscii_screen.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

PetsciiScreen run(const Bytes& data, bool wholeScreen = false, Charset charset = Charset::upperGraphics) {
    PetsciiScreen screen(40, 25, 14, wholeScreen);
    screen.setData(data).setCharset(charset).interpret();
    return screen;
}

Bytes shortLines(int count) {
    Bytes data;
    for (int i = 0; i < count; ++i) data.insert(data.end(), {'L', 13});
    return data;
}

TEST(PetsciiScreen, PrintsAndWrapsAtFortyColumns) {
    const auto screen = run(Bytes(41, 'A'));
    ASSERT_EQ(screen.rowCount(), 2u);
    EXPECT_EQ(screen.rows()[0].cells.size(), 40u);
    EXPECT_EQ(screen.rows()[1].cells.size(), 1u);
    EXPECT_EQ(screen.rows()[1].cells[0], (petscii_cell_t{0xE041, 14}));
    EXPECT_EQ(screen.cursorRow(), 1u);
    EXPECT_EQ(screen.cursorColumn(), 1u);
    EXPECT_EQ(screen.maxRowLength(), 40u);
}

TEST(PetsciiScreen, ColoursReverseAndCharset) {
    const auto screen = run({'A', 0x1C, 'B', 0x81, 18, 'C', 13, 'D', 146, 14, 'E'});
    const auto& row0 = screen.rows()[0].cells;
    EXPECT_EQ(row0[0], (petscii_cell_t{0xE041, 14}));
    EXPECT_EQ(row0[1], (petscii_cell_t{0xE042, 2}));
    EXPECT_EQ(row0[2], (petscii_cell_t{0xE243, 8}));
    const auto& row1 = screen.rows()[1].cells;
    EXPECT_EQ(row1[0].glyph, 0xE044);  // RETURN turned reverse off
    EXPECT_EQ(row1[1].glyph, 0xE145);  // lower/upper-case set
    EXPECT_EQ(run({'A'}, false, Charset::lowerUpper).rows()[0].cells[0].glyph, 0xE141);
}

TEST(PetsciiScreen, CursorMoves) {
    auto screen = run({'A', 'B', 157, 157, 'X', 29, 'Y', 17, 'Z', 145, 145, 'W'});
    const auto& row0 = screen.rows()[0].cells;
    ASSERT_EQ(row0.size(), 5u);
    EXPECT_EQ(row0[0].glyph, 0xE058);
    EXPECT_EQ(row0[1].glyph, 0xE042);
    EXPECT_EQ(row0[2].glyph, 0xE059);
    EXPECT_EQ(row0[3].glyph, 0);       // stepped over, never written
    EXPECT_EQ(row0[4].glyph, 0xE057);  // cursor up stops at the window's top
    EXPECT_EQ(screen.rows()[1].cells[3].glyph, 0xE05A);
    // Cursor left at column 0 of the top row goes to column 39 of the same row.
    screen = run({157, 'Q'});
    EXPECT_EQ(screen.rows()[0].cells.size(), 40u);
    EXPECT_EQ(screen.rows()[0].cells[39].glyph, 0xE051);
}

TEST(PetsciiScreen, HomeGoesToTheWindowTop) {
    Bytes data = shortLines(30);
    data.insert(data.end(), {19, 'H'});
    const auto screen = run(data);
    EXPECT_EQ(screen.top(), 6u);
    EXPECT_EQ(screen.rows()[6].cells[0].glyph, 0xE048);
}

TEST(PetsciiScreen, Delete) {
    auto screen = run({'A', 'B', 'C', 157, 157, 20});
    EXPECT_EQ(screen.rows()[0].cells.size(), 2u);
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0xE042);
    EXPECT_EQ(screen.cursorColumn(), 0u);
    screen = run({20, 'A'});  // top row, column 0: nothing happens
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0xE041);
    // Past the end of a short row there is no cell to remove.
    screen = run({'A', 29, 29, 29, 20, 'B'});
    EXPECT_EQ(screen.rows()[0].cells.size(), 4u);
    EXPECT_EQ(screen.rows()[0].cells[3].glyph, 0xE042);
    // Column 0 below the top wraps to column 39 of the row above.
    screen = run({'A', 13, 20, 'B'});
    EXPECT_EQ(screen.rows()[0].cells.size(), 40u);
    EXPECT_EQ(screen.rows()[0].cells[39].glyph, 0xE042);
}

TEST(PetsciiScreen, ClearWithoutWholeScreenLeavesMarker) {
    const auto screen = run({'A', 13, 'B', 13, 147, 'C'});
    ASSERT_EQ(screen.rowCount(), 4u);
    EXPECT_EQ(screen.rows()[2].skip, 1);
    EXPECT_TRUE(screen.rows()[2].cells.empty());
    EXPECT_EQ(screen.rows()[3].cells[0].glyph, 0xE043);
    EXPECT_EQ(screen.skippedRowCount(), 1u);
    const auto twice = run({147, 147, 'X'});
    // A clear on a cleared screen reuses the marker.
    ASSERT_EQ(twice.rowCount(), 2u);
    EXPECT_EQ(twice.rows()[0].skip, 1);
    EXPECT_EQ(twice.rows()[1].cells[0].glyph, 0xE058);
}

TEST(PetsciiScreen, ClearWithWholeScreen) {
    const auto screen = run({'A', 13, 'B', 147, 'C'}, true);
    ASSERT_EQ(screen.rowCount(), 2u);
    EXPECT_EQ(screen.rows()[0].cells.size(), 1u);
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0xE043);
    EXPECT_TRUE(screen.rows()[1].cells.empty());
}

TEST(PetsciiScreen, ClearWithWholeScreenAfterScrollingKeepsLaterText) {
    Bytes data = shortLines(40);
    data.insert(data.end(), {147, 'C'});
    const auto screen = run(data, true);
    ASSERT_LE(screen.rowCount(), 25u);
    ASSERT_FALSE(screen.rows()[0].cells.empty());
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0xE043);
    EXPECT_TRUE(screen.rows()[1].cells.empty());
}

TEST(PetsciiScreen, InsertGrowsTheRow) {
    Bytes data(40, 'A');
    data.insert(data.end(), {145, 19, 29, 148});
    auto screen = run(data);
    // The 40th character wrapped the cursor to row 1; cursor up and HOME bring it back.
    ASSERT_EQ(screen.rows()[0].cells.size(), 41u);
    EXPECT_EQ(screen.rows()[0].cells[1].glyph, 0);
    EXPECT_EQ(screen.rows()[0].cells[2].glyph, 0xE041);
    screen = run({29, 29, 29, 148});
    EXPECT_EQ(screen.rows()[0].cells.size(), 4u);
}

TEST(PetsciiScreen, InsertStopsAtALogicalLine) {
    // HOME, then INST far past a logical line: the row stays bounded and the
    // 'A' pushed past its end is gone.
    Bytes data{'A', 19};
    data.insert(data.end(), 100000, 148);
    const auto screen = run(data);
    const auto& cells = screen.rows()[0].cells;
    ASSERT_EQ(cells.size(), PetsciiScreen::kMaxRowCells);
    for (const auto& cell : cells) EXPECT_EQ(cell.glyph, 0);
}

TEST(PetsciiScreen, WholeScreenKeepsTheLastWindow) {
    Bytes data;
    for (int i = 0; i < 30; ++i) data.insert(data.end(), {static_cast<std::uint8_t>('A' + i % 26), 13});
    const auto screen = run(data, true);
    EXPECT_EQ(screen.rowCount(), 25u);
    EXPECT_EQ(screen.cursorRow(), 24u);
    EXPECT_EQ(screen.top(), 0u);
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0xE000 + 'A' + 5);
}

TEST(PetsciiScreen, CharsetSwitchMarksOnlyWrittenCells) {
    auto screen = run({29, 'A', 14}, true);
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0);
    EXPECT_EQ(screen.rows()[0].cells[1].glyph, 0xE141);
    screen = run({'A', 14, 'B', 142}, true);
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0xE041);
    EXPECT_EQ(screen.rows()[0].cells[1].glyph, 0xE042);
    EXPECT_EQ(screen.charset(), Charset::upperGraphics);
    screen = run({'A', 14, 'B'});  // without the flag earlier cells stay
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0xE041);
    EXPECT_EQ(screen.rows()[0].cells[1].glyph, 0xE142);
    screen = run({29, 'A'});
    screen.toggleCharset();
    EXPECT_EQ(screen.rows()[0].cells[0].glyph, 0);
    EXPECT_EQ(screen.rows()[0].cells[1].glyph, 0xE141);
    EXPECT_EQ(screen.charset(), Charset::lowerUpper);
}

TEST(PetsciiScreen, AccessorsAndReload) {
    PetsciiScreen screen(40, 25, 1, false);
    EXPECT_EQ(screen.maxRowLength(), 0u);
    EXPECT_EQ(screen.cellAt(2, 5).glyph, 0);
    EXPECT_EQ(screen.rowCount(), 3u);
    EXPECT_EQ(screen.rowAt(1).cells.size(), 0u);
    screen.setData(Bytes{'Z'}).setColour(7).interpret();
    EXPECT_EQ(screen.rowCount(), 1u);
    EXPECT_EQ(screen.rows()[0].cells[0], (petscii_cell_t{0xE05A, 7}));
    screen.interpret();  // nothing left to interpret
    EXPECT_EQ(screen.rows()[0].cells.size(), 1u);
}

}  // namespace
}  // namespace platter
