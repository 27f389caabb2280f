#include "platter/open/open_m2i.hpp"

#include <gtest/gtest.h>

#include "platter/core/disk.hpp"
#include "platter/open/format_classes.hpp"
#include "platter/open/open_container.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;
using test_support::readWhole;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::patternBytes;
using test_support::ScratchDir;

std::array<std::uint8_t, 16> raw(const std::string& text) {
    std::array<std::uint8_t, 16> name;
    name.fill(0xa0);
    std::copy(text.begin(), text.end(), name.begin());
    return name;
}

bytes_t textBytes(const std::string& text) { return bytes_t(text.begin(), text.end()); }

TEST(M2iIndex, ANameLineAloneGivesAnEmptyD64) {
    const ScratchDir dir;
    open_result_t opened = openM2I(dir.write("empty.m2i", textBytes("  MY DISK  \r\n")));
    ASSERT_TRUE(opened.disk) << opened.failure;
    EXPECT_EQ(opened.disk->formatId(), format_id::d64);
    std::array<std::uint8_t, 16> name{};
    ASSERT_TRUE(opened.disk->getDiskName(name));
    EXPECT_EQ(name, raw("MY DISK"));
    EXPECT_EQ(opened.disk->countDirectoryEntries(), 0u);
    EXPECT_EQ(opened.disk->imagePath(), dir.file("empty.d64"));
    EXPECT_FALSE(opened.disk->isModified());
    EXPECT_TRUE(opened.disk->journal().empty());
}

TEST(M2iIndex, LinesNameTypeHostFileAndCbmName) {
    const ScratchDir dir;
    dir.write("GAME.PRG", patternBytes(600, 1));
    dir.write("notes.txt", patternBytes(300, 2));
    dir.write("rel.bin", patternBytes(254, 3));
    dir.write("b", patternBytes(10, 4));
    const std::string index =
        "DISK\n"
        "P:GAME.PRG:GAME\n"
        "s:notes.txt: MY NOTES \n"
        "S:missing.seq:NOPE\n"
        "\n"
        "R:rel.bin:RECORDS\n"
        "P:../GAME.PRG:ESCAPE\n"
        "P::EMPTY HOST\n"
        "X:x:a:b:SPLIT\n";
    open_result_t opened = openM2I(dir.write("set.m2i", textBytes(index)));
    ASSERT_TRUE(opened.disk) << opened.failure;
    Disk& disk = *opened.disk;
    ASSERT_EQ(disk.countDirectoryEntries(), 4u);
    const struct {
        const char* name;
        std::uint8_t type;
        bytes_t data;
    } expected[] = {{"GAME", 0x82, patternBytes(600, 1)},
                    {"MY NOTES", 0x81, patternBytes(300, 2)},
                    {"RECORDS", 0x84, patternBytes(254, 3)},
                    {"SPLIT", 0x82, patternBytes(10, 4)}};
    for (std::uint64_t i = 0; i < 4; ++i) {
        dir_entry_t entry;
        ASSERT_TRUE(disk.getEntry(i, false, entry));
        EXPECT_EQ(test_support::nameOf(entry), raw(expected[i].name)) << i;
        EXPECT_EQ(entry.typeByte(), expected[i].type) << i;
        bytes_t data;
        ASSERT_TRUE(readWhole(disk, entry, data));
        EXPECT_EQ(data, expected[i].data) << i;
        if (i == 2) {
            EXPECT_EQ(entry.recordLength(), 0);
        }
    }
}

TEST(M2iIndex, TheTotalSizeChoosesTheImageKind) {
    const ScratchDir dir;
    dir.write("a.prg", patternBytes(170164, 1));
    open_result_t opened = openM2I(dir.write("big.m2i", textBytes("BIG\nP:a.prg:A\n")));
    ASSERT_TRUE(opened.disk) << opened.failure;
    EXPECT_EQ(opened.disk->formatId(), format_id::d81);
    EXPECT_EQ(opened.disk->imagePath(), dir.file("big.d81"));
    dir_entry_t entry;
    bytes_t data;
    ASSERT_TRUE(opened.disk->getEntry(0, false, entry));
    ASSERT_TRUE(readWhole(*opened.disk, entry, data));
    EXPECT_EQ(data, patternBytes(170164, 1));
    dir.write("b.prg", patternBytes(808960 - 170164, 2));
    opened = openM2I(dir.write("huge.m2i", textBytes("HUGE\nP:a.prg:A\nP:b.prg:B\n")));
    if (formatClass(format_id::dnp)) {
        ASSERT_TRUE(opened.disk) << opened.failure;
        EXPECT_EQ(opened.disk->formatId(), format_id::dnp);
    } else {
        EXPECT_FALSE(opened.disk);
    }
}

TEST(M2iIndex, ASetTooLargeForAD64DirectoryTriesTheNextKind) {
    const ScratchDir dir;
    dir.write("one.prg", bytes_t(1, 1));
    std::string index = "MANY\n";
    for (int i = 0; i < 145; ++i) index += "P:one.prg:F" + std::to_string(i) + "\n";
    open_result_t opened = openM2I(dir.write("many.m2i", textBytes(index)));
    ASSERT_TRUE(opened.disk) << opened.failure;
    EXPECT_EQ(opened.disk->formatId(), format_id::d81);
    EXPECT_EQ(opened.disk->countDirectoryEntries(), 145u);
}

TEST(M2iIndex, EveryTruncationOpensSafely) {
    const ScratchDir dir;
    dir.write("GAME.PRG", patternBytes(600, 1));
    const std::string index = "DISK\r\nP:GAME.PRG:GAME\r\nS:x:y:GAME.PRG: Z \r\nD\n:\n::\n";
    for (std::size_t size = 0; size <= index.size(); ++size) {
        const bytes_t bytes = textBytes(index.substr(0, size));
        open_result_t opened = openM2I(dir.file("cut.m2i"), &bytes);
        if (opened.disk) opened.disk->countDirectoryEntries();
    }
}

TEST(M2iIndex, OpensThroughTheRegistryByItsExtension) {
    const ScratchDir dir;
    dir.write("GAME.PRG", patternBytes(600, 1));
    open_result_t opened = openContainerFile(dir.write("set.m2i", textBytes("DISK\nP:GAME.PRG:GAME\n")));
    ASSERT_TRUE(opened.disk) << opened.failure;
    EXPECT_EQ(opened.disk->countDirectoryEntries(), 1u);
}

// An independent reader of the image an index builds.
TEST(M2iIndex, CbmconvertExtractsTheListedFiles) {
    if (!test_support::haveProgram("/usr/bin/cbmconvert")) GTEST_SKIP() << "cbmconvert missing";
    const ScratchDir dir;
    dir.write("game.prg", patternBytes(5000, 7));
    open_result_t opened = openM2I(dir.write("set.m2i", textBytes("MY DISK\nP:game.prg:game\nS:missing.seq:NOPE\n")));
    ASSERT_TRUE(opened.disk);
    ASSERT_EQ(opened.disk->countDirectoryEntries(), 1u);
    ASSERT_TRUE(saved(opened.disk->saveAs(dir.file("set.d64"))));
    std::filesystem::create_directory(dir.file("out"));
    const auto [output, status] =
        test_support::runCommand("cd " + dir.file("out").string() + " && cbmconvert -v1 -N -d ../set.d64 2>&1");
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(test_support::readBytes(dir.file("out/game.prg")), patternBytes(5000, 7)) << output;
}

}  // namespace
}  // namespace platter
