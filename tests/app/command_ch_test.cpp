#include "app/command_ch.hpp"

#include "tests/support/fifo_peer.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/without_root.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace app {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kImageSize = 174848;
constexpr std::size_t kErrorTableSize = 683;
constexpr std::size_t kBlock18_1 = 358;  // 17 tracks of 21 sectors, then sector 1

using test_support::readBytes;

// A scratch directory holding a copy of the test image under the given name.
class ChTest : public ::testing::Test {
protected:
    void SetUp() override {
        original_ = test_support::readFixture("cat/cat.d64");
        ASSERT_EQ(original_.size(), kImageSize);
    }

    fs::path image(const std::string& name, const std::string& source = "cat.d64") const {
        return scratch_.copyFixture("cat/" + source, name);
    }

    // Runs zt with the words; fails unless the status is as expected.
    ::testing::AssertionResult run(const std::vector<std::string>& words, int status) {
        const test_support::zt_run_t result = test_support::runZt(words);
        errors_ = result.errors;
        if (result.status == status) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "status " << result.status << ": " << result.errors;
    }

    const std::string& errors() const { return errors_; }

    test_support::ScratchDir scratch_;
    std::vector<std::uint8_t> original_;
    std::string errors_;
};

TEST(CommandChCodes, DriveErrorsMapToTheStoredByte) {
    EXPECT_EQ(CommandCh::errorByteForCode(0), 1);
    EXPECT_EQ(CommandCh::errorByteForCode(1), 1);
    for (std::int64_t code : {2, 19, 28, 30, 255, 65556, -1})
        EXPECT_FALSE(CommandCh::errorByteForCode(code).has_value()) << code;
}

// Error bytes present: no second table, and the same code changes nothing.
TEST_F(ChTest, ASecondEqualChangeLeavesTheImage) {
    const fs::path path = image("e.d64");
    ASSERT_TRUE(run({"ch", "-e", "23", path.string() + ":%18.1"}, 0));
    const std::vector<std::uint8_t> changed = readBytes(path);
    ASSERT_EQ(changed.size(), kImageSize + kErrorTableSize);
    ASSERT_TRUE(run({"ch", "-e", "23", path.string() + ":%18.1"}, 0));
    EXPECT_EQ(errors(),
              "warning: 'e.d64': the directory chain ends at block 18.1, which cannot be read\n"
              "warning: container was unmodified after making requested changes\n");
    EXPECT_EQ(readBytes(path), changed);
}

TEST_F(ChTest, TrackSelectorSetsEverySectorOfTheTrack) {
    const fs::path path = image("t.d64");
    // A refused selector changes nothing, not even the error table.
    ASSERT_TRUE(run({"ch", "-e", "29", path.string() + ":*"}, 1));
    ASSERT_EQ(readBytes(path), original_);
    ASSERT_TRUE(run({"ch", "--error", "29", path.string() + ":%18"}, 0));
    const std::vector<std::uint8_t> changed = readBytes(path);
    ASSERT_EQ(changed.size(), kImageSize + kErrorTableSize);
    for (std::size_t i = 0; i < kErrorTableSize; ++i) {
        const bool onTrack18 = i >= 357 && i < 357 + 19;
        ASSERT_EQ(changed[kImageSize + i], onTrack18 ? 11 : 1) << i;
    }
}

TEST_F(ChTest, UpperCaseExtensionIsKept) {
    const fs::path path = image("GAME.D64");
    ASSERT_TRUE(run({"ch", "-e", "21", path.string() + ":%18.0"}, 0));
    EXPECT_EQ(fs::file_size(path), kImageSize + kErrorTableSize);
    EXPECT_FALSE(fs::exists(scratch_.path() / "GAME.d64"));
}

// Saving a truncated image would drop its partial last block and put the
// error table where blocks belong.
TEST_F(ChTest, TruncatedImageIsLeftAsItIs) {
    const fs::path path = image("short.d64");
    fs::resize_file(path, kImageSize - 848);
    const std::vector<std::uint8_t> before = readBytes(path);
    ASSERT_TRUE(run({"ch", "-e", "23", path.string() + ":%18.1"}, 1));
    EXPECT_EQ(errors(), "warning: 'short.d64': blocks past the end of the image are missing\nerror: '" + path.string() +
                            "': some blocks of the container hold no data; it is left unchanged\n");
    EXPECT_EQ(readBytes(path), before);
}

// A 42-track image with its error table is changed in one byte and keeps its size.
TEST_F(ChTest, FortyTwoTrackImageKeepsItsTracksAndErrorTable) {
    std::vector<std::uint8_t> bytes(206114, 0);
    std::copy(original_.begin(), original_.end(), bytes.begin());
    std::fill(bytes.begin() + 205312, bytes.end(), std::uint8_t{1});
    const fs::path path = scratch_.write("x42.d64", bytes);
    ASSERT_TRUE(run({"ch", "-e", "23", path.string() + ":%1.0"}, 0));
    const std::vector<std::uint8_t> after = readBytes(path);
    ASSERT_EQ(after.size(), 206114u);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != bytes[i] ? 1u : 0u;
    EXPECT_EQ(changed, 1u);
    EXPECT_EQ(after[205312], 5);  // 1/0's error byte: code 23
}

// An image of a size no D64 has opens by its extension, lists, and is never saved.
TEST_F(ChTest, ImageOfAnUnknownSizeIsLeftAsItIs) {
    std::vector<std::uint8_t> bytes = original_;
    bytes.resize(175532, 1);
    const fs::path path = scratch_.write("odd.d64", bytes);
    ASSERT_TRUE(run({"ch", "-e", "23", path.string() + ":%1.0"}, 1));
    EXPECT_EQ(errors(),
              "notice: 'odd.d64': not ID'd; opened by its extension as D64\n"
              "warning: 'odd.d64': the image's size is not one its format knows\n"
              "error: '" +
                  path.string() + "': the size of the container is not one its format knows; it is left unchanged\n");
    EXPECT_EQ(readBytes(path), bytes);
}

// The image is identified as a D64 and saved as img.d64, which must not
// replace a different file of that name.
TEST_F(ChTest, NeverOverwritesAnotherFileUnderTheFormatsName) {
    const fs::path bin = image("img.bin");
    const fs::path other = image("img.d64", "wide40.d64");
    const std::vector<std::uint8_t> otherBytes = readBytes(other);
    ASSERT_TRUE(run({"ch", "-e", "23", bin.string() + ":%18.1"}, 1));
    EXPECT_NE(errors().find("not overwriting"), std::string::npos);
    EXPECT_EQ(readBytes(other), otherBytes);
    EXPECT_EQ(readBytes(bin), original_);

    fs::remove(other);
    ASSERT_TRUE(run({"ch", "-e", "23", bin.string() + ":%18.1"}, 0));
    EXPECT_NE(errors().find("'" + other.string() + "'"), std::string::npos);
    EXPECT_EQ(readBytes(bin), original_);
    EXPECT_EQ(fs::file_size(other), kImageSize + kErrorTableSize);
}

// A G64 opens as the D64 its tracks decode to: the change goes to a new D64 beside it,
// never over the raw tracks, and not over a D64 already there.
TEST_F(ChTest, RawTrackImageIsSavedAsAD64BesideIt) {
    const fs::path raw = scratch_.copyFixture("g64/base.g64", "raw.g64");
    const fs::path d64 = scratch_.file("raw.d64");
    const std::vector<std::uint8_t> rawBytes = readBytes(raw);
    ASSERT_TRUE(run({"ch", "-e", "23", raw.string() + ":%1.0"}, 0));
    EXPECT_EQ(errors(), "extend errors.\nnotice: writing modified copy of container to '" + d64.string() + "'\n");
    EXPECT_EQ(readBytes(raw), rawBytes);
    const std::vector<std::uint8_t> written = readBytes(d64);
    ASSERT_EQ(written.size(), kImageSize + kErrorTableSize);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.begin() + kImageSize),
              test_support::readFixture("d64/base.d64"));
    EXPECT_EQ(written[kImageSize], 5);

    ASSERT_TRUE(run({"ch", "-e", "21", raw.string() + ":%1.0"}, 1));
    EXPECT_NE(errors().find("not overwriting"), std::string::npos);
    EXPECT_EQ(readBytes(raw), rawBytes);
    EXPECT_EQ(readBytes(d64), written);
}

// A zipcode set is changed into NAME.d64 beside its parts, which stay as they were.
TEST_F(ChTest, ZipcodeSetIsSavedAsAD64BesideItsParts) {
    std::vector<std::vector<std::uint8_t>> parts;
    for (const char* name : {"1!game", "2!game", "3!game", "4!game"}) {
        scratch_.copyFixture(std::string("zipcode/") + name, name);
        parts.push_back(readBytes(scratch_.file(name)));
    }
    ASSERT_TRUE(run({"ch", "-e", "23", scratch_.file("2!game").string() + ":%18.1"}, 0));
    const fs::path d64 = scratch_.file("game.d64");
    EXPECT_EQ(errors(), "extend errors.\nnotice: writing modified copy of container to '" + d64.string() + "'\n");
    const std::vector<std::uint8_t> written = readBytes(d64);
    ASSERT_EQ(written.size(), kImageSize + kErrorTableSize);
    EXPECT_EQ(written[kImageSize + kBlock18_1], 5);
    for (std::size_t k = 0; k < parts.size(); ++k)
        EXPECT_EQ(readBytes(scratch_.file(std::to_string(k + 1) + "!game")), parts[k]) << k;
    ASSERT_TRUE(run({"ch", "-e", "21", scratch_.file("1!game").string() + ":%18.1"}, 1));
    EXPECT_EQ(readBytes(d64), written);
}

// An image read from standard input, a pipe or a device has no file to be saved to: it is
// refused before anything changes, and no file appears beside the device.
TEST_F(ChTest, ImagesReadFromStreamsAreNeverSaved) {
    const fs::path path = image("x.d64");
    const fs::path link = scratch_.file("in");
    fs::create_symlink("/dev/stdin", link);
    const fs::path fifo = scratch_.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test_support::FifoWriter writer(fifo, original_);
    for (const std::string& source : {std::string("/dev/stdin"), link.string(), fifo.string()}) {
        const test_support::zt_run_t result = test_support::runZt({"ch", "-e", "23", source + ":%18.1"}, path);
        EXPECT_EQ(result.status, 1) << source;
        EXPECT_EQ(result.errors, "error: '" + source +
                                     "': the container was read from a device, pipe or standard input; there is "
                                     "no file to save it to\n");
    }
    writer.finish();
    EXPECT_FALSE(fs::exists("/dev/stdin.d64"));
    EXPECT_FALSE(fs::exists(scratch_.file("in.d64")));
    EXPECT_FALSE(fs::exists(scratch_.file("fifo.d64")));
    EXPECT_EQ(readBytes(path), original_);
}

// A save that fails names its cause in the save routine's words, and no notice says that the
// container was overwritten.
TEST_F(ChTest, AFailedSaveNamesItsCause) {
    const fs::path folder = scratch_.file("locked");
    const fs::path path = image("locked/x.d64");
    fs::permissions(scratch_.path(), fs::perms(0755));
    fs::permissions(folder, fs::perms(0555));
    EXPECT_TRUE(test_support::inChildWithoutRoot([&] {
        const test_support::zt_run_t result = test_support::runZt({"ch", "-e", "23", path.string() + ":%18.1"});
        const std::string cannotSave = ": Permission denied\nerror: '" + path.string() +
                                       "': the modified container could not be saved\n";
        const std::string& errors = result.errors;
        const bool named = errors.starts_with("extend errors.\nerror: ") && errors.ends_with(cannotSave) &&
                           errors.find("notice") == std::string::npos;
        return result.status == 1 && named ? std::string() : "status " + std::to_string(result.status) + ": " + errors;
    }));
    fs::permissions(folder, fs::perms(0755));
    EXPECT_EQ(readBytes(path), original_);
}

}  // namespace
}  // namespace app
