#include "platter/open/open_argument.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platter/core/file_data_provider.hpp"

#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;

namespace platter {
namespace {

std::string texts(const opened_container_t& opened) {
    std::string out;
    for (const forge::message_t& message : opened.messages) {
        switch (message.level) {
            case forge::message_level::notice: out += "notice: "; break;
            case forge::message_level::warning: out += "warning: "; break;
            case forge::message_level::error: out += "error: "; break;
        }
        out += message.text + "\n";
    }
    return out;
}

TEST(OpenContainerArgument, AnImageOpensWithoutAMessage) {
    const opened_container_t opened = openContainerArgument(test_support::fixturePath("ls/t.d64").string());
    ASSERT_NE(opened.disk, nullptr);
    EXPECT_EQ(opened.disk->blocksFree(), 663u);
    EXPECT_EQ(opened.format, format_id::d64);
    EXPECT_EQ(texts(opened), "");
}

TEST(OpenContainerArgument, OneMessageSaysWhyThereIsNoContainer) {
    const opened_container_t text = openContainerArgument(test_support::fixturePath("ls/tree/notes.txt").string());
    EXPECT_EQ(text.disk, nullptr);
    EXPECT_TRUE(text.read);
    EXPECT_TRUE(text.nothingToOpen);
    EXPECT_EQ(texts(text), "error: 'notes.txt': not a container (ID'd as unix text)\n");

    const test_support::ScratchDir scratch;
    EXPECT_EQ(texts(openContainerArgument(scratch.write("empty.d64", {}))), "error: 'empty.d64': the file is empty\n");
    EXPECT_EQ(texts(openContainerArgument(scratch.write("noise", test_support::bytes_t(3, 0x00)))),
              "error: 'noise' not ID'd as a supported format\n");

    const opened_container_t missing = openContainerArgument(test_support::fixturePath("ls/missing.d64").string());
    EXPECT_FALSE(missing.read);
    EXPECT_EQ(texts(missing), "error: 'missing.d64' could not be read\n");
    EXPECT_EQ(texts(openContainerArgument(test_support::fixturePath("ls/tree").string())),
              "error: 'tree' could not be read\n");
}

TEST(OpenContainerArgument, AFileLargerThanAnyKindReadsWholeIsNotRead) {
    // Sparse: 20 GiB of nothing that would otherwise be read into memory.
    const test_support::ScratchDir scratch;
    const std::filesystem::path huge = scratch.write("huge.d64", {});
    std::filesystem::resize_file(huge, std::uint64_t{20} << 30);
    const opened_container_t opened = openContainerArgument(huge.string());
    EXPECT_EQ(opened.disk, nullptr);
    EXPECT_EQ(texts(opened), "error: 'huge.d64' is larger than 64 MiB, more than any image or archive this reads\n");
    // A stream is read up to the same size and gets the same message.
    if (!std::filesystem::is_character_file("/dev/zero")) return;
    EXPECT_EQ(texts(openContainerArgument("/dev/zero")),
              "error: 'zero' is larger than 64 MiB, more than any image or archive this reads\n");
}

TEST(OpenContainerArgument, AnImageIsReadBlockByBlockAndAFileThatShrinksIsDamage) {
    const test_support::ScratchDir scratch;
    const std::filesystem::path path = scratch.copyFixture("ls/t.d64", "t.d64");
    const opened_container_t opened = openContainerArgument(path.string());
    ASSERT_NE(opened.disk, nullptr);
    const auto* provider = dynamic_cast<const FileDataProvider*>(opened.disk->dataProvider());
    ASSERT_NE(provider, nullptr);
    EXPECT_LE(provider->loadedBlockCount(), 32u);  // 4 KiB from the first and the header block on
    EXPECT_FALSE(opened.disk->damage().sourceChanged);

    // Blocks already read stay readable; the others are gone, not junk.
    std::filesystem::resize_file(path, 0);
    EXPECT_EQ(opened.disk->blocksFree(), 663u);
    EXPECT_EQ(opened.disk->sectorPointer(2, 0), nullptr);
    EXPECT_TRUE(opened.disk->damage().sourceChanged);
    // Saved, it would have holes where the lost blocks were: nothing is written.
    EXPECT_FALSE(saved(opened.disk->saveAs(scratch.file("copy.d64"))));
    EXPECT_FALSE(std::filesystem::exists(scratch.file("copy.d64")));
}

// Every block's bytes, or none for one that holds no data, track by track.
std::vector<std::vector<std::uint8_t>> everyBlock(Disk& disk) {
    std::vector<std::vector<std::uint8_t>> blocks;
    for (std::uint64_t track = 1; track <= disk.trackCount(); ++track) {
        for (std::uint64_t sector = 0; sector <= disk.maxSector(track); ++sector) {
            const std::uint8_t* block = disk.readableBlock(makeBlock(track, sector));
            blocks.emplace_back(block, block ? block + Disk::kBlockSize : block);
        }
    }
    return blocks;
}

// A raw-track file is read as its tracks are decoded, and holds what it holds read whole.
TEST(OpenContainerArgument, RawTrackImagesReadOnDemandHoldWhatTheyHoldReadWhole) {
    const test_support::ScratchDir scratch;
    for (const std::string name : {"base.g64", "base.nib"}) {
        const std::filesystem::path path = scratch.copyFixture("g64/" + name, name);
        const opened_container_t onDemand = openContainerArgument(path.string());
        const opened_container_t whole =
            openIdentifiedArgument(path.string(), test_support::readFixture("g64/" + name), onDemand.type);
        ASSERT_NE(onDemand.disk, nullptr) << name;
        ASSERT_NE(whole.disk, nullptr) << name;
        EXPECT_EQ(onDemand.format, whole.format);
        EXPECT_EQ(texts(onDemand), "");
        EXPECT_EQ(onDemand.disk->damage().notes, whole.disk->damage().notes);
        EXPECT_EQ(everyBlock(*onDemand.disk), everyBlock(*whole.disk)) << name;
    }

    // Cut short once open: the tracks not decoded yet are no data, and the image says why.
    const std::filesystem::path path = scratch.copyFixture("g64/base.g64", "shrinks.g64");
    const opened_container_t opened = openContainerArgument(path.string());
    ASSERT_NE(opened.disk, nullptr);
    EXPECT_FALSE(opened.disk->damage().sourceChanged);
    std::filesystem::resize_file(path, 1000);
    EXPECT_NE(opened.disk->readableBlock(makeBlock(18, 0)), nullptr);
    EXPECT_EQ(opened.disk->readableBlock(makeBlock(1, 0)), nullptr);
    EXPECT_TRUE(opened.disk->damage().sourceChanged);
}

TEST(OpenContainerArgument, AnImageAskedForWholeIsReadFirstOverTheCallersStat) {
    const test_support::ScratchDir scratch;
    const std::filesystem::path path = scratch.copyFixture("ls/t.d64", "t.d64");
    const forge::host_file_status_t status = forge::statHostFile(path.string());
    const opened_container_t opened = openContainerArgument(path.string(), {status, true});
    ASSERT_NE(opened.disk, nullptr);
    EXPECT_EQ(opened.format, format_id::d64);
    EXPECT_EQ(texts(opened), "");
    const auto* provider = dynamic_cast<const FileDataProvider*>(opened.disk->dataProvider());
    ASSERT_NE(provider, nullptr);
    EXPECT_EQ(provider->loadedBlockCount(), 683u);
    // Every block is in memory: the file cut short now loses nothing.
    std::filesystem::resize_file(path, 0);
    EXPECT_EQ(opened.disk->blocksFree(), 663u);
    EXPECT_NE(opened.disk->sectorPointer(35, 16), nullptr);
    EXPECT_FALSE(opened.disk->damage().sourceChanged);

    // Cut short after the stat: the size it gave is not there to read.
    std::filesystem::resize_file(path, 0x16600);
    for (const bool whole : {true, false}) {
        const opened_container_t shrunk = openContainerArgument(path.string(), {status, whole});
        EXPECT_EQ(shrunk.disk, nullptr);
        EXPECT_EQ(texts(shrunk), "error: 't.d64' could not be read\n");
    }
}

TEST(OpenContainerArgument, AnIde64ImageAbove64MiBListsWithoutBeingReadWhole) {
    const test_support::ScratchDir scratch;
    const std::filesystem::path path = scratch.copyFixture("cmd/x.hdd", "big.hdd");
    std::filesystem::resize_file(path, std::uint64_t{100} << 20);  // sparse
    const opened_container_t opened = openContainerArgument(path.string());
    ASSERT_NE(opened.disk, nullptr);
    EXPECT_EQ(texts(opened), "notice: 'big.hdd': not ID'd; opened by its extension as IDE64\n");
    EXPECT_EQ(opened.disk->countDirectoryEntries(), 2u);
    const auto* provider = dynamic_cast<const FileDataProvider*>(opened.disk->dataProvider());
    ASSERT_NE(provider, nullptr);
    EXPECT_LT(provider->loadedBlockCount(), 64u);
}

TEST(OpenContainerArgument, ArchivesThatCannotBeExpandedAreErrors) {
    // A Lynx banner over an empty directory, and a zipcode part without its siblings.
    test_support::bytes_t lynx(300, 0);
    const std::string banner = "CBMCONVERT 2.0";
    std::copy(banner.begin(), banner.end(), lynx.begin() + 108);
    const test_support::ScratchDir scratch;
    EXPECT_EQ(texts(openContainerArgument(scratch.write("x.lnx", lynx))),
              "error: 'x.lnx': could not expand the archive.\n");
    EXPECT_EQ(texts(openStdinArgument(lynx)), "error: {data from stdin}: could not expand the archive.\n");
    EXPECT_EQ(texts(openStdinArgument(test_support::readFixture("zipcode/1!game"))),
              "error: {data from stdin}: a zipcode part needs its sibling files, named 1!NAME to 4!NAME\n");
}

// The part is no failure of the open: the image's damage report names it.
TEST(OpenContainerArgument, ASetWithAPartMissingOpensDamaged) {
    opened_container_t opened = openContainerArgument(test_support::fixturePath("zipcode/gap/2!gap").string());
    ASSERT_NE(opened.disk, nullptr);
    EXPECT_EQ(texts(opened), "");
    EXPECT_EQ(opened.disk->damage().notes, std::vector<std::string>{"zipcode part '4!gap' is missing; its tracks are empty"});
    EXPECT_EQ(opened.disk->imagePath(), test_support::fixturePath("zipcode/gap/gap.d64"));
}

// What identification does not name as a container opens by the extension, with a notice.
TEST(OpenContainerArgument, FallsBackToTheExtensionAndSaysSo) {
    const test_support::ScratchDir scratch;
    const opened_container_t program = openContainerArgument(scratch.write("a.prg", {0x01, 0x08, 0x00, 0x00, 0x00}));
    ASSERT_NE(program.disk, nullptr);
    EXPECT_EQ(program.format, format_id::prg);
    EXPECT_EQ(texts(program), "notice: 'a.prg': not ID'd; opened by its extension as PRG\n");

    test_support::bytes_t odd = test_support::readFixture("ls/t.d64");
    odd.push_back(0);
    const opened_container_t image = openContainerArgument(scratch.write("odd.d64", odd));
    ASSERT_NE(image.disk, nullptr);
    EXPECT_TRUE(image.disk->damage().sizeUnknown);
    EXPECT_EQ(image.disk->blocksFree(), 663u);
    EXPECT_EQ(texts(image), "notice: 'odd.d64': not ID'd; opened by its extension as D64\n");

    EXPECT_EQ(texts(openContainerArgument(scratch.write("x.lnx", test_support::bytes_t(1000, 0)))),
              "error: 'x.lnx': could not expand the archive.\n");
}

TEST(OpenStdinArgument, NamesStandardInput) {
    const opened_container_t opened = openStdinArgument(test_support::readFixture("ls/t.d64"));
    ASSERT_NE(opened.disk, nullptr);
    EXPECT_EQ(opened.disk->imagePath(), "stdin.d64");
    EXPECT_EQ(texts(openStdinArgument({'h', 'i'})), "error: {data from stdin} not ID'd as a supported format\n");
    EXPECT_EQ(texts(openStdinArgument({})), "error: {data from stdin}: the file is empty\n");
}

}  // namespace
}  // namespace platter
