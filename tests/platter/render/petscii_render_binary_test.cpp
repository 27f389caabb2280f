#include "platter/render/petscii_render_binary.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platter {
namespace {

std::string renderBinary(const PetsciiScreen& screen) {
    PetsciiRenderBinary render;
    render.begin().renderSection(screen, "").end();
    return render.str();
}

TEST(PetsciiRenderBinary, CellsArePackedWithoutRowPadding) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.cellAt(0, 0) = {0xE041, 1};
    screen.cellAt(0, 1) = {0xE242, 2};  // reversed: still its PETSCII byte
    screen.cellAt(1, 0) = {0xE143, 0x13};
    screen.cellAt(1, 2) = {0xE220, 4};  // cell 1 stays empty: code 0 is a blank
    const std::string image = renderBinary(screen);
    ASSERT_EQ(image.size(), PetsciiRenderBinary::kImageSize);
    EXPECT_EQ(image.substr(0, 5), std::string("ABC \x20", 5));
    EXPECT_EQ(image.substr(1000, 5), std::string("\x01\x02\x03\x00\x04", 5));
    EXPECT_EQ(image[5], '\0');
}

TEST(PetsciiRenderBinary, TakesTheLastTwentyFiveRows) {
    PetsciiScreen screen(40, 25, 14, false);
    for (std::size_t row = 0; row < 30; ++row) screen.cellAt(row, 0) = {static_cast<std::uint16_t>(0xE041 + row), 1};
    const std::string image = renderBinary(screen);
    EXPECT_EQ(image[0], static_cast<char>(0x41 + 5));
    EXPECT_EQ(image[24], static_cast<char>(0x41 + 29));
    EXPECT_EQ(image[25], '\0');
}

// INST on full rows widens them to 41 cells: 1025 cells in the window, and
// the image must stay 2000 bytes with only colours in its second half.
TEST(PetsciiRenderBinary, CellsBeyondTheThousandthAreDropped) {
    std::vector<std::uint8_t> text;
    for (int row = 0; row < 25; ++row) {
        text.insert(text.end(), 40, 'X');         // wraps to the next row
        text.insert(text.end(), {145, 148, 17});  // up, INST, down
    }
    PetsciiScreen screen(40, 25, 14, false);
    screen.setData(text).interpret();
    ASSERT_EQ(screen.rowCount(), 25u);
    ASSERT_EQ(screen.maxRowLength(), 41u);
    const std::string image = renderBinary(screen);
    ASSERT_EQ(image.size(), PetsciiRenderBinary::kImageSize);
    EXPECT_EQ(image[999], 'X');
    for (std::size_t i = PetsciiRenderBinary::kCells; i < image.size(); ++i)
        ASSERT_LE(static_cast<unsigned char>(image[i]), 15u) << i;
}

}  // namespace
}  // namespace platter
