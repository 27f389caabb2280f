#include "forge/font/tessel_mono.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kFontDir = std::string(ZT_SOURCE_DIR) + "/forge/font";
const std::string kSourceFont = "/usr/share/fonts/truetype/sixtyfour/C-64-Regular.ttf";

TEST(TesselMono, EmbeddedBytesAreTheCommittedFont) {
    EXPECT_TRUE(test_support::readBytes(kFontDir + "/tessel_mono.ttf") ==
                Bytes(g_font_ttf, g_font_ttf + g_font_ttf_size));
}

TEST(TesselMono, GeneratorRebuildsTheCommittedFont) {
    if (!test_support::haveProgram("/usr/bin/python3") || !std::filesystem::exists(kSourceFont) ||
        test_support::runCommand("/usr/bin/python3 -c 'import fontTools'").second != 0) {
        GTEST_SKIP() << "needs /usr/bin/python3 with fontTools and " << kSourceFont;
    }
    test_support::ScratchDir scratch;
    const auto output = scratch.file("tessel_mono.ttf");
    const auto [messages, status] = test_support::runCommand(
        "/usr/bin/python3 " + kFontDir + "/make_tessel_mono.py --source " + kSourceFont + " " + output.string());
    ASSERT_EQ(status, 0) << messages;
    EXPECT_TRUE(test_support::readBytes(output) == test_support::readBytes(kFontDir + "/tessel_mono.ttf"))
        << "the committed font differs from what the generator makes";
}

TEST(TesselMono, FontconfigSeesAMonospacedTesselMono) {
    if (!test_support::haveProgram("/usr/bin/fc-scan")) {
        GTEST_SKIP() << "needs fc-scan (fontconfig)";
    }
    const auto [text, status] = test_support::runCommand(
        "/usr/bin/fc-scan --format '%{family}|%{postscriptname}|%{spacing}' " + kFontDir + "/tessel_mono.ttf");
    ASSERT_EQ(status, 0) << text;
    EXPECT_EQ(text, "Tessel Mono|TesselMono|100");
}

}  // namespace
