#include "platter/render/petscii_render_txt.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platter {
namespace {

std::string renderText(const std::vector<std::uint8_t>& bytes, Charset set) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.setData(bytes).setCharset(set).interpret();
    PetsciiRenderTxt render;
    render.setDocument(true).setAppName("zt").setBackground(6);
    render.begin().renderSection(screen, "").end();
    return render.str();
}

TEST(PetsciiRenderTxt, LettersFollowTheCharacterSet) {
    EXPECT_EQ(renderText({'A', 'B', '1', 13, 'C'}, Charset::upperGraphics), "AB1\nC\n");
    EXPECT_EQ(renderText({'A', 'B', '1', 13, 'C'}, Charset::lowerUpper), "ab1\nc\n");
    EXPECT_EQ(renderText({0xC1, 'a'}, Charset::lowerUpper), "AA\n");
}

TEST(PetsciiRenderTxt, CharactersWithoutAsciiBecomeBackquotes) {
    // pound, up arrow, a graphics character; the reverse bit is ignored.
    EXPECT_EQ(renderText({0x5C, 0x5E, 0xA6, 18, 'Z'}, Charset::upperGraphics), "```Z\n");
}

TEST(PetsciiRenderTxt, BlanksAreSpacesAndSkipRowsPrintNothing) {
    // Cursor right leaves an empty cell; CLR leaves a skip row.
    EXPECT_EQ(renderText({'A', 29, 0xA0, 'B', 13, 147, 'C'}, Charset::upperGraphics), "A  B\nC\n");
}

}  // namespace
}  // namespace platter
