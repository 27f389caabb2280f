#include "app/command_view.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "forge/scale.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/petscii/palette.hpp"
#include "platter/picture/paint_decode.hpp"
#include "platter/picture/paint_type_ids.hpp"
#include "platter/render/petscii_render_rgb.hpp"
#include "tests/support/files.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace app {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace type_id = platter::fileid::type_id;

// The sixel streams of the output, each decoded by sixel2png.
std::vector<test_support::decoded_png_t> decodeSixels(const std::string& output) {
    std::vector<test_support::decoded_png_t> pictures;
    const test_support::ScratchDir scratch;
    for (std::size_t start = output.find("\x1bP"); start != std::string::npos; start = output.find("\x1bP", start)) {
        const std::size_t end = output.find("\x1b\\", start);
        if (end == std::string::npos) break;
        const std::string name = "p" + std::to_string(pictures.size());
        scratch.write(name + ".six", Bytes(output.begin() + static_cast<std::ptrdiff_t>(start),
                                           output.begin() + static_cast<std::ptrdiff_t>(end + 2)));
        const auto [text, status] =
            test_support::runCommand("/usr/bin/sixel2png -i " + scratch.file(name + ".six").string() + " -o " +
                                     scratch.file(name + ".png").string());
        EXPECT_EQ(status, 0) << text;
        pictures.push_back(test_support::decodePng(test_support::readBytes(scratch.file(name + ".png"))));
        start = end;
    }
    return pictures;
}

// Sixel colours are percentages: each channel may come back up to 3 lower.
::testing::AssertionResult nearlyEqual(const Bytes& decoded, const Bytes& expected) {
    if (decoded.size() != expected.size()) return ::testing::AssertionFailure() << "sizes differ";
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (std::abs(int{decoded[i]} - int{expected[i]}) > 3)
            return ::testing::AssertionFailure()
                   << "byte " << i << ": " << int{decoded[i]} << " vs " << int{expected[i]};
    }
    return ::testing::AssertionSuccess();
}

class CommandViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test_support::haveProgram("/usr/bin/sixel2png")) GTEST_SKIP() << "needs sixel2png (libsixel-bin)";
    }

    int view(const std::string& fixture, const std::string& name) {
        forge::file_t file;
        file.data = test_support::readFixture(fixture);
        return command_.processFile(file, name);
    }

    int render(std::uint32_t type, const Bytes& data, const std::string& name) {
        return command_.renderFile(platter::fileid::file_traits_t{type, 100, {}}, data, name, "");
    }

    std::ostringstream out_;
    CommandView command_{out_};
};

TEST_F(CommandViewTest, PetsciiTextAsTheRgbScreen) {
    ASSERT_EQ(view("view/hello.seq", "hello.seq"), 0);
    EXPECT_EQ(out_.str().rfind("\nhello.seq\n\x1bP9;1;0q", 0), 0u);
    const auto pictures = decodeSixels(out_.str());
    ASSERT_EQ(pictures.size(), 1u);
    ASSERT_EQ(pictures[0].width, 640u);
    ASSERT_EQ(pictures[0].height, 16u);  // the cleared screen takes no room

    platter::PetsciiScreen screen(40, 25, 14, false);
    screen.setData(test_support::readFixture("view/hello.seq")).interpret();
    platter::PetsciiRenderRgb rgb;
    rgb.setBackground(6).begin();
    forge::raster_image_t expected;
    ASSERT_TRUE(rgb.drawScreen(screen, expected));
    EXPECT_TRUE(nearlyEqual(pictures[0].rgb, expected.pixels));
}

TEST_F(CommandViewTest, PaintPicturesTwiceTheirSize) {
    const Bytes koala = test_support::readFixture("picture/gimp_koala.koa");
    ASSERT_EQ(render(type_id::koala_painter, koala, "gimp_koala.koa"), 0);
    const auto pictures = decodeSixels(out_.str());
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].width, 640u);
    EXPECT_EQ(pictures[0].height, 400u);
    forge::raster_image_t picture;
    ASSERT_TRUE(platter::decodePaintPicture(koala, platter::paint_type::koala, picture));
    EXPECT_TRUE(nearlyEqual(pictures[0].rgb, forge::scaleRgb(picture.pixels, 320, 200, 2)));
}

TEST_F(CommandViewTest, CharacterSetSheet) {
    Bytes font = test_support::readFixture("view/font.bin");
    ASSERT_EQ(font.size(), 2050u);
    ASSERT_EQ(render(type_id::charset_1x1, font, "font.bin"), 0);
    font.erase(font.begin(), font.begin() + 2);  // without its load address, drawn alike
    ASSERT_EQ(render(type_id::charset_1x1, font, "font"), 0);
    const auto pictures = decodeSixels(out_.str());
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].width, 256u);
    EXPECT_EQ(pictures[0].height, 256u);
    EXPECT_EQ(pictures[0].rgb, pictures[1].rgb);
    // "I" is glyph 9: its top row 0x3C sets columns 2 to 5, drawn twice the size.
    const auto pixel = [&](std::size_t x, std::size_t y) {
        const std::uint8_t* at = pictures[0].rgb.data() + (y * 256 + x) * 3;
        return forge::rgb_t{at[0], at[1], at[2]};
    };
    const forge::rgb_t ink = platter::g_default_palette.colourAt(14);
    const forge::rgb_t paper = platter::g_default_palette.colourAt(6);
    EXPECT_LE(std::abs(pixel(9 * 16 + 4, 0).blue - ink.blue), 3);
    EXPECT_LE(std::abs(pixel(9 * 16 + 2, 0).blue - paper.blue), 3);
}

TEST_F(CommandViewTest, WhatIsNotShown) {
    EXPECT_EQ(render(type_id::koala_painter, Bytes{0x00, 0x60, 1}, "short.koa"), 0);  // short areas read as 0
    EXPECT_EQ(render(type_id::godot_4bit, Bytes{'G', 'O', 'D'}, "cut.god"), 1);
    EXPECT_EQ(render(type_id::unknown, Bytes{1, 2, 3}, "x.prg"), 1);
    EXPECT_EQ(render(type_id::unknown, Bytes{13, 13, 13}, "empty.seq"), 1);  // not PETSCII text: extension not seq
    EXPECT_EQ(command_.renderFile({type_id::unknown, 0, {}}, Bytes{13, 13, 13}, "empty.seq", "seq"), 1);
    const std::size_t shown = decodeSixels(out_.str()).size();
    EXPECT_EQ(shown, 1u);
}

// What nothing identifies opens by an image extension, never as a wrapped single file.
TEST_F(CommandViewTest, UnidentifiedFilesOpenOnlyAsImages) {
    const test_support::ScratchDir scratch;
    ASSERT_TRUE(command_.parseSelector(""));
    Bytes odd = test_support::readFixture("view/view.d64");
    odd.push_back('x');  // a size no D64 has
    forge::file_t image;
    image.data = odd;
    EXPECT_EQ(command_.processFile(image, scratch.write("odd.d64", odd).string()), 0);
    EXPECT_EQ(decodeSixels(out_.str()).size(), 3u);  // picture, character set, text

    forge::file_t program;
    program.data = {0, 0, 0};
    EXPECT_EQ(command_.processFile(program, scratch.write("x.prg", program.data).string()), 1);
    EXPECT_EQ(decodeSixels(out_.str()).size(), 3u);
}

// 200,000 lines are a picture of 640 x 3,200,000 pixels: refused before it is drawn.
TEST_F(CommandViewTest, TextTooLargeToDraw) {
    Bytes text;
    for (int line = 0; line < 200000; ++line) text.insert(text.end(), {'X', 13});
    EXPECT_EQ(command_.renderFile({type_id::petscii, 100, {}}, text, "big.seq", "seq"), 1);
    EXPECT_EQ(out_.str().find("\x1bP"), std::string::npos);
    // A .seq file over 1 MiB is not even read as text.
    text.resize(std::size_t{1} << 21, 'X');
    EXPECT_EQ(command_.renderFile({type_id::unknown, 0, {}}, text, "huge.seq", "seq"), 1);
}

}  // namespace
}  // namespace app
