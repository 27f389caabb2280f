#include "app/command_render.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"
#include "tests/support/in_child.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/scratch_dir.hpp"

namespace app {
namespace {

using test_support::Bytes;

// Renders the fixture in a scratch directory of a child process (render
// writes into the current directory); `check` looks at the output there.
::testing::AssertionResult renderFixture(
    const std::string& fixture,
    const std::function<std::string(const test_support::ScratchDir&, const std::string& output)>& check) {
    return inChild([&]() -> std::string {
        const test_support::ScratchDir scratch;
        const std::filesystem::path source = scratch.copyFixture(fixture, std::filesystem::path(fixture).filename());
        if (::chdir(scratch.path().c_str()) != 0) return "cannot enter the scratch directory";
        std::ostringstream out;
        CommandRender command(out);
        command.renderArgument(source.filename().string());
        return check(scratch, out.str());
    });
}

TEST(CommandRender, SixelDecodesToThePng) {
    if (!test_support::haveProgram("/usr/bin/sixel2png")) GTEST_SKIP() << "needs sixel2png (libsixel-bin)";
    EXPECT_TRUE(renderFixture(
        "picture/gimp_koala.koa",
        [](const test_support::ScratchDir& scratch, const std::string& output) -> std::string {
            if (output.rfind("gimp_koala.koa;  dim: 320 x 200\n\x1bP9;1;0q", 0) != 0)
                return "output: " + output.substr(0, 60);
            const Bytes sixel = test_support::readBytes(scratch.file("rendered_bitmap_by_zt.sixel"));
            if (output.find(std::string(sixel.begin(), sixel.end()) + "\n") == std::string::npos)
                return "the sixel file differs from the output";
            const auto [text, status] = test_support::runCommand("/usr/bin/sixel2png -i " +
                                                                 scratch.file("rendered_bitmap_by_zt.sixel").string() +
                                                                 " -o " + scratch.file("s.png").string());
            if (status != 0) return text;
            const test_support::decoded_png_t fromSixel =
                test_support::decodePng(test_support::readBytes(scratch.file("s.png")));
            const test_support::decoded_png_t png =
                test_support::decodePng(test_support::readBytes(scratch.file("rendered_bitmap_by_zt.png")));
            if (!png.error.empty()) return png.error;
            if (fromSixel.width != 320 || fromSixel.height != 200 || fromSixel.rgb.size() != png.rgb.size())
                return "the sixel decodes to another size";
            // Sixel colours are percentages: each channel may come back up to 3 lower.
            for (std::size_t i = 0; i < png.rgb.size(); ++i) {
                if (std::abs(int{fromSixel.rgb[i]} - int{png.rgb[i]}) > 3)
                    return "byte " + std::to_string(i) + " differs";
            }
            return {};
        }));
}

// An input under an output's fixed name, or an output name that links to an input, is not
// written over: one error line each, status 1, the other outputs written.
TEST(CommandRender, OutputsNeverReplaceAnInput) {
    EXPECT_TRUE(inChild([]() -> std::string {
        const test_support::ScratchDir scratch;
        const Bytes text = test_support::readFixture("view/hello.seq");
        scratch.copyFixture("view/hello.seq", "rendered_seq_by_zt.seq");
        scratch.copyFixture("view/hello.seq", "notes.seq");
        std::filesystem::create_symlink("notes.seq", scratch.file("rendered_seq_by_zt.txt"));
        if (::chdir(scratch.path().c_str()) != 0) return "cannot enter the scratch directory";
        const test_support::zt_run_t run = test_support::runZt({"render", "rendered_seq_by_zt.seq", "notes.seq"});
        if (run.status != 1) return "status " + std::to_string(run.status);
        // Each of the two texts refuses both outputs.
        const std::string refused = "\"; it is one of the files being rendered\n";
        const std::string each = "error: cannot write to \"rendered_seq_by_zt.seq" + refused +
                                 "error: cannot write to \"rendered_seq_by_zt.txt" + refused;
        if (run.errors != each + each) return "errors: " + run.errors;
        if (test_support::readBytes("rendered_seq_by_zt.seq") != text || test_support::readBytes("notes.seq") != text)
            return "an input was replaced";
        if (!std::filesystem::is_symlink("rendered_seq_by_zt.txt")) return "the link was replaced";
        if (!std::filesystem::exists("rendered_seq_by_zt.html")) return "the other outputs are missing";
        return {};
    }));
}

}  // namespace
}  // namespace app
