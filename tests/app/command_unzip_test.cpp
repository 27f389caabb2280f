#include "app/command_unzip.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platter/formats/gcr_decoder.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/fifo_peer.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/zip6_set.hpp"

namespace app {
namespace {

using test_support::bytes_t;

// cc1541's G64 of base.d64 stored as a six-part set, written as 1!!NAME ... 6!!NAME.
test_support::zip6_set_t writeSet(const test_support::ScratchDir& dir, const std::string& name) {
    const test_support::zip6_set_t parts = test_support::zip6SetOfG64(test_support::readFixture("g64/base.g64"), 35);
    for (std::size_t k = 0; k < parts.size(); ++k) dir.write(std::to_string(k + 1) + "!!" + name, parts[k]);
    return parts;
}

// A run-length record whose runs pass the end of its block (3!s's record of 18/1) is named
// as ls names it, and the image written without the block fails the run.
TEST(CommandUnzip, ARecordThatDoesNotDecodeFailsTheRun) {
    test_support::ScratchDir dir;
    const std::string set = dir.file("s").string();
    ASSERT_EQ(test_support::runZt({"zip", test_support::fixturePath("d64/base.d64").string(), set}).status, 0);
    const bytes_t third = test_support::readBytes(dir.file("3!s"));
    // Its records, with 18/1's in place given 257 bytes.
    bytes_t damaged(third.begin(), third.begin() + 2);
    for (std::size_t at = 2; at + 2 <= third.size();) {
        const unsigned mode = third[at] >> 6;
        const std::size_t length = mode == 0 ? 258 : mode == 1 ? 3 : mode == 2 ? 4 + third[at + 2] : 2;
        if ((third[at] & 0x3f) == 18 && third[at + 1] == 1)
            damaged.insert(damaged.end(), {0x80 | 18, 1, 6, 0xfe, 0xfe, 255, 1, 0xfe, 2, 2});
        else
            damaged.insert(damaged.end(), third.begin() + static_cast<std::ptrdiff_t>(at),
                           third.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    dir.write("3!s", damaged);
    const std::string out = dir.file("out.d64").string();
    const test_support::zt_run_t run = test_support::runZt({"unzip", "-q", set, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "warning: 's': zipcode part '3!s' has a record of block 18.1 that does not decode; the block is empty\n");
    EXPECT_EQ(test_support::readBytes(out).size(), 174848u);
}

// A six-part set becomes the D64 its tracks decode to, or with -z the G64 itself.
TEST(CommandUnzip, SixPartSetsDecodeToTheImageTheyCameFrom) {
    test_support::ScratchDir dir;
    writeSet(dir, "g");
    const test_support::zt_run_t d64 = test_support::runZt({"unzip", dir.file("g").string(), dir.file("out").string()});
    EXPECT_EQ(d64.status, 0) << d64.errors;
    EXPECT_EQ(d64.errors, "wrote as d64 format to '" + dir.file("out.d64").string() + "'\n");
    EXPECT_EQ(test_support::readBytes(dir.file("out.d64")), test_support::readFixture("d64/base.d64"));

    const test_support::zt_run_t g64 =
        test_support::runZt({"unzip", "-z", "-q", dir.file("3!!g").string(), dir.file("out.d64").string()});
    EXPECT_EQ(g64.status, 0);
    EXPECT_EQ(g64.errors, "warning: writing as a g64 (-z/--unz) but to a file with a .d64 extension\n");
    const bytes_t written = test_support::readBytes(dir.file("out.d64"));
    ASSERT_EQ(written.size(), 252758u);
    platter::GcrDecoder decoder;
    decoder.setFastFirst(true);
    decoder.loadG64(written);
    decoder.decodeAllTracks();
    EXPECT_EQ(decoder.takeImage(), test_support::readFixture("d64/base.d64"));
}

// Track 18, the last of part 3, with no header and no data a drive could read.
void ruinTrack18(bytes_t& partThree) {
    std::size_t at = 3;
    for (unsigned track = 13; track < 18; ++track) at += 256 + partThree[at + 255] * std::size_t{326};
    const std::size_t blocks = partThree[at + 255];
    std::fill_n(partThree.begin() + static_cast<std::ptrdiff_t>(at), 255, std::uint8_t{0});
    std::fill_n(partThree.begin() + static_cast<std::ptrdiff_t>(at + 256), blocks * 326, std::uint8_t{0});
}

// A set missing a part, with a part cut short, or whose sectors do not decode is written
// all the same, as a D64 or a G64, with the same warnings and status 1 either way.
TEST(CommandUnzip, DamagedSixPartSetsAreWrittenWithWhatTheyLack) {
    struct case_t {
        std::function<void(const test_support::ScratchDir&, test_support::zip6_set_t&)> damage;
        std::string note;
        std::size_t undecodable;
    };
    const std::vector<case_t> cases = {
        {[](const test_support::ScratchDir& dir, test_support::zip6_set_t&) {
             std::filesystem::remove(dir.file("5!!g"));
         },
         "warning: 'g': zipcode part '5!!g' is missing; its tracks are empty\n", 5 * 18 + 2 * 17},
        {[](const test_support::ScratchDir& dir, test_support::zip6_set_t& parts) {
             parts[5].pop_back();
             dir.write("6!!g", parts[5]);
         },
         "warning: 'g': zipcode part '6!!g' is cut short; 1 of its tracks is empty\n", 17},
        {[](const test_support::ScratchDir& dir, test_support::zip6_set_t& parts) {
             ruinTrack18(parts[2]);
             dir.write("3!!g", parts[2]);
         },
         "", 19},
    };
    for (const case_t& c : cases) {
        for (const std::string form : {"d64", "g64"}) {
            test_support::ScratchDir dir;
            test_support::zip6_set_t parts = writeSet(dir, "g");
            c.damage(dir, parts);
            const std::string out = dir.file("out." + form).string();
            std::vector<std::string> words = {"unzip", "-q", dir.file("g").string(), out};
            if (form == "g64") words.insert(words.begin() + 1, "-z");
            const test_support::zt_run_t run = test_support::runZt(words);
            EXPECT_EQ(run.status, 1) << form << c.note;
            const std::string holds = form == "g64" ? "' holds their tracks as the set stores them\n"
                                                    : "' holds the error bytes that say why\n";
            EXPECT_EQ(run.errors, c.note + "warning: " + std::to_string(c.undecodable) +
                                      " sectors could not be decoded; '" + out + holds);
            const bytes_t written = test_support::readBytes(out);
            if (form == "d64") {
                EXPECT_EQ(written.size(), 174848u + 683);
                continue;
            }
            platter::GcrDecoder decoder;
            decoder.loadG64(written);
            const bytes_t image = decoder.takeImage();
            ASSERT_EQ(image.size(), 174848u + 683);
            EXPECT_EQ(static_cast<std::size_t>(
                          std::count_if(image.end() - 683, image.end(), [](std::uint8_t code) { return code != 1; })),
                      c.undecodable);
        }
    }
}

// Nothing is written for a set that holds a file that is no part of it.
TEST(CommandUnzip, SixPartSetsThatCannotBeUnpacked) {
    test_support::ScratchDir dir;
    test_support::zip6_set_t parts = writeSet(dir, "g");
    const std::string out = dir.file("out.g64").string();
    parts[4][2] = ')';  // a track count other than part 1's
    dir.write("5!!g", parts[4]);
    test_support::zt_run_t run = test_support::runZt({"unzip", "-z", "-q", dir.file("g").string(), out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "error: after reading \"" + dir.file("5!!g").string() + "\" a standard zip6 header was not found\n");

    dir.write("5!!g", bytes_t(100, 'x'));
    run = test_support::runZt({"unzip", "-z", "-q", dir.file("g").string(), out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "error: after reading \"" + dir.file("5!!g").string() + "\" a standard zip6 header was not found\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

// A FIFO named as FILE, or standard output, gets the image itself and no extension; on
// standard output nothing but the image is written.
TEST(CommandUnzip, PipesAndStandardOutputTakeTheImage) {
    test_support::ScratchDir dir;
    for (const std::string part : {"1!game", "2!game", "3!game", "4!game"}) dir.copyFixture("zipcode/" + part, part);
    const std::string set = dir.file("1!game").string();
    ASSERT_EQ(test_support::runZt({"unzip", "-q", set, dir.file("game.d64").string()}).status, 0);
    const bytes_t image = test_support::readBytes(dir.file("game.d64"));
    ASSERT_EQ(image.size(), 174848u);

    const std::filesystem::path fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test_support::FifoReader reader(fifo);
    const test_support::zt_run_t run = test_support::runZt({"unzip", set, fifo.string()});
    const bytes_t piped = reader.finish();
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.out.ends_with("wrote as d64 format to '" + fifo.string() + "'\n")) << run.out;
    EXPECT_EQ(piped, image);
    EXPECT_FALSE(std::filesystem::exists(dir.file("pipe.d64")));

    const test_support::zt_run_t out = test_support::runZt({"unzip", set, "/dev/stdout"});
    EXPECT_EQ(out.status, 0) << out.errors;
    EXPECT_EQ(out.errors, "");
    EXPECT_EQ(bytes_t(out.out.begin(), out.out.end()), image);
    EXPECT_FALSE(std::filesystem::exists("/dev/stdout.d64"));
}

}  // namespace
}  // namespace app
