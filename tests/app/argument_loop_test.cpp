// FILE arguments as the commands take them: pipes named directly, host names with ':'.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "app/argument_loop.hpp"
#include "platter/core/disk.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/fifo_peer.hpp"
#include "tests/support/run_zt.hpp"

namespace app {
namespace {

// A process substitution such as <(cat x.d64) names a pipe: it is read once and listed.
TEST(ArgumentLoop, ListsAnImageFromANamedPipe) {
    const test_support::ScratchDir scratch;
    const std::string pipe = scratch.file("piped").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const test_support::bytes_t image = test_support::readFixture("ls/t.d64");
    test_support::FifoWriter writer(pipe, image);
    const test_support::zt_run_t run = test_support::runZt({"ls", "--Xcolor", pipe});
    writer.finish();
    ASSERT_TRUE(run.ran);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.out.find("663 BLOCKS FREE."), std::string::npos) << run.out;
}

TEST(ArgumentLoop, AHostNameWithAColonIsAPath) {
    const test_support::ScratchDir scratch;
    const std::string image = scratch.copyFixture("ls/t.d64", "Game: Disk 1.d64").string();
    const test_support::zt_run_t whole = test_support::runZt({"ls", "--Xcolor", image});
    EXPECT_EQ(whole.status, 0) << whole.errors;
    EXPECT_NE(whole.out.find("663 BLOCKS FREE."), std::string::npos);
    const test_support::zt_run_t selected = test_support::runZt({"ls", "--Xcolor", image + ":HELLO"});
    EXPECT_EQ(selected.status, 0) << selected.errors;
    EXPECT_NE(selected.out.find("\"HELLO\""), std::string::npos) << selected.out;
}

// An image file cut short after it was opened: its lost blocks are an error line and status 1.
TEST(ArgumentLoop, AnImageThatShrinksWhileItIsListedFailsTheRun) {
    const test_support::ScratchDir scratch;
    for (const std::string fixture : {"ls/t.d64", "g64/base.g64"}) {
        const std::string name = std::filesystem::path(fixture).filename().string();
        const std::filesystem::path image = scratch.copyFixture(fixture, name);
        Reporter reporter;
        ArgumentLoop loop(reporter);
        loop.onContainer = [&](platter::Disk& disk, const std::string&) {
            std::filesystem::resize_file(image, 0);
            EXPECT_EQ(disk.readableBlock(platter::makeBlock(2, 0)), nullptr);
        };
        testing::internal::CaptureStderr();
        EXPECT_EQ(loop.run({image.string()}), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "error: '" + name + "' changed while it was read: blocks it had are gone\n");
    }
}

// A truncated image, or one of an odd size, lists what it holds with one warning.
TEST(ArgumentLoop, ListingsWarnOnceAboutImagesThatAreNotWhole) {
    const test_support::ScratchDir scratch;
    test_support::bytes_t image = test_support::readFixture("ls/t.d64");
    image.resize(100000);
    const test_support::zt_run_t truncated = test_support::runZt({"ls", "--Xcolor", scratch.write("cut.d64", image)});
    EXPECT_EQ(truncated.status, 0);
    EXPECT_EQ(truncated.errors, "warning: 'cut.d64': blocks past the end of the image are missing\n");
    EXPECT_NE(truncated.out.find("\"HELLO\""), std::string::npos) << truncated.out;
    image = test_support::readFixture("ls/t.d64");
    image.push_back(0);
    const test_support::zt_run_t odd = test_support::runZt({"ls", "--Xcolor", scratch.write("odd.d64", image)});
    EXPECT_EQ(odd.status, 0);
    EXPECT_EQ(odd.errors,
              "notice: 'odd.d64': not ID'd; opened by its extension as D64\n"
              "warning: 'odd.d64': the image's size is not one its format knows\n");
}

// A D64 holding a Lynx archive whose directory is empty, which cannot be expanded.
std::string imageWithEmptyLynx(const test_support::ScratchDir& scratch) {
    test_support::bytes_t lynx(300, 0);
    const std::string banner = "CBMCONVERT 2.0";
    std::copy(banner.begin(), banner.end(), lynx.begin() + 108);
    test_support::TestImage image = test_support::TestImage::blank();
    EXPECT_TRUE(image.disk->importFile(test_support::cbmName("GAME.LNX", false), 0, lynx, 0, nullptr));
    return scratch.write("lynx.d64", image.bytes()).string();
}

TEST(ArgumentLoop, QuietWithholdsEveryCouldNotExpandMessage) {
    const test_support::ScratchDir scratch;
    const std::string image = imageWithEmptyLynx(scratch);
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"ls", "-D", image}, {"ls", image + ":GAME.LNX:*"}}) {
        const test_support::zt_run_t loud = test_support::runZt(words);
        EXPECT_NE(loud.errors.find("could not expand the archive"), std::string::npos) << loud.errors;
        std::vector<std::string> quietWords = words;
        quietWords.insert(quietWords.begin() + 1, "-q");
        const test_support::zt_run_t quiet = test_support::runZt(quietWords);
        EXPECT_EQ(quiet.errors.find("could not expand"), std::string::npos) << quiet.errors;
        EXPECT_EQ(quiet.status, 1);
    }
}

// A set held as entries with a part missing lists what it holds and names the part, as the
// damage of the container opened from the entry.
TEST(ArgumentLoop, ASetInsideAnImageNamesAMissingPart) {
    const test_support::ScratchDir scratch;
    test_support::TestImage image = test_support::TestImage::blank();
    for (const char* part : {"1!game", "2!game", "3!game"}) {
        std::string name = part;
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(image.disk->importFile(test_support::cbmName(name, false), -1,
                                           test_support::readFixture(std::string("zipcode/") + part), 0, nullptr));
    }
    const std::string path = scratch.write("gap.d64", image.bytes()).string();
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"ls", "-D", path}, {"ls", path + ":1!GAME:*"}}) {
        const test_support::zt_run_t run = test_support::runZt(words);
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(run.errors, "warning: '1!game': zipcode part '4!GAME' is missing; its tracks are empty\n");
        EXPECT_NE(run.out.find("\"U255\""), std::string::npos) << run.out;
    }
}

}  // namespace
}  // namespace app
