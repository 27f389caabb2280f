// A rendered page as a browser of a user without the font shows it: a fresh home and a
// fontconfig that knows no font with Commodore glyphs, so only the page's own font can draw
// (a reversed cell is a solid block of its colour); skipped without Chromium.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platter/render/petscii_render_html.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

constexpr const char* kBrowser = "/usr/bin/chromium-headless-shell";
constexpr const char* kFontList = "/usr/bin/fc-list";
// The only fonts the browser may find: DejaVu has no Commodore glyphs.
constexpr const char* kPlainFonts = "/usr/share/fonts/truetype/dejavu";
constexpr std::uint64_t kWidth = 700;
constexpr std::uint64_t kHeight = 200;
constexpr std::uint8_t kRed[] = {0x68, 0x2C, 0x2B};  // palette colour 2

// Red on black: eight reversed spaces, then a reversed '<'.
std::string redBlocksPage() {
    PetsciiScreen screen(40, 25, 14, false);
    screen.setData(std::vector<std::uint8_t>{0x1C, 0x12, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', '<'}).interpret();
    PetsciiRenderHtml render;
    render.setDocument(true).setBackground(0).setFontSize(16);
    render.begin().renderSection(screen, "").end();
    return render.str();
}

long redPixels(const test_support::decoded_png_t& png) {
    long red = 0;
    for (std::size_t at = 0; at + 2 < png.rgb.size(); at += 3) {
        if (png.rgb[at] == kRed[0] && png.rgb[at + 1] == kRed[1] && png.rgb[at + 2] == kRed[2]) ++red;
    }
    return red;
}

TEST(PetsciiRenderHtmlInBrowser, ReversedCellsAreDrawnByThePagesOwnFont) {
    if (!test_support::haveProgram(kBrowser) || !test_support::haveProgram(kFontList) ||
        !std::filesystem::is_directory(kPlainFonts)) {
        GTEST_SKIP() << "needs chromium-headless-shell, fontconfig and " << kPlainFonts;
    }
    test_support::ScratchDir scratch;
    const std::string page = redBlocksPage();
    scratch.write("page.html", test_support::bytes_t(page.begin(), page.end()));
    std::filesystem::create_directory(scratch.file("home"));
    const std::string config = std::string("<?xml version=\"1.0\"?>\n<fontconfig><dir>") + kPlainFonts +
                               "</dir><cachedir>" + scratch.file("font-cache").string() + "</cachedir></fontconfig>\n";
    scratch.write("fonts.conf", test_support::bytes_t(config.begin(), config.end()));
    const std::string environment =
        "HOME=" + scratch.file("home").string() + " FONTCONFIG_FILE=" + scratch.file("fonts.conf").string() + " ";
    // Fonts are found (Chromium fails to load web fonts when there are none), but none with
    // Commodore glyphs: not fonts-sixtyfour's (it has the graphics ones such as U+E071), not a user's.
    const auto [fonts, listed] = test_support::runCommand(environment + kFontList + " : family");
    ASSERT_EQ(listed, 0) << fonts;
    ASSERT_NE(fonts, "");
    for (const char* codePoint : {"e071", "e2a0", "e23c"}) {
        EXPECT_EQ(test_support::runCommand(environment + kFontList + " :charset=" + codePoint).first, "");
    }

    // The virtual time lets the page's data: font load before the picture is taken.
    const std::string shot = scratch.file("page.png").string();
    test_support::runCommand(
        environment + "timeout 120 " + kBrowser +
        " --no-sandbox --disable-gpu --virtual-time-budget=5000 --window-size=" + std::to_string(kWidth) + "," +
        std::to_string(kHeight) + " --screenshot=" + shot + " file://" + scratch.file("page.html").string());
    const test_support::decoded_png_t png = test_support::decodePng(test_support::readBytes(shot));
    ASSERT_EQ(png.error, "");
    ASSERT_EQ(png.width, kWidth);
    ASSERT_EQ(png.height, kHeight);
    // Nine 16 x 16 cells, most of each ink; a fallback font draws none of it.
    EXPECT_GT(redPixels(png), 9 * 200);
}

}  // namespace
}  // namespace platter
