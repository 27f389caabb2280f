#include "platter/render/petscii_render_rtf.hpp"

#include <gtest/gtest.h>

#include <string>

namespace platter {
namespace {

std::string rtfBodyOf(const std::string& document) {
    const std::size_t start = document.find("\\cf15\n");
    return start == std::string::npos ? std::string() : document.substr(start + 6);
}

std::string renderRtf(const PetsciiScreen& screen, std::uint8_t columns) {
    PetsciiRenderRtf render;
    render.setDocument(true).setAppName("zt v1").setBackground(6).setColumns(columns);
    render.begin().renderSection(screen, "").end();
    return render.str();
}

TEST(PetsciiRenderRtf, RowsArePaddedToTheColumnCount) {
    PetsciiScreen screen(40, 25, 14, false);
    for (std::size_t column = 0; column < 10; ++column) screen.cellAt(0, column) = {0xE041, 1};
    std::string padding;
    for (int i = 0; i < 30; ++i) padding += "\\~";
    EXPECT_EQ(rtfBodyOf(renderRtf(screen, 40)), "\\cb7 \\cf2 AAAAAAAAAA" + padding + "\\cb2 \\\n}\n");
}

TEST(PetsciiRenderRtf, ReversedAndGraphicsGlyphsUseTheirCodePoint) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.cellAt(0, 0) = {0xE241, 1};  // reversed A
    screen.cellAt(0, 1) = {0xE0A6, 1};  // graphics
    screen.cellAt(0, 2) = {0xE141, 1};  // lower-case a
    EXPECT_EQ(rtfBodyOf(renderRtf(screen, 0)), "\\cb7 \\cf2 \\u-7615?\\u-8026?a\\cb2 \\\n}\n");
}

TEST(PetsciiRenderRtf, SkipRowWritesOnlyItsRowStart) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.rowAt(0).skip = 1;
    EXPECT_EQ(rtfBodyOf(renderRtf(screen, 40)), "\\cb7 }\n");
}

}  // namespace
}  // namespace platter
