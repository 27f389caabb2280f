#include "app/command_zip.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/d64_image.hpp"
#include "tests/support/process.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/scratch_dir.hpp"

namespace app {
namespace {

using test_support::bytes_t;
namespace fs = std::filesystem;

bool havePeers() {
    return test_support::haveProgram("/usr/bin/disk2zip") && test_support::haveProgram("/usr/bin/zip2disk");
}

int shell(const test_support::ScratchDir& dir, const std::string& command) {
    return test_support::runCommand("cd " + dir.path().string() + " && " + command + " >/dev/null 2>&1").second;
}

// The command word, then options and paths inside the scratch directory.
test_support::zt_run_t zt(const test_support::ScratchDir& dir, std::vector<std::string> words) {
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i].front() != '-') words[i] = dir.file(words[i]).string();
    }
    return test_support::runZt(words);
}

bytes_t block(const bytes_t& image, unsigned track, unsigned sector) {
    const auto at = image.begin() + static_cast<std::ptrdiff_t>(test_support::d64Offset(track, sector));
    return bytes_t(at, at + 256);
}

void setBamFree(bytes_t& image, unsigned track, unsigned sector) {
    image[test_support::d64Offset(18, 0) + 4 * track + 1 + sector / 8] |= static_cast<std::uint8_t>(1 << (sector % 8));
}

// The peers agree with zt both ways: with per-block markers the parts are disk2zip's
// own (ID "S." is its -i 532e), zip2disk restores zt's parts with disk-wide markers,
// and zt unzip restores disk2zip's parts, found from part 2's name.
TEST(CommandZip, AgreesWithDisk2zipAndZip2disk) {
    if (!havePeers()) GTEST_SKIP() << "cbmconvert missing";
    test_support::ScratchDir dir;
    for (const std::string fixture : {"d64/base.d64", "bam/errors.d64"}) {
        dir.copyFixture(fixture, "t.d64");
        fs::create_directories(dir.file("a"));
        fs::create_directories(dir.file("b"));
        ASSERT_EQ(zt(dir, {"zip", "-B", "-qq", "t.d64", "a/game"}).status, 0);
        ASSERT_EQ(shell(dir, "disk2zip -i 532e t.d64 b/game"), 0);
        for (const char* part : {"1!game", "2!game", "3!game", "4!game"})
            EXPECT_EQ(test_support::readBytes(dir.file(std::string("a/") + part)),
                      test_support::readBytes(dir.file(std::string("b/") + part)))
                << fixture << " " << part;

        const bytes_t original = test_support::readFixture(fixture);
        const bytes_t plain(original.begin(), original.begin() + 174848);
        ASSERT_EQ(zt(dir, {"zip", "-q", "t.d64", "a/g"}).status, 0);
        ASSERT_EQ(shell(dir, "zip2disk a/g back.d64"), 0);
        EXPECT_EQ(test_support::readBytes(dir.file("back.d64")), plain) << fixture;

        const test_support::zt_run_t unzipped = zt(dir, {"unzip", "b/2!game", "out"});
        EXPECT_EQ(unzipped.status, 0) << unzipped.errors;
        EXPECT_EQ(test_support::readBytes(dir.file("out.d64")), plain) << fixture;
        EXPECT_EQ(unzipped.out, "reading " + dir.file("b/1!game").string() + "\n        " +
                                    dir.file("b/2!game").string() + "\n        " + dir.file("b/3!game").string() +
                                    "\n        " + dir.file("b/4!game").string() + "\nwrote as d64 format to '" +
                                    dir.file("out.d64").string() + "'\n");
    }
}

// A 40-track image takes five parts, or four with -4; a stale part 5 beside a new four-part
// set is refused.
TEST(CommandZip, FortyTrackSets) {
    test_support::ScratchDir dir;
    dir.copyFixture("d64/speed40.d64", "t.d64");
    const bytes_t original = test_support::readFixture("d64/speed40.d64");
    const test_support::zt_run_t zipped = zt(dir, {"zip", "t.d64", "game"});
    ASSERT_EQ(zipped.status, 0) << zipped.errors;
    EXPECT_NE(zipped.out.find("5!game:"), std::string::npos);
    ASSERT_EQ(zt(dir, {"unzip", "-q", "1!game", "back.d64"}).status, 0);
    EXPECT_EQ(test_support::readBytes(dir.file("back.d64")), original);

    const test_support::zt_run_t stale = zt(dir, {"zip", "-4", "t.d64", "game"});
    EXPECT_EQ(stale.status, 1);
    EXPECT_EQ(stale.errors, "error: '" + dir.file("5!game").string() + "' belongs to an older set; remove it first\n");
    fs::remove(dir.file("5!game"));
    const test_support::zt_run_t four = zt(dir, {"zip", "-4", "t.d64", "game"});
    ASSERT_EQ(four.status, 0) << four.errors;
    EXPECT_EQ(four.out.find("5!game"), std::string::npos);
    // Its BAM has files on tracks 36-40: unzip writes the 40-track disk without them, and says so.
    const test_support::zt_run_t unzipped = zt(dir, {"unzip", "-q", "game", "four.d64"});
    EXPECT_EQ(unzipped.status, 1);
    EXPECT_EQ(unzipped.errors, "warning: 'game': zipcode part '5!game' is missing; its tracks are empty\n");
    const bytes_t withoutPartFive = test_support::readBytes(dir.file("four.d64"));
    ASSERT_EQ(withoutPartFive.size(), original.size());
    EXPECT_EQ(bytes_t(withoutPartFive.begin(), withoutPartFive.begin() + 174848),
              bytes_t(original.begin(), original.begin() + 174848));

    // Without part 3 the image is still written, its tracks 17-25 empty, and the run fails.
    ASSERT_EQ(zt(dir, {"zip", "-q", "t.d64", "game"}).status, 0);
    fs::remove(dir.file("3!game"));
    const test_support::zt_run_t gap = zt(dir, {"unzip", "-q", "2!game", "gap.d64"});
    EXPECT_EQ(gap.status, 1);
    EXPECT_EQ(gap.errors,
              "warning: could only find 4 file parts; resulting .d64 will be missing data\n"
              "warning: '2!game': zipcode part '3!game' is missing; its tracks are empty\n");
    const bytes_t written = test_support::readBytes(dir.file("gap.d64"));
    ASSERT_EQ(written.size(), original.size());
    EXPECT_EQ(block(written, 17, 0), bytes_t(256, 0));
    EXPECT_EQ(block(written, 26, 0), block(original, 26, 0));
    EXPECT_EQ(block(written, 40, 16), block(original, 40, 16));
}

// A part named like the image would replace it: refused, nothing written.
TEST(CommandZip, RefusesToWriteOverItsImage) {
    test_support::ScratchDir dir;
    dir.copyFixture("d64/base.d64", "1!t.d64");
    const test_support::zt_run_t zipped = zt(dir, {"zip", "1!t.d64", "t.d64"});
    EXPECT_EQ(zipped.status, 1);
    EXPECT_EQ(zipped.errors,
              "error: cannot write to \"" + dir.file("1!t.d64").string() + "\"; it is the image being zipped\n");
    EXPECT_EQ(test_support::readBytes(dir.file("1!t.d64")), test_support::readFixture("d64/base.d64"));
    EXPECT_FALSE(fs::exists(dir.file("2!t.d64")));
}

// -f zero-fills a block only when nothing reaches it, whatever the BAM says.
TEST(CommandZip, FreeBlocksAreZeroFilledOnlyWhenUnused) {
    test_support::ScratchDir dir;
    bytes_t image = test_support::readFixture("d64/base.d64");
    for (std::size_t i = 0; i < 256; ++i)
        image[test_support::d64Offset(35, 16) + i] = static_cast<std::uint8_t>(i * 13);
    setBamFree(image, 35, 16);
    setBamFree(image, 18, 1);  // the directory's first block
    dir.write("t.d64", image);
    ASSERT_EQ(zt(dir, {"zip", "-f", "-q", "t.d64", "game"}).status, 0);
    ASSERT_EQ(zt(dir, {"unzip", "-q", "game", "back.d64"}).status, 0);
    const bytes_t back = test_support::readBytes(dir.file("back.d64"));
    EXPECT_EQ(block(back, 35, 16), bytes_t(256, 0));
    EXPECT_EQ(block(back, 18, 1), block(image, 18, 1));
    for (std::size_t i = 0; i < 256; ++i) image[test_support::d64Offset(35, 16) + i] = 0;
    EXPECT_EQ(back, image);
}

// Random blocks are all stored, so the set is larger than the image: a negative saving,
// its percentage cut toward zero.
TEST(CommandZip, IncompressibleImagesSaveNegativeBytes) {
    test_support::ScratchDir dir;
    bytes_t image(174848);
    std::mt19937 random(5);
    for (std::uint8_t& byte : image) byte = static_cast<std::uint8_t>(random());
    dir.write("t.d64", image);
    const test_support::zt_run_t zipped = zt(dir, {"zip", "t.d64", "game"});
    ASSERT_EQ(zipped.status, 0) << zipped.errors;
    EXPECT_EQ(zipped.out.substr(zipped.out.find("-----")),
              "------\n        176224 bytes\n         -1376 bytes saved (   0%)\n");
    ASSERT_EQ(zt(dir, {"unzip", "-q", "game", "back.d64"}).status, 0);
    EXPECT_EQ(test_support::readBytes(dir.file("back.d64")), image);
}

}  // namespace
}  // namespace app
