// The archive builder: a D64 first, a larger image only when the files did not
// fit, an image that says what it lacks, none for a damaged archive; and the
// descent into an archive entry of an image.
#include "platter/open/archive_builder.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platter/core/directory_entry_count.hpp"
#include "platter/core/disk.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/open/format_classes.hpp"
#include "platter/open/identified_format.hpp"
#include "platter/open/nested_container.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

using test_support::bytes_t;

bytes_t archive(const std::string& name) { return test_support::readFixture("archive/" + name); }

// The content of file `index` of `library`, different for every file.
bytes_t libraryFile(std::size_t index, std::size_t size) {
    bytes_t data(size);
    for (std::size_t j = 0; j < size; ++j) data[j] = static_cast<std::uint8_t>(j * 7 + index * 13);
    return data;
}

// A Library of `count` files of `size` bytes each.
bytes_t library(std::size_t count, std::size_t size) {
    std::string text = "DWB " + std::to_string(count) + " \r";
    for (std::size_t i = 0; i < count; ++i) text += "F" + std::to_string(i) + "\rP\r " + std::to_string(size) + " \r";
    bytes_t bytes(text.begin(), text.end());
    for (std::size_t i = 0; i < count; ++i) {
        const bytes_t data = libraryFile(i, size);
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

TEST(ArchiveBuilder, MovesToAD81OnlyWhenTheFilesDoNotFit) {
    const open_result_t small = archiveToDisk(archive("small.lzh"), "x.lzh", format_id::lha);
    ASSERT_NE(small.disk, nullptr);
    EXPECT_EQ(small.disk->formatId(), format_id::d64);
    EXPECT_TRUE(small.disk->damage().notes.empty());

    // 680 blocks of files, and 150 entries for a directory of 144.
    for (const auto& [bytes, id, files] : {std::tuple{archive("overflow.arc"), format_id::arc, 4u},
                                           std::tuple{library(150, 10), format_id::lbr, 150u}}) {
        const open_result_t built = archiveToDisk(bytes, "big.arc", id);
        ASSERT_NE(built.disk, nullptr) << files;
        EXPECT_EQ(built.disk->formatId(), format_id::d81);
        EXPECT_EQ(countDirectoryEntries(*built.disk), files);
        EXPECT_EQ(built.disk->imagePath(), "big.d81");
        EXPECT_FALSE(built.disk->isModified());
        EXPECT_EQ(built.disk->lastError(), kErrNone);
    }

    // 900,000 bytes: more than a D81 holds, so a DNP just large enough for them.
    const open_result_t dnp = archiveToDisk(library(12, 75000), "big.lbr", format_id::lbr);
    ASSERT_NE(dnp.disk, nullptr);
    EXPECT_EQ(dnp.disk->formatId(), format_id::dnp);
    EXPECT_EQ(dnp.disk->imagePath(), "big.dnp");
    EXPECT_EQ(dnp.disk->trackCount(), 15u);
    EXPECT_FALSE(dnp.disk->isModified());
    ASSERT_EQ(countDirectoryEntries(*dnp.disk), 12u);
    for (std::uint64_t i = 0; i < 12; ++i) {
        dir_entry_t entry;
        ASSERT_TRUE(dnp.disk->getEntry(i, false, entry));
        bytes_t data;
        std::uint64_t size = 0;
        EXPECT_TRUE(dnp.disk->readChain(entry.firstBlock().track, entry.firstBlock().sector, 0, &size, &data));
        EXPECT_EQ(data, libraryFile(i, 75000)) << i;
    }

    archive_build_t build;
    build.startWithD81 = true;
    const open_result_t forced = archiveToDisk(archive("small.lzh"), "x.lzh", format_id::lha, build);
    ASSERT_NE(forced.disk, nullptr);
    EXPECT_EQ(forced.disk->formatId(), format_id::d81);
}

TEST(ArchiveBuilder, PartialArchivesKeepTheirImageAndDamagedOnesGiveNone) {
    const open_result_t cut = archiveToDisk(archive("cut.lnx"), "cut.lnx", format_id::lynx);
    ASSERT_NE(cut.disk, nullptr);
    EXPECT_EQ(cut.disk->formatId(), format_id::d64);
    EXPECT_EQ(cut.disk->lastError(), kErrArchiveImport);
    EXPECT_EQ(cut.disk->damage().notes,
              (std::vector<std::string>{"file 'story' is cut short: 1500 of 2100 bytes could be read",
                                        "the directory accounts for 7688 bytes, 600 more than the archive's 7088"}));
    EXPECT_EQ(countDirectoryEntries(*cut.disk), 5u);

    bytes_t sda = archive("small.sda");
    sda.resize(1000);
    EXPECT_EQ(archiveToDisk(sda, "x.sda", format_id::sda).disk, nullptr);
    EXPECT_EQ(archiveToDiskByType(archive("small.lzh"), fileid::type_id::lha_sfx, "x.sfx").disk, nullptr);
    // Types that are no archive kind, or one no importer reads.
    EXPECT_EQ(archiveToDiskByType(archive("small.lzh"), fileid::type_id::darc_v01, "x.arc").disk, nullptr);
    EXPECT_EQ(archiveToDisk(archive("small.lzh"), "x", format_id::d64).disk, nullptr);
}

// 22 files cut 700 bytes into the second: all are listed; the second reads as cut short and
// the twenty after it as unreadable, named by the report, and the first, which an archive
// shorter than its directory places for sure no more, as cut short.
TEST(ArchiveBuilder, EntriesTheArchiveHoldsInPartReadAsTheReportNamesThem) {
    const open_result_t cut = archiveToDisk(archive("cut22.lnx"), "cut22.lnx", format_id::lynx);
    ASSERT_NE(cut.disk, nullptr);
    Disk& disk = *cut.disk;
    ASSERT_EQ(countDirectoryEntries(disk), 22u);
    EXPECT_EQ(disk.damage().notes,
              (std::vector<std::string>{"file 'f01' is cut short: 700 of 1500 bytes could be read",
                                        "files 'f02' to 'f21' are missing: the archive ends before their data",
                                        "the directory accounts for 8328 bytes, 5850 more than the archive's 2478"}));
    EXPECT_FALSE(disk.damage().maySave());
    for (std::uint64_t i = 0; i < 22; ++i) {
        dir_entry_t entry;
        ASSERT_TRUE(disk.getEntry(i, false, entry));
        const entry_read_t read = disk.readEntry(entry);
        const read_outcome expected = i <= 1 ? read_outcome::cutShort : read_outcome::unreadable;
        EXPECT_EQ(read.outcome, expected) << i;
        EXPECT_TRUE(read.namedByContainer) << i;
        EXPECT_EQ(read.bytes.size(), i == 0 ? 600u : (i == 1 ? 700u : 0u)) << i;
    }
}

// Lynx archives that cbmconvert writes at test time, identified and expanded with every file
// byte-equal: empty files first, in the middle and last, the smallest archive (255 bytes) and
// one of 263,401 bytes, larger than any D64.
TEST(ArchiveBuilder, LynxArchivesFromCbmconvertExpandWhole) {
    if (!test_support::haveProgram("/usr/bin/cbmconvert")) GTEST_SKIP() << "cbmconvert missing";
    const test_support::ScratchDir dir;
    const std::vector<std::pair<std::string, std::size_t>> files = {{"empty", 0},    {"a", 300},      {"b", 500},
                                                                    {"one", 1},      {"big1", 65535}, {"big2", 65535},
                                                                    {"big3", 65535}, {"big4", 65535}};
    for (std::size_t i = 0; i < files.size(); ++i) dir.write(files[i].first + ".prg", libraryFile(i, files[i].second));
    const std::vector<std::pair<std::string, std::vector<std::size_t>>> archives = {
        {"first", {0, 1, 2}}, {"middle", {1, 0, 2}}, {"last", {1, 2, 0}}, {"small", {3}}, {"big", {4, 5, 6, 7}}};
    for (const auto& [name, members] : archives) {
        std::string command = "cd " + dir.path().string() + " && cbmconvert -v0 -L " + name + ".lnx -n";
        for (std::size_t k : members) command += " " + files[k].first + ".prg";
        ASSERT_EQ(test_support::runCommand(command).second, 0) << name;

        const bytes_t bytes = test_support::readBytes(dir.file(name + ".lnx"));
        const open_result_t built = archiveToDiskByType(bytes, firstIdentifiedType(bytes), name + ".lnx");
        ASSERT_NE(built.disk, nullptr) << name;
        EXPECT_TRUE(built.disk->damage().notes.empty()) << name;
        ASSERT_EQ(countDirectoryEntries(*built.disk), members.size()) << name;
        if (name == "big") {
            EXPECT_EQ(built.disk->formatId(), format_id::d81);
        }
        for (std::size_t k = 0; k < members.size(); ++k) {
            const bytes_t expected = libraryFile(members[k], files[members[k]].second);
            bytes_t data;
            // An empty file has no chain to read.
            EXPECT_EQ(built.disk->readFileByIndex(k, true, data), !expected.empty());
            EXPECT_EQ(data, expected) << name << " " << k;
        }
    }
}

TEST(ArchiveBuilder, ArchiveEntriesOfAnImageAreEntered) {
    test_support::TestImage image = test_support::TestImage::blank();
    Disk& disk = *image.disk;
    // Unshifted names, shown in lower case.
    const auto store = [&](const std::string& name, const bytes_t& bytes) {
        ASSERT_TRUE(disk.importFile(test_support::cbmName(name, false), -1, bytes, 0, nullptr));
    };
    store("GAMES.LNX", archive("five.lnx"));
    store("CUT.LNX", archive("cut.lnx"));
    bytes_t broken = archive("small.lzh");
    broken[1] ^= 1;  // the first header's sum
    store("BROKEN.LZH", broken);

    dir_entry_t entry;
    ASSERT_TRUE(disk.getEntry(0, false, entry));
    EXPECT_EQ(nestedKindOf(disk, entry), nested_kind::archive);
    const open_result_t games = openNestedContainer(disk, entry);
    ASSERT_NE(games.disk, nullptr);
    EXPECT_EQ(countDirectoryEntries(*games.disk), 5u);
    EXPECT_TRUE(games.disk->damage().notes.empty());

    ASSERT_TRUE(disk.getEntry(1, false, entry));
    const open_result_t cut = openNestedContainer(disk, entry);
    ASSERT_NE(cut.disk, nullptr);
    EXPECT_FALSE(cut.disk->damage().notes.empty());

    ASSERT_TRUE(disk.getEntry(2, false, entry));
    const open_result_t none = openNestedContainer(disk, entry);
    EXPECT_EQ(none.disk, nullptr);
    EXPECT_EQ(none.failure, "'broken.lzh': could not expand the archive.");
}

}  // namespace
}  // namespace platter
