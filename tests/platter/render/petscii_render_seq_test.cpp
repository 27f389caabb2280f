#include "platter/render/petscii_render_seq.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platter {
namespace {

std::vector<std::uint8_t> renderSeq(const PetsciiScreen& screen) {
    PetsciiRenderSeq render;
    render.begin().renderSection(screen, "").end();
    const std::string text = render.str();
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> renderSeq(const std::vector<std::uint8_t>& bytes, Charset set) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.setData(bytes).setCharset(set).interpret();
    return renderSeq(screen);
}

using Bytes = std::vector<std::uint8_t>;

TEST(PetsciiRenderSeq, FirstGlyphIsPrecededByItsSetAndColour) {
    EXPECT_EQ(renderSeq({'A'}, Charset::upperGraphics), (Bytes{142, 154, 'A', 13}));
    EXPECT_EQ(renderSeq({'A'}, Charset::lowerUpper), (Bytes{14, 154, 'A', 13}));
}

TEST(PetsciiRenderSeq, ReverseSwitchesAroundReversedCells) {
    // Reversed "AB" then a normal "C", all white.
    EXPECT_EQ(renderSeq({5, 18, 'A', 'B', 146, 'C'}, Charset::upperGraphics),
              (Bytes{18, 142, 5, 'A', 'B', 146, 'C', 13}));
}

TEST(PetsciiRenderSeq, ColourChangesWaitForTheNextGlyph) {
    // A blank in red between white glyphs: the red code comes before "B".
    EXPECT_EQ(renderSeq({5, 'A', 28, ' ', 'B'}, Charset::upperGraphics), (Bytes{142, 5, 'A', ' ', 28, 'B', 13}));
}

TEST(PetsciiRenderSeq, FullRowGetsNoReturn) {
    const Bytes text(40, 'X');
    Bytes expected{142, 154};
    expected.insert(expected.end(), 40, 'X');
    EXPECT_EQ(renderSeq(text, Charset::upperGraphics), expected);
}

TEST(PetsciiRenderSeq, SkipRowIsClearScreenAlone) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.rowAt(0).skip = 1;
    EXPECT_EQ(renderSeq(screen), (Bytes{147}));
}

TEST(PetsciiRenderSeq, ReversedRowStartWritesReverseOn) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.cellAt(0, 0) = {0xE041, 1};
    screen.cellAt(1, 0) = {0xE242, 1};
    // Each row starts with reverse off, as after RETURN: no 146 for the
    // first row, and the reversed second row gets 18 from its row start.
    EXPECT_EQ(renderSeq(screen), (Bytes{142, 5, 'A', 13, 18, 'B', 13}));
}

}  // namespace
}  // namespace platter
