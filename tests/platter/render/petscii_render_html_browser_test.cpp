// A rendered page as a browser shows it: with the embedded font installed, the glyphs are
// drawn from it (a reversed cell is a solid block of its colour); skipped without Chromium.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forge/font/tessel_mono.hpp"
#include "platter/render/petscii_render_html.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

constexpr const char* kBrowser = "/usr/bin/chromium-headless-shell";
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

// The red pixels of a screenshot of the page, with the font installed or not; -1 when the
// browser gave no picture.
long redPixels(const test_support::ScratchDir& scratch, const std::string& home, bool withFont) {
    if (withFont) {
        scratch.write(home + "/.local/share/fonts/tessel_mono.ttf",
                      test_support::bytes_t(g_font_ttf, g_font_ttf + g_font_ttf_size));
        test_support::runCommand("HOME=" + scratch.file(home).string() + " fc-cache -f");
    }
    const std::string shot = scratch.file(home + ".png").string();
    test_support::runCommand("HOME=" + scratch.file(home).string() + " timeout 120 " + kBrowser +
                             " --no-sandbox --disable-gpu --window-size=" + std::to_string(kWidth) + "," +
                             std::to_string(kHeight) + " --screenshot=" + shot + " file://" +
                             scratch.file("page.html").string());
    const test_support::decoded_png_t png = test_support::decodePng(test_support::readBytes(shot));
    if (!png.error.empty() || png.width != kWidth || png.height != kHeight) return -1;
    long red = 0;
    for (std::size_t at = 0; at + 2 < png.rgb.size(); at += 3) {
        if (png.rgb[at] == kRed[0] && png.rgb[at + 1] == kRed[1] && png.rgb[at + 2] == kRed[2]) ++red;
    }
    return red;
}

TEST(PetsciiRenderHtmlInBrowser, ReversedCellsAreSolidBlocksOfTheEmbeddedFont) {
    if (!test_support::haveProgram(kBrowser) || !test_support::haveProgram("/usr/bin/fc-cache") ||
        !test_support::haveProgram("/usr/bin/python3")) {
        GTEST_SKIP() << "needs chromium-headless-shell and fontconfig";
    }
    test_support::ScratchDir scratch;
    const std::string page = redBlocksPage();
    scratch.write("page.html", test_support::bytes_t(page.begin(), page.end()));
    const long withFont = redPixels(scratch, "home", true);
    const long withoutFont = redPixels(scratch, "bare", false);
    ASSERT_GE(withFont, 0) << "no screenshot";
    ASSERT_GE(withoutFont, 0) << "no screenshot";
    // Nine 16 x 16 cells: most of each is ink with the font; a fallback font draws almost none.
    EXPECT_GT(withFont, 9 * 200);
    EXPECT_LT(withoutFont, withFont / 4);
}

}  // namespace
}  // namespace platter
