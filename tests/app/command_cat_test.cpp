#include "app/command_cat.hpp"

#include "platter/core/disk.hpp"
#include "platter/open/open_container.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"

#include "tests/support/scratch_dir.hpp"

#include "tests/support/files.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace app {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readData(const std::string& name) { return test_support::readFixture("cat/" + name); }

std::size_t partSize(std::uint8_t linkTrack, std::uint8_t linkSector, bool wholeBlocks, bool lastBlockRule) {
    std::array<std::uint8_t, 256> block{};
    block[0] = linkTrack;
    block[1] = linkSector;
    return blockPart(block, wholeBlocks, lastBlockRule).size();
}

TEST(BlockPart, LinkBytesAndTheLastBlockCut) {
    EXPECT_EQ(partSize(0, 10, true, true), 256u);
    EXPECT_EQ(partSize(18, 4, false, true), 254u);
    EXPECT_EQ(partSize(0, 10, false, true), 9u);  // bytes 2 to 10
    EXPECT_EQ(partSize(0, 255, false, true), 254u);
    EXPECT_EQ(partSize(0, 2, false, true), 1u);
    EXPECT_EQ(partSize(0, 1, false, true), 0u);
    EXPECT_EQ(partSize(0, 0, false, true), 0u);
    EXPECT_EQ(partSize(0, 1, false, false), 254u);  // tracks have no last block
}

// Runs one selector through cat on the test image, whose block 1/0 holds
// the one-byte file ONE.
class CatTest : public ::testing::Test {
protected:
    std::string cat(const std::string& selector, bool terminal) {
        const platter::format_id format = platter::formatIdForType(platter::fileid::identify(image_).front().type);
        return cat(platter::openContainer(format, "cat.d64", image_).disk, selector, terminal);
    }

    std::string cat(std::unique_ptr<platter::Disk> disk, const std::string& selector, bool terminal) {
        EXPECT_NE(disk, nullptr);
        if (disk == nullptr) return {};
        std::ostringstream out;
        CommandCat command(out, terminal);
        EXPECT_TRUE(command.parseSelector(selector));
        testing::internal::CaptureStderr();
        EXPECT_EQ(command.processDisk(*disk, "cat.d64"), 0);
        errors_ = testing::internal::GetCapturedStderr();
        refused_ = command.refused();
        return out.str();
    }

    Bytes image_ = readData("cat.d64");
    std::string errors_;
    bool refused_ = false;
};

TEST_F(CatTest, SeqOnATerminalIsTextAndBinaryIsRefused) {
    const std::string text = "HELLO, WORLD!\nREVERSED PLAIN\nWHITE ``\n\n";
    EXPECT_EQ(cat("TEXT", true), text);
    EXPECT_FALSE(refused_);
    // Nothing is written after the refusal, the second TEXT included.
    EXPECT_EQ(cat("TEXT;ONE;TEXT", true), text);
    EXPECT_TRUE(refused_);
    EXPECT_EQ(errors_, "error: refusing to even attempt streaming binary data to a terminal.\n");
}

TEST_F(CatTest, ChainThatLoopsBackEndsWithAWarning) {
    image_[0] = 1;  // block 1/0 links to itself
    image_[1] = 0;
    EXPECT_EQ(cat("%%1.0", false).size(), 256u);
    EXPECT_NE(errors_.find("warning: '%%1.0'"), std::string::npos);
}

// A truncated image, opened by its extension as the command does: blocks
// 35/13 to 35/16 are valid but lie past its end.
TEST_F(CatTest, BlocksPastATruncatedEndAreSkippedWithAWarning) {
    const test_support::ScratchDir scratch;
    image_.erase(image_.end() - 848, image_.end());
    const std::filesystem::path path = scratch.write("truncated.d64", image_);
    const auto open = [&path]() { return platter::openContainerFile(path).disk; };
    EXPECT_EQ(cat(open(), "%35", false).size(), 13u * 256u);
    EXPECT_EQ(errors_,
              "warning: block 35.13 holds no data; skipped\n"
              "warning: block 35.14 holds no data; skipped\n"
              "warning: block 35.15 holds no data; skipped\n"
              "warning: block 35.16 holds no data; skipped\n");
    EXPECT_EQ(cat(open(), "%35.16,0", false).size(), 256u);
}

TEST_F(CatTest, ChainLinkPastTheImageEndsWithAWarning) {
    image_[0] = 99;
    EXPECT_EQ(cat("%%~1.0", false).size(), 254u);
    EXPECT_NE(errors_.find("warning:"), std::string::npos);
}

}  // namespace
}  // namespace app
