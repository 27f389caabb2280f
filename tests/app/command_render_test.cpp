#include "app/command_render.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/listing_canonical.hpp"
#include "app/program_state.hpp"
#include "platter/core/petscii_listing.hpp"
#include "platter/open/open_argument.hpp"
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

// What a listing line shows, cut the same way from ls's text and from render's PETSCII.
struct shown_line_t {
    std::string blocks;
    std::string name;  // up to the closing quote
    char splat = ' ';
    std::string type;  // the type word's printable characters
    bool locked = false;
    bool operator==(const shown_line_t&) const = default;
};

struct shown_listing_t {
    std::vector<shown_line_t> lines;
    std::string footer;  // the blocks-free line; empty without one
    bool operator==(const shown_listing_t&) const = default;
};

std::ostream& operator<<(std::ostream& out, const shown_listing_t& listing) {
    for (const shown_line_t& line : listing.lines)
        out << line.blocks << " \"" << line.name << "\" " << line.splat << line.type << (line.locked ? "<" : "")
            << '\n';
    return out << "footer: " << listing.footer << '\n';
}

// After the name field of 18 cells: the splat, then the type word, the lock and spaces.
void cutTypeColumns(std::string rest, shown_line_t& line) {
    line.splat = rest.empty() ? ' ' : rest.front();
    rest.erase(0, 1);
    line.locked = std::erase(rest, '<') != 0;
    while (!rest.empty() && rest.back() == ' ') rest.pop_back();
    line.type = rest;
}

bool isFooter(const std::string& line) {
    const std::size_t digits = line.find_first_not_of("0123456789");
    return digits != 0 && digits != std::string::npos && line.substr(digits) == " BLOCKS FREE.";
}

// The text without the colour sequences of the header line.
std::string withoutColour(const std::string& text) {
    std::string plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\x1b') {
            at = text.find('m', at);
            if (at == std::string::npos) break;
        } else {
            plain += text[at];
        }
    }
    return plain;
}

// ls -A's canonical text, in US-ASCII without colour.
shown_listing_t lsListing(RenderCanonical& render, platter::Disk& disk) {
    render.settings.almostAll = true;
    EXPECT_TRUE(render.selection.parseSelection("*"));
    disk.setIncludeEmpty(true);
    render.selection.processSelection(disk);
    render.prepare(disk, "x", platter::Charset::upperGraphics);
    ::testing::internal::CaptureStdout();
    render.renderListing(disk, "");
    std::istringstream text(withoutColour(::testing::internal::GetCapturedStdout()));
    shown_listing_t listing;
    std::string row;
    std::getline(text, row);  // the header
    while (std::getline(text, row)) {
        if (isFooter(row)) {
            listing.footer = row;
            continue;
        }
        shown_line_t line;
        const std::size_t digits = row.find_first_not_of("0123456789");
        line.blocks = row.substr(0, digits);
        const std::size_t open = row.find('"');
        const std::size_t close = row.find('"', open + 1);
        line.name = row.substr(open + 1, close - open - 1);
        cutTypeColumns(row.substr(open + 18), line);
        listing.lines.push_back(line);
    }
    return listing;
}

// render's PETSCII lines: a control code in a name stands reversed as the character the screen shows.
shown_listing_t renderListing(const RenderCanonical& render, platter::Disk& disk) {
    const std::vector<std::uint8_t> bytes = platter::buildPetsciiListing(disk, platter::Charset::upperGraphics, true);
    const auto text = [&](const std::vector<std::uint8_t>& petscii) {
        return render.petsciiToText(petscii, platter::Charset::upperGraphics, false);
    };
    shown_listing_t listing;
    std::vector<std::vector<std::uint8_t>> rows(1);
    for (const std::uint8_t c : bytes) {
        if (c == 13)
            rows.emplace_back();
        else
            rows.back().push_back(c);
    }
    std::string last = text(rows.back());
    while (!last.empty() && last.back() == ' ') last.pop_back();
    if (isFooter(last)) listing.footer = last;
    for (std::size_t r = 1; r + 1 < rows.size(); ++r) {
        const std::vector<std::uint8_t>& row = rows[r];
        shown_line_t line;
        std::size_t at = 0;
        while (at < row.size() && row[at] >= '0' && row[at] <= '9') line.blocks += static_cast<char>(row[at++]);
        while (at < row.size() && row[at] != '"') ++at;
        std::vector<std::uint8_t> name;
        std::size_t cells = 1;
        for (++at; at < row.size() && row[at] != '"'; ++at, ++cells) {
            if (row[at] != 18) {
                name.push_back(row[at]);
                continue;
            }
            const std::uint8_t shown = row[at + 1];
            name.push_back(shown < 0x60 ? shown & 0x1F : shown + 0x20);
            at += 2;  // the character and the reverse off
        }
        line.name = text(name);
        at += 1 + (17 - cells);  // the closing quote and the padding to 16 characters
        std::vector<std::uint8_t> rest;
        for (; at < row.size(); ++at) {
            if (row[at] >= 0x20) rest.push_back(row[at]);
        }
        cutTypeColumns(text(rest), line);
        listing.lines.push_back(line);
    }
    return listing;
}

// Every fixture that opens as a container: the lines render draws are those of ls -A, and it
// has a blocks-free line exactly where ls has one.
TEST(CommandRender, ListingLinesAreThoseOfLsAll) {
    g_console.setMode(forge::kModeAscii);
    std::size_t listed = 0;
    for (const auto& file : std::filesystem::recursive_directory_iterator(test_support::fixturePath(""))) {
        if (!file.is_regular_file()) continue;
        platter::opened_container_t opened = platter::openContainerArgument(file.path().string());
        if (!opened.disk) continue;
        RenderCanonical render;
        const shown_listing_t ls = lsListing(render, *opened.disk);
        EXPECT_EQ(renderListing(render, *opened.disk), ls) << file.path();
        ++listed;
    }
    g_console.setMode(forge::kModeUnicode);
    EXPECT_GT(listed, 100u);
}

}  // namespace
}  // namespace app
