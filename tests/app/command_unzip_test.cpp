#include "app/command_unzip.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platter/formats/gcr_decoder.hpp"
#include "tests/support/run_zt.hpp"
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
    bytes_t third = test_support::readBytes(dir.file("3!s"));
    third.insert(third.end(), {0x80 | 18, 1, 6, 0xfe, 0xfe, 255, 1, 0xfe, 2, 2});  // 257 bytes for 18/1
    dir.write("3!s", third);
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

// Sectors that do not decode are written with their error bytes, named, and fail the run.
TEST(CommandUnzip, UndecodableSectorsAreWrittenAndReported) {
    test_support::ScratchDir dir;
    test_support::zip6_set_t parts = writeSet(dir, "g");
    // Track 1's first data block, stored after the header area: its data GCR ruined.
    for (std::size_t i = 3 + 256 + 100; i < 3 + 256 + 110; ++i) parts[0][i] = 0;
    dir.write("1!!g", parts[0]);
    const test_support::zt_run_t run =
        test_support::runZt({"unzip", "-q", dir.file("1!!g").string(), dir.file("out.d64").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "warning: 1 sector could not be decoded; '" + dir.file("out.d64").string() +
                              "' holds the error bytes that say why\n");
    EXPECT_EQ(test_support::readBytes(dir.file("out.d64")).size(), 174848u + 683);
}

// Nothing is written for a set that is incomplete or holds a file that is no part of it.
TEST(CommandUnzip, SixPartSetsThatCannotBeUnpacked) {
    test_support::ScratchDir dir;
    test_support::zip6_set_t parts = writeSet(dir, "g");
    const std::string out = dir.file("out.g64").string();
    std::filesystem::remove(dir.file("5!!g"));
    test_support::zt_run_t run = test_support::runZt({"unzip", "-z", dir.file("2!!g").string(), out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "error: found '" + dir.file("2!!g").string() + "'; can't find one or more other file parts\n");

    parts[4][2] = ')';  // a track count other than part 1's
    dir.write("5!!g", parts[4]);
    run = test_support::runZt({"unzip", "-z", "-q", dir.file("g").string(), out});
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
    bytes_t piped;
    std::thread reader([&] { piped = test_support::readBytes(fifo); });
    const test_support::zt_run_t run = test_support::runZt({"unzip", set, fifo.string()});
    // A writer opened and closed here ends the read even when zt never opened the pipe.
    if (const int end = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); end >= 0) ::close(end);
    reader.join();
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
