#include "platter/open/open_container.hpp"

#include "forge/files.hpp"
#include "platter/core/directory_entry_count.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/open/archive_builder.hpp"
#include "platter/open/format_classes.hpp"

#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using test_support::readWhole;

namespace platter {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> fixture(const std::string& name) {
    forge::file_t file;
    EXPECT_TRUE(forge::readFile(std::string(ZT_TEST_DATA) + "/core/" + name, file)) << name;
    return file.data;
}

// The data of the index-th entry; empty when it cannot be read.
std::vector<std::uint8_t> fileAt(Disk& disk, std::uint64_t index) {
    dir_entry_t entry;
    std::vector<std::uint8_t> data;
    if (!disk.getEntry(index, false, entry) || !readWhole(disk, entry, data)) data.clear();
    return data;
}

std::string entryName(const dir_entry_t& entry) {
    std::string name;
    for (std::uint8_t c : entry.name()) {
        if (c == 0xA0) break;
        name.push_back(static_cast<char>(c));
    }
    return name;
}

// A scratch directory removed with everything in it.
class OpenContainerFile : public ::testing::Test {
protected:
    fs::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        return scratch_.write(name, bytes);
    }

    test_support::ScratchDir scratch_;
    const fs::path dir_ = scratch_.path();
};

TEST(OpenContainer, ReadsAD64FromBytes) {
    const std::vector<std::uint8_t> image = fixture("small.d64");
    std::unique_ptr<Disk> disk = openContainer(format_id::d64, "games/game.d64", image).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->lastError(), 0u);
    EXPECT_EQ(disk->blocksFree(), 661u);
    EXPECT_EQ(disk->imagePath(), "games/game.d64");
    EXPECT_EQ(disk->sourcePath(), "games/game.d64");
    EXPECT_FALSE(disk->isModified());
    EXPECT_EQ(countDirectoryEntries(*disk), 2u);
    EXPECT_EQ(fileAt(*disk, 0), fixture("hello.prg"));

    disk = openContainer(format_id::d64, "stdin", image).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->imagePath(), "stdin.d64");
}

TEST(OpenContainer, TakesMovedBytesOverWithoutACopy) {
    std::vector<std::uint8_t> image = fixture("small.d64");
    const std::uint8_t* const original = image.data();
    std::unique_ptr<Disk> disk = openContainer(format_id::d64, "game.d64", std::move(image)).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->providerData(0), original);
    EXPECT_EQ(disk->blocksFree(), 661u);
    EXPECT_EQ(fileAt(*disk, 0), fixture("hello.prg"));

    // Bytes the caller keeps are copied: its vector stays as it was.
    const std::vector<std::uint8_t> kept = fixture("small.d64");
    disk = openContainer(format_id::d64, "game.d64", kept).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_NE(disk->providerData(0), kept.data());
    EXPECT_EQ(kept, fixture("small.d64"));

    disk = openContainer(format_id::d64, "stdin", fixture("small.d64")).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->imagePath(), "stdin.d64");
}

TEST(OpenContainer, RejectsImagesShorterThanTheirClass) {
    std::vector<std::uint8_t> image = fixture("small.d64");
    EXPECT_EQ(openContainer(format_id::d64, "x.d64", std::vector<std::uint8_t>(100, 0)).disk, nullptr);
    image.pop_back();
    EXPECT_EQ(openContainer(format_id::d64, "x.d64", image).disk, nullptr);
    EXPECT_EQ(openContainer(format_id::d64, "x.d64", {}).disk, nullptr);
    image.push_back(0);
    image.push_back(0);  // longer than any known layout: opens with its code
    std::unique_ptr<Disk> disk = openContainer(format_id::d64, "x.d64", image).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->lastError(), kErrBadSize);
}

TEST(OpenContainer, WrapsASingleFileWithoutOverwritingTheImage) {
    const std::vector<std::uint8_t> program = fixture("hello.prg");
    std::unique_ptr<Disk> disk = openContainer(format_id::prg, "hello.prg", program).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->formatId(), format_id::d64);
    EXPECT_EQ(disk->providerSize(), 174848u);
    EXPECT_EQ(disk->imagePath(), "hello.d64");
    EXPECT_EQ(countDirectoryEntries(*disk), 1u);
    dir_entry_t entry;
    ASSERT_TRUE(disk->getEntry(0, false, entry));
    EXPECT_EQ(entry.fileType(), kTypePrg);
    EXPECT_EQ(fileAt(*disk, 0), program);
}

TEST(OpenContainer, P00YieldsTheWrappedFileUnderItsHeaderName) {
    std::unique_ptr<Disk> disk = openContainer(format_id::p00, "anything.p00", fixture("hello.p00")).disk;
    ASSERT_NE(disk, nullptr);
    dir_entry_t entry;
    ASSERT_TRUE(disk->getEntry(0, false, entry));
    const std::array<std::uint8_t, 5> shiftedHello = {0xC8, 0xC5, 0xCC, 0xCC, 0xCF};
    EXPECT_TRUE(std::equal(shiftedHello.begin(), shiftedHello.end(), entry.name().begin()));
    EXPECT_EQ(entry.name()[5], 0xA0);
    EXPECT_EQ(fileAt(*disk, 0), fixture("hello.prg"));
}

TEST(OpenContainer, PC64FilesKeepTheTypeTheirExtensionNames) {
    // Identification calls every "C64File" file P00; the ".s00" still makes it a SEQ.
    const std::vector<std::uint8_t> s00 = fixture("notes.s00");
    for (const format_id id : {format_id::p00, format_id::s00}) {
        std::unique_ptr<Disk> disk = openContainer(id, "notes.s00", s00).disk;
        ASSERT_NE(disk, nullptr) << formatNumber(id);
        dir_entry_t entry;
        ASSERT_TRUE(disk->getEntry(0, false, entry));
        EXPECT_EQ(entry.fileType(), kTypeSeq) << formatNumber(id);
        EXPECT_EQ(fileAt(*disk, 0), fixture("notes.seq"));
    }
    // Without an extension of the family the identified P00 row holds.
    std::unique_ptr<Disk> piped = openContainer(format_id::p00, "stdin", s00).disk;
    ASSERT_NE(piped, nullptr);
    dir_entry_t entry;
    ASSERT_TRUE(piped->getEntry(0, false, entry));
    EXPECT_EQ(entry.fileType(), kTypePrg);
}

TEST(OpenContainer, P00HeadersThatLie) {
    std::vector<std::uint8_t> p00 = fixture("hello.p00");
    p00.resize(20);
    EXPECT_EQ(openContainer(format_id::p00, "x.p00", p00).disk, nullptr);
    // No "C64File" signature: no P00 file, whatever the name says.
    EXPECT_EQ(openContainer(format_id::p00, "x.p00", std::vector<std::uint8_t>(400, 'Z')).disk, nullptr);
}

TEST(OpenContainer, ArchivesExpandIntoANewUnmodifiedImage) {
    const open_result_t lynx = openContainer(format_id::lynx, "x.lnx", fixture("small.lnx"));
    ASSERT_NE(lynx.disk, nullptr);
    EXPECT_EQ(lynx.disk->formatId(), format_id::d64);
    EXPECT_EQ(lynx.disk->imagePath(), "x.d64");
    EXPECT_FALSE(lynx.disk->isModified());
    EXPECT_EQ(countDirectoryEntries(*lynx.disk), 2u);
    EXPECT_EQ(fileAt(*lynx.disk, 0), fixture("hello.prg"));
    EXPECT_EQ(fileAt(*lynx.disk, 1), fixture("notes.seq"));
    EXPECT_NE(archiveToDiskByType(fixture("small.lnx"), 80, "x.lnx").disk, nullptr);
    // A type that is no archive kind expands to nothing.
    EXPECT_EQ(archiveToDiskByType(fixture("small.lnx"), 5, "x.lnx").disk, nullptr);
}

TEST(OpenContainer, KindsWithoutAClassOrARowOpenNothing) {
    EXPECT_EQ(openContainer(format_id::txt, "x.txt", {1, 2, 3}).disk, nullptr);              // no class
    EXPECT_EQ(openContainer(static_cast<format_id>(34), "x.sfx", {1, 2, 3}).disk, nullptr);  // no row
}

TEST_F(OpenContainerFile, OpensAnImageByItsExtensionInAnyCase) {
    const fs::path path = write("GAME.D64", fixture("small.d64"));
    std::unique_ptr<Disk> disk = openContainerFile(path).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->imagePath(), path);
    EXPECT_EQ(disk->blocksFree(), 661u);
    EXPECT_FALSE(disk->isModified());
}

TEST_F(OpenContainerFile, TruncatedImageListsWhatItHoldsAndReadsNothingPastItsEnd) {
    std::vector<std::uint8_t> image = fixture("small.d64");
    constexpr std::size_t kDirectoryBlock = 91392 + 256;  // 18/1
    image.resize(kDirectoryBlock + 256);
    image[kDirectoryBlock + 32 + 3] = 30;  // NOTES now starts on track 30, past the end
    std::unique_ptr<Disk> disk = openContainerFile(write("cut.d64", image)).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->lastError(), kErrBadSize);
    EXPECT_EQ(countDirectoryEntries(*disk), 2u);
    EXPECT_EQ(fileAt(*disk, 0), fixture("hello.prg"));
    EXPECT_TRUE(fileAt(*disk, 1).empty());
    EXPECT_EQ(disk->sectorPointer(30, 0), nullptr);
    EXPECT_EQ(disk->sectorPointer(18, 2), nullptr);
}

// A named pipe delivers its bytes once: the opener must not read the file a second time.
// The writer answers any later reader with an empty stream, so a re-read shows as a
// failed open instead of a hang.
TEST_F(OpenContainerFile, OpensANamedPipeReadingItOnce) {
    const fs::path pipe = dir_ / "piped.d64";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::vector<std::uint8_t> image = fixture("small.d64");
    std::atomic<bool> done{false};
    std::thread writer([&] {
        const int fd = ::open(pipe.c_str(), O_WRONLY);
        if (fd < 0) return;
        std::size_t written = 0;
        while (written < image.size()) {
            const ssize_t n = ::write(fd, image.data() + written, image.size() - written);
            if (n <= 0) break;
            written += static_cast<std::size_t>(n);
        }
        ::close(fd);
        while (!done) {
            const int again = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (again >= 0) ::close(again);
            std::this_thread::yield();
        }
    });
    std::unique_ptr<Disk> disk = openContainerFile(pipe).disk;
    done = true;
    writer.join();

    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->lastError(), 0u);
    EXPECT_EQ(disk->imagePath(), pipe);
    EXPECT_EQ(disk->blocksFree(), 661u);
    EXPECT_EQ(countDirectoryEntries(*disk), 2u);
    EXPECT_EQ(fileAt(*disk, 0), fixture("hello.prg"));
}

TEST_F(OpenContainerFile, WrapsSingleFilesByExtension) {
    std::unique_ptr<Disk> disk = openContainerFile(write("hello.prg", fixture("hello.prg"))).disk;
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->imagePath(), dir_ / "hello.d64");
    EXPECT_FALSE(disk->isModified());
    dir_entry_t entry;
    ASSERT_TRUE(disk->getEntry(0, false, entry));
    EXPECT_EQ(entryName(entry), "HELLO");
    EXPECT_EQ(fileAt(*disk, 0), fixture("hello.prg"));
}

TEST_F(OpenContainerFile, RefusesWhatItCannotOpen) {
    EXPECT_EQ(openContainerFile(dir_ / "absent.d64").disk, nullptr);
    EXPECT_EQ(openContainerFile(write("notes.foo", fixture("notes.seq"))).disk, nullptr);
    EXPECT_EQ(openContainerFile(write("noextension", fixture("notes.seq"))).disk, nullptr);
    fs::create_directory(dir_ / "folder.d64");
    EXPECT_EQ(openContainerFile(dir_ / "folder.d64").disk, nullptr);
}

TEST_F(OpenContainerFile, ImagesTooShortForTheirHeaderOpenEmptyAndUnreadable) {
    for (const std::size_t size : {0u, 100u, 91392u + 255u}) {
        std::unique_ptr<Disk> disk = openContainerFile(write("short.d64", std::vector<std::uint8_t>(size, 0x12))).disk;
        ASSERT_NE(disk, nullptr) << size;
        EXPECT_EQ(disk->lastError(), kErrBadSize);
        EXPECT_EQ(disk->providerSize(), size);
        EXPECT_EQ(disk->sectorPointer(18, 0), nullptr);
        EXPECT_EQ(countDirectoryEntries(*disk), 0u);
    }
}

TEST_F(OpenContainerFile, ReportsKindsThatCannotBeOpenedYet) {
    const auto failure = [](const open_result_t& result) { return result.disk ? "opened" : result.failure; };
    EXPECT_EQ(failure(openContainerFile(write("1!game", fixture("notes.seq")))),
              "the zipcode set 'game' has no valid part");
}

TEST(ArchiveEntries, NeedTheConvertSignatureForCvtNames) {
    std::unique_ptr<Disk> disk = createBlankDisk(format_id::d64, 0).disk;
    ASSERT_NE(disk, nullptr);
    const auto named = [](std::string_view text) {
        std::array<std::uint8_t, 16> name;
        name.fill(0xA0);
        std::copy(text.begin(), text.end(), name.begin());
        return name;
    };
    std::vector<std::uint8_t> plain(300, 0x20);
    std::vector<std::uint8_t> convert = plain;
    const std::string_view signature = " formatted GEOS file";
    std::copy(signature.begin(), signature.end(), convert.begin() + 33);
    ASSERT_TRUE(disk->importFile(named("PLAIN.CVT"), 0, plain, 0, nullptr));
    ASSERT_TRUE(disk->importFile(named("REAL.CVT"), 1, convert, 0, nullptr));
    ASSERT_TRUE(disk->importFile(named("GAME.LNX"), 2, plain, 0, nullptr));
    ASSERT_TRUE(disk->importFile(named("1!GAME"), 3, plain, 0, nullptr));
    ASSERT_TRUE(disk->importFile(named("GAME.PRG"), 4, plain, 0, nullptr));

    std::vector<bool> archive;
    for (std::uint64_t i = 0; i < 5; ++i) {
        dir_entry_t entry;
        ASSERT_TRUE(disk->getEntry(i, false, entry));
        archive.push_back(isArchiveEntry(*disk, &entry));
    }
    EXPECT_EQ(archive, (std::vector<bool>{false, true, true, true, false}));
    EXPECT_FALSE(isArchiveEntry(*disk, nullptr));
}

}  // namespace
}  // namespace platter
