#include "app/command_merge.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platter/core/disk.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::readWhole;

namespace app {
namespace {

using merge_bytes_t = std::vector<std::uint8_t>;

// One entry of a merged container, read the way RAMDOS walks them.
struct merged_entry_t {
    std::size_t offset = 0;
    std::uint8_t type = 0;
    merge_bytes_t name;
    merge_bytes_t data;
};

std::vector<merged_entry_t> readContainer(const merge_bytes_t& image) {
    std::vector<merged_entry_t> entries;
    for (std::size_t at = 0x2200; at + 26 <= image.size() && image[at + 3] != 0;) {
        const std::size_t length =
            (std::size_t{image[at + 1]} << 16 | std::size_t{image[at]} << 8 | image[at + 4]) - 25;
        merged_entry_t entry{at,
                             image[at + 3],
                             merge_bytes_t(image.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                   image.begin() + static_cast<std::ptrdiff_t>(at + 24)),
                             {}};
        entry.data.assign(image.begin() + static_cast<std::ptrdiff_t>(at + 26),
                          image.begin() + static_cast<std::ptrdiff_t>(at + 26 + length));
        entries.push_back(entry);
        at = (at + 26 + length + 256) & 0xFFFF00;
    }
    return entries;
}

// The files of an image as merge takes them: closed, not deleted, not empty slots.
std::vector<merged_entry_t> filesOf(const std::string& fixture) {
    std::vector<merged_entry_t> files;
    const std::unique_ptr<platter::Disk> disk = test_support::openD64(test_support::readFixture(fixture));
    platter::dir_entry_t entry;
    for (std::uint64_t index = 0; disk->getEntry(index, true, entry); ++index) {
        if (platter::isEmptyEntry(entry) || entry.isSplat() || entry.fileType() == platter::kTypeDel) continue;
        merged_entry_t file;
        file.type = entry.fileType() == platter::kTypeSeq ? 'S' : entry.fileType() == platter::kTypeUsr ? 'U' : 'P';
        for (const std::uint8_t b : entry.name()) file.name.push_back(b == 0xA0 ? 0 : b);
        readWhole(*disk, entry, file.data);  // false and empty for an entry without blocks
        files.push_back(file);
    }
    return files;
}

void expectSame(const merged_entry_t& merged, const merged_entry_t& file) {
    EXPECT_EQ(merged.type, file.type);
    EXPECT_EQ(merged.name, file.name);
    EXPECT_EQ(merged.data, file.data);
}

merge_bytes_t marker(const platter::dir_entry_t& entry) {
    return merge_bytes_t(entry.bytes.begin() + 5, entry.bytes.begin() + 21);
}

TEST(CommandMerge, MarkerEntries) {
    const platter::dir_entry_t separator = CommandMerge::makeSeparatorEntry();
    EXPECT_EQ(separator.typeByte(), 0xC3);
    EXPECT_EQ(marker(separator), merge_bytes_t(16, 0xC0));
    const platter::dir_entry_t header = CommandMerge::makeHeaderEntry("games/Mine.d64-and-more");
    EXPECT_EQ(marker(header),
              (merge_bytes_t{0xC0, ' ', 'G', 'A', 'M', 'E', 'S', '/', 0xCD, 'I', 'N', 'E', '.', 'D', '6', '4'}));
    EXPECT_EQ(marker(CommandMerge::makeHeaderEntry("a.d64")),
              (merge_bytes_t{0xC0, ' ', 'A', '.', 'D', '6', '4', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
}

TEST(CommandMerge, TheContainerListsBackEveryFile) {
    const test_support::ScratchDir scratch;
    const std::string out = scratch.file("m.reu").string();
    const std::vector<std::string> images = {"d64/base.d64", "d64/speed40.d64", "bam/errors.d64"};
    std::vector<std::string> words = {"merge", "-S", "-o", out};
    for (const std::string& image : images) words.push_back(test_support::fixturePath(image).string());
    const test_support::zt_run_t run = test_support::runZt(words);
    ASSERT_TRUE(run.ran);
    // The directory of errors.d64 starts at a block its error byte marks unread: none of its
    // files are merged.
    EXPECT_EQ(run.status, 1) << run.errors;

    const merge_bytes_t container = test_support::readBytes(out);
    ASSERT_EQ(container.size(), 0x1000000u);
    const std::vector<merged_entry_t> merged = readContainer(container);
    std::size_t at = 0;
    for (std::size_t i = 0; i < images.size(); ++i) {
        for (const merged_entry_t& file : filesOf(images[i])) {
            ASSERT_LT(at, merged.size());
            expectSame(merged[at++], file);
        }
        if (i + 1 == images.size()) break;
        ASSERT_LT(at, merged.size());
        EXPECT_EQ(merged[at].name, merge_bytes_t(16, 0xC0));
        EXPECT_EQ(merged[at++].data, (merge_bytes_t{'Z', 'T', '/', 'K', '.'}));
    }
    EXPECT_EQ(at, merged.size());
    // base.d64: HELLO at 0x2200, ... and NOFILE, no data, at 0x2C00.
    EXPECT_EQ(merged[0].offset, 0x2200u);
    EXPECT_EQ(merged[5].offset, 0x2C00u);
    EXPECT_TRUE(merged[5].data.empty());
}

// A cut image opens as ls opens it: merged with its damage named, and the run fails, since
// what it lost is not in the container.
TEST(CommandMerge, ADamagedImageIsMergedWithAWarning) {
    const test_support::ScratchDir scratch;
    const merge_bytes_t whole = test_support::readFixture("d64/base.d64");
    const std::string cut = scratch.write("cut.d64", merge_bytes_t(whole.begin(), whole.begin() + 100000)).string();
    const std::string out = scratch.file("m.reu").string();
    const test_support::zt_run_t run = test_support::runZt({"merge", "-o", out, cut});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "warning: 'cut.d64': blocks past the end of the image are missing\n"
              "warning: the RAMDOS program is not included: bytes 0x0300-0x1fff of '" +
                  out + "' are zeros in its place\n");
    const std::vector<merged_entry_t> merged = readContainer(test_support::readBytes(out));
    const std::vector<merged_entry_t> files = filesOf("d64/base.d64");
    ASSERT_EQ(merged.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) expectSame(merged[i], files[i]);
}

TEST(CommandMerge, ContainersAreLimitedTo16MiB) {
    const test_support::ScratchDir scratch;
    test_support::TestImage image = test_support::TestImage::blank();
    ASSERT_TRUE(
        image.disk->importFile(test_support::cbmName("BIG"), -1, test_support::patternBytes(168000, 1), 0, nullptr));
    const std::string big = scratch.write("big.d64", image.bytes()).string();
    const std::string out = scratch.file("m.reu").string();
    // 99 of them fit, 100 do not.
    std::vector<std::string> words = {"merge", "-o", out};
    words.insert(words.end(), 99, big);
    EXPECT_EQ(test_support::runZt(words).status, 0);
    std::filesystem::remove(out);
    words.push_back(big);
    const test_support::zt_run_t run = test_support::runZt(words);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "error: the merged files do not fit in the 16 MiB container\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace app
