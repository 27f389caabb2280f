#include "platter/render/petscii_render.hpp"

#include <gtest/gtest.h>

#include <string>

namespace platter {
namespace {

// Writes one token per hook, so the order of the calls can be read back.
class RecordingRender : public PetsciiRender {
public:
    bool resetPerRow = false;

protected:
    void writeHeader() override { out() << "[header]"; }
    void beginBody() override { out() << "[body]"; }
    void beginSection(const std::string& title) override { out() << "[section " << title << "]"; }
    bool resetsColourPerRow() const override { return resetPerRow; }
    void rowStart() override { out() << (currentRow()->skip != 0 ? "[skip]" : "[row]"); }
    void glyph(std::uint16_t code) override { out() << "g" << std::hex << code << std::dec; }
    void blank() override { out() << "_"; }
    void foreground(std::uint8_t colour) override { out() << "f" << unsigned{colour}; }
    void rowEnd() override { out() << "[end]"; }
    void endSection(const std::string& title) override { out() << "[/section " << title << "]"; }
    void endBody() override { out() << "[/body]"; }
    void writeFooter() override { out() << "[footer]"; }
};

PetsciiScreen emptyScreen() { return PetsciiScreen(40, 25, 14, false); }

void put(PetsciiScreen& screen, std::size_t row, std::size_t column, std::uint16_t glyph, std::uint8_t colour) {
    screen.cellAt(row, column) = petscii_cell_t{glyph, colour};
}

std::string renderOnce(RecordingRender& render, const PetsciiScreen& screen) {
    render.begin().renderSection(screen, "t").end();
    return render.str();
}

TEST(PetsciiRender, EmptyScreenRendersOnlyTheFraming) {
    RecordingRender render;
    render.setDocument(true).setBody(true).setSections(true);
    EXPECT_EQ(renderOnce(render, emptyScreen()), "[header][body][section t][/section t][/body][footer]");
}

TEST(PetsciiRender, SkipRowGetsOnlyItsRowStart) {
    PetsciiScreen screen = emptyScreen();
    put(screen, 0, 0, 0xE041, 3);
    screen.rowAt(1).skip = 1;
    put(screen, 2, 0, 0xE042, 3);
    RecordingRender render;  // all framing flags off
    EXPECT_EQ(renderOnce(render, screen), "[row]f3ge041[end][skip][row]ge042[end]");
}

TEST(PetsciiRender, ColourIsWrittenOnceBeforeTheGlyphThatNeedsIt) {
    PetsciiScreen screen = emptyScreen();
    put(screen, 0, 0, 0xE041, 3);
    put(screen, 0, 1, 0xE042, 3);
    put(screen, 0, 2, 0xE043, 3);
    put(screen, 0, 3, 0xE020, 5);  // a blank carries the change on
    put(screen, 0, 4, 0xE044, 5);
    put(screen, 0, 5, 0xE045, 16);  // no colour of its own
    RecordingRender render;
    EXPECT_EQ(renderOnce(render, screen), "[row]f3ge041ge042ge043_f5ge044ge045[end]");
}

TEST(PetsciiRender, ColourStateCarriesAcrossRowsUnlessReset) {
    PetsciiScreen screen = emptyScreen();
    put(screen, 0, 0, 0xE041, 7);
    put(screen, 1, 0, 0xE042, 7);
    RecordingRender carried;
    EXPECT_EQ(renderOnce(carried, screen), "[row]f7ge041[end][row]ge042[end]");
    RecordingRender reset;
    reset.resetPerRow = true;
    EXPECT_EQ(renderOnce(reset, screen), "[row]f7ge041[end][row]f7ge042[end]");
}

TEST(PetsciiRender, BlanksAreCodeZeroAndTheUnreversedSpaces) {
    RecordingRender render;
    for (const int code : {0x0000, 0xE020, 0xE0A0, 0xE0E0, 0xE120, 0xE1A0, 0xE1E0})
        EXPECT_TRUE(render.isBlank(static_cast<std::uint16_t>(code))) << std::hex << code;
    for (const int code : {0xE220, 0xE2A0, 0xE320, 0xE041, 0xE021})
        EXPECT_FALSE(render.isBlank(static_cast<std::uint16_t>(code))) << std::hex << code;
}

}  // namespace
}  // namespace platter
