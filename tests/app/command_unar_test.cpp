#include "app/command_unar.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/fifo_peer.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/run_zt.hpp"

namespace app {
namespace {

namespace fs = std::filesystem;

using test_support::kD64Size;

// The archive given again as DISK, by its path or through a link, keeps its bytes; a hard
// link may be written (the save renames, so the archive's own name keeps them) or refused.
TEST(CommandUnar, DiskThatIsTheArchiveIsRefused) {
    const test_support::ScratchDir scratch;
    const fs::path archive = scratch.copyFixture("archive/five.lnx", "a.lnx");
    const test_support::bytes_t original = test_support::readBytes(archive);
    fs::create_symlink("a.lnx", scratch.file("s.d64"));
    fs::create_hard_link(archive, scratch.file("h.d64"));

    for (const std::string disk : {"a.lnx", "s.d64"}) {
        const std::string target = scratch.file(disk).string();
        const test_support::zt_run_t run = test_support::runZt({"unar", archive.string(), target});
        EXPECT_EQ(run.status, 1) << disk;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.errors, "error: cannot write to \"" + target + "\"; it is the archive \"" + archive.string() +
                                  "\" being expanded\n");
        EXPECT_EQ(test_support::readBytes(archive), original) << disk;
    }
    EXPECT_TRUE(fs::is_symlink(scratch.file("s.d64")));
    test_support::runZt({"unar", archive.string(), scratch.file("h.d64").string()});
    EXPECT_EQ(test_support::readBytes(archive), original);
}

// A device or pipe named as DISK, or standard output, gets the image itself: no extension is
// appended.
TEST(CommandUnar, DevicesAndPipesTakeTheImage) {
    const test_support::ScratchDir scratch;
    const fs::path archive = scratch.copyFixture("archive/five.lnx", "a.lnx");
    const fs::path fifo = scratch.file("p");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test_support::FifoReader reader(fifo);
    const test_support::zt_run_t run = test_support::runZt({"unar", archive.string(), fifo.string()});
    const test_support::bytes_t image = reader.finish();
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(image.size(), kD64Size);
    EXPECT_FALSE(fs::exists(scratch.file("p.d64")));
    // Standard output, here a file: the image and nothing else.
    const test_support::zt_run_t out = test_support::runZt({"unar", archive.string(), "/dev/stdout"});
    EXPECT_EQ(out.status, 0) << out.errors;
    EXPECT_EQ(out.out.size(), kD64Size);
    EXPECT_EQ(test_support::bytes_t(out.out.begin(), out.out.end()), image);
    EXPECT_FALSE(fs::exists("/dev/stdout.d64"));

    if (!fs::is_character_file("/dev/full")) GTEST_SKIP();
    const test_support::zt_run_t full = test_support::runZt({"unar", archive.string(), "/dev/full"});
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.out, "");
    EXPECT_EQ(full.errors, "error: could not write '/dev/full': No space left on device\n");
    EXPECT_FALSE(fs::exists("/dev/full.d64"));
}

}  // namespace
}  // namespace app
