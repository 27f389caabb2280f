#include "platter/open/open_zipcode.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <utility>

#include "platter/archive/zipcode_writer.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/open/format_classes.hpp"
#include "platter/open/nested_container.hpp"
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
using test_support::ScratchDir;

constexpr std::size_t kSize35 = 174848;
constexpr std::size_t kSize40 = 196608;

bytes_t contents(Disk& disk) { return bytes_t(disk.providerData(0), disk.providerData(0) + disk.providerSize()); }

bytes_t randomImage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    bytes_t image(size);
    // Runs and fills as well as noise, so that every record mode occurs.
    for (std::size_t at = 0; at < size; at += 256) {
        const auto kind = random() % 3;
        for (std::size_t i = 0; i < 256; ++i) {
            const std::uint8_t noise = static_cast<std::uint8_t>(random());
            image[at + i] = kind == 0 ? noise : kind == 1 ? static_cast<std::uint8_t>(at >> 8) : (i < 100 ? 7 : noise);
        }
    }
    return image;
}

std::vector<bytes_t> zip(const bytes_t& image, std::uint64_t tracks) {
    test_support::TestImage source = test_support::TestImage::fromBytes(image);
    std::vector<bytes_t> parts;
    EXPECT_TRUE(writeZipcode(parts, *source.disk, tracks, {}, false));
    return parts;
}

std::string partName(std::size_t k, const std::string& base) { return std::to_string(k) + "!" + base; }

// The records of a four/five-part part, each as the bytes it takes; the header (load address,
// and part 1's disk ID) is not one of them.
std::vector<bytes_t> recordsOf(const bytes_t& part) {
    std::vector<bytes_t> records;
    std::size_t at = part[0] == 0xfe ? 4 : 2;
    while (at + 2 <= part.size()) {
        const unsigned mode = part[at] >> 6;
        const std::size_t length = mode == 0 ? 258 : mode == 1 ? 3 : mode == 2 ? 4 + part[at + 2] : 2;
        records.emplace_back(part.begin() + static_cast<std::ptrdiff_t>(at),
                             part.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    return records;
}

bytes_t withRecords(const bytes_t& part, const std::vector<bytes_t>& records) {
    bytes_t out(part.begin(), part.begin() + (part[0] == 0xfe ? 4 : 2));
    for (const bytes_t& record : records) out.insert(out.end(), record.begin(), record.end());
    return out;
}

// The parts stored as PRG entries of a fresh D64, under the names "1!GAME" ...
std::unique_ptr<Disk> imageHolding(const std::vector<bytes_t>& parts, const std::vector<std::size_t>& which) {
    std::unique_ptr<Disk> disk = createBlankDisk(format_id::d64, 0).disk;
    EXPECT_TRUE(disk->importFile(test_support::cbmName("OTHER", false), -1, bytes_t(10, 1), 0, nullptr));
    for (const std::size_t k : which) {
        EXPECT_TRUE(disk->importFile(test_support::cbmName(partName(k, "GAME"), false), -1, parts[k - 1], 0,
                                     formatById(format_id::prg)));
    }
    return disk;
}

// Four parts for 35 tracks, five for 40; any part opens the whole set.
TEST(ZipcodeFiles, PartsGiveTheImageTheyCameFrom) {
    for (const std::uint64_t tracks : {35u, 40u}) {
        const ScratchDir dir;
        const bytes_t image = randomImage(tracks == 35 ? kSize35 : kSize40, static_cast<unsigned>(tracks));
        const std::vector<bytes_t> parts = zip(image, tracks);
        ASSERT_EQ(parts.size(), tracks == 35 ? 4u : 5u);
        for (std::size_t k = 1; k <= parts.size(); ++k) dir.write(partName(k, "game"), parts[k - 1]);
        for (std::size_t k = 1; k <= parts.size(); ++k) {
            open_result_t opened = openZipcodeFiles(dir.file(partName(k, "game")));
            ASSERT_TRUE(opened.disk) << opened.failure;
            EXPECT_EQ(opened.disk->trackCount(), tracks);
            EXPECT_EQ(contents(*opened.disk), image);
            EXPECT_TRUE(opened.disk->damage().notes.empty());
            EXPECT_FALSE(opened.disk->isModified());
            // Saved beside the parts, never over one.
            EXPECT_EQ(opened.disk->imagePath(), dir.file("game.d64"));
        }
    }
}

bool allZero(const bytes_t& bytes, unsigned fromTrack, unsigned toTrack) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(test_support::d64Offset(fromTrack, 0)),
                       bytes.begin() + static_cast<std::ptrdiff_t>(test_support::d64Offset(toTrack, 0)),
                       [](std::uint8_t b) { return b == 0; });
}

bool sameTracks(const bytes_t& a, const bytes_t& b, unsigned fromTrack, unsigned toTrack) {
    const auto from = static_cast<std::ptrdiff_t>(test_support::d64Offset(fromTrack, 0));
    const auto to = static_cast<std::ptrdiff_t>(test_support::d64Offset(toTrack, 0));
    return std::equal(a.begin() + from, a.begin() + to, b.begin() + from);
}

// Any missing part, the first too, leaves its tracks empty and the image one that is never saved.
TEST(ZipcodeFiles, MissingPartsAreNamedAndLeaveTheirTracksEmpty) {
    const ScratchDir dir;
    const bytes_t image = randomImage(kSize35, 3);
    const std::vector<bytes_t> parts = zip(image, 35);
    for (const std::size_t k : {1u, 2u, 4u}) dir.write(partName(k, "gap"), parts[k - 1]);
    open_result_t opened = openZipcodeFiles(dir.file("1!gap"));
    ASSERT_TRUE(opened.disk);
    EXPECT_EQ(opened.disk->damage().notes, std::vector<std::string>{"zipcode part '3!gap' is missing; its tracks are empty"});
    EXPECT_EQ(opened.disk->lastError(), kErrOpenFile);
    const bytes_t decoded = contents(*opened.disk);
    EXPECT_TRUE(allZero(decoded, 17, 26));
    EXPECT_TRUE(sameTracks(decoded, image, 1, 17));
    EXPECT_TRUE(opened.disk->damage().incomplete);
    EXPECT_FALSE(saved(opened.disk->saveAs(dir.file("gap.d64"))));
    EXPECT_FALSE(std::filesystem::exists(dir.file("gap.d64")));

    for (const std::size_t k : {2u, 3u, 4u}) dir.write(partName(k, "solo"), parts[k - 1]);
    opened = openZipcodeFiles(dir.file("2!solo"));
    ASSERT_TRUE(opened.disk) << opened.failure;
    EXPECT_EQ(opened.disk->damage().notes, std::vector<std::string>{"zipcode part '1!solo' is missing; its tracks are empty"});
    EXPECT_EQ(opened.disk->lastError(), kErrOpenFile);
    EXPECT_TRUE(allZero(contents(*opened.disk), 1, 9));
    EXPECT_TRUE(sameTracks(contents(*opened.disk), image, 9, 36));
    EXPECT_TRUE(opened.disk->damage().incomplete);

    // A part 1 that is another part's file is no part 1.
    dir.write("1!solo", parts[1]);
    opened = openZipcodeFiles(dir.file("2!solo"));
    ASSERT_TRUE(opened.disk);
    EXPECT_EQ(opened.disk->damage().notes, std::vector<std::string>{"'1!solo' is no zipcode part; its tracks are empty"});
    EXPECT_TRUE(allZero(contents(*opened.disk), 1, 9));
    // A set of which no part is valid gives no image.
    dir.write("2!none", bytes_t(300, 7));
    EXPECT_EQ(openZipcodeFiles(dir.file("2!none")).failure, "the zipcode set 'none' has no valid part");
    // A part's bytes under a name that is no part name name no set.
    EXPECT_EQ(openContainer(format_id::zipcode, "stdin", parts[0]).failure,
              "a zipcode part needs its sibling files, named 1!NAME to 4!NAME");
}

// A part cut short is named like a missing one, and the image is never saved either.
TEST(ZipcodeFiles, APartCutShortIsNamedAndLeavesTheBlocksItLacksEmpty) {
    const ScratchDir dir;
    const bytes_t image = randomImage(kSize40, 7);
    std::vector<bytes_t> parts = zip(image, 40);
    parts[1].resize(parts[1].size() / 2);
    for (std::size_t k = 1; k <= parts.size(); ++k) dir.write(partName(k, "cut"), parts[k - 1]);
    open_result_t opened = openZipcodeFiles(dir.file("1!cut"));
    ASSERT_TRUE(opened.disk);
    ASSERT_EQ(opened.disk->damage().notes.size(), 1u);
    EXPECT_TRUE(opened.disk->damage().notes[0].starts_with("zipcode part '2!cut' is cut short; ")) << opened.disk->damage().notes[0];
    EXPECT_TRUE(opened.disk->damage().notes[0].ends_with(" blocks of its tracks are empty")) << opened.disk->damage().notes[0];
    EXPECT_TRUE(sameTracks(contents(*opened.disk), image, 1, 9));
    EXPECT_TRUE(sameTracks(contents(*opened.disk), image, 17, 41));
    EXPECT_TRUE(opened.disk->damage().incomplete);
    EXPECT_FALSE(saved(opened.disk->saveAs(dir.file("cut.d64"))));

    // Part 2's file holding part 3 has no record of part 2's tracks.
    dir.write("2!cut", parts[2]);
    opened = openZipcodeFiles(dir.file("1!cut"));
    ASSERT_TRUE(opened.disk);
    EXPECT_EQ(opened.disk->damage().notes,
              (std::vector<std::string>{"zipcode part '2!cut' has no record of 168 blocks of its tracks; they are empty",
                                        "zipcode part '2!cut' has a record of block 17.0, outside its tracks; it and the "
                                        "records after it were left out"}));
    EXPECT_TRUE(opened.disk->damage().incomplete);
}

// A 40-track set whose part 5 is emptied, holds only its load address, is part 4's file, or
// is gone while the BAM of the others has files on tracks 36-40: the image keeps its 40
// tracks and names what part 5 lacks.
TEST(ZipcodeFiles, AFortyTrackSetIsNeverOpenedAsThirtyFive) {
    const std::string missing = "zipcode part '5!set' is missing; its tracks are empty";
    for (const char* fixture : {"d64/speed40.d64", "d64/dolphin40.d64"}) {
        const bytes_t image = test_support::readFixture(fixture);
        const std::vector<bytes_t> parts = zip(image, 40);
        ASSERT_EQ(parts.size(), 5u);
        const std::vector<std::pair<bytes_t, std::vector<std::string>>> cases = {
            {bytes_t{}, {missing}},
            {bytes_t{0x00, 0x04}, {missing}},
            {parts[3],
             {"zipcode part '5!set' has no record of 85 blocks of its tracks; they are empty",
              "zipcode part '5!set' has a record of block 26.0, outside its tracks; it and the records after it were "
              "left out"}},
        };
        for (const auto& [partFive, note] : cases) {
            const ScratchDir dir;
            for (std::size_t k = 1; k <= 4; ++k) dir.write(partName(k, "set"), parts[k - 1]);
            dir.write("5!set", partFive);
            open_result_t opened = openZipcodeFiles(dir.file("1!set"));
            ASSERT_TRUE(opened.disk) << fixture;
            EXPECT_EQ(opened.disk->trackCount(), 40u) << fixture << " " << note.front();
            EXPECT_EQ(opened.disk->damage().notes, note) << fixture;
            EXPECT_TRUE(opened.disk->damage().incomplete);
            EXPECT_TRUE(sameTracks(contents(*opened.disk), image, 1, 36)) << fixture;
        }
    }
    // Without part 5, the set is 40 tracks when its BAM has blocks of tracks 36-40 in use
    // (speed40.d64's file BIG); a 35-track BAM, or one whose tracks 36-40 are free, is 35.
    for (const auto& [fixture, tracks] :
         {std::pair{"d64/speed40.d64", 40u}, std::pair{"d64/dolphin40.d64", 35u}, std::pair{"d64/base.d64", 35u}}) {
        const ScratchDir dir;
        const std::vector<bytes_t> parts = zip(test_support::readFixture(fixture), 35);
        for (std::size_t k = 1; k <= 4; ++k) dir.write(partName(k, "set"), parts[k - 1]);
        open_result_t opened = openZipcodeFiles(dir.file("1!set"));
        ASSERT_TRUE(opened.disk);
        EXPECT_EQ(opened.disk->trackCount(), tracks) << fixture;
        EXPECT_EQ(opened.disk->damage().notes,
                  tracks == 40 ? std::vector<std::string>{missing} : std::vector<std::string>{})
            << fixture;
    }
}

// 3!NAME's record of 18/1 with a run past the block's end:
// the directory block is empty and named, and the image is never saved.
TEST(ZipcodeFiles, ARecordThatDoesNotDecodeLeavesItsBlockEmpty) {
    const ScratchDir dir;
    std::vector<bytes_t> parts = zip(test_support::readFixture("d64/base.d64"), 35);
    std::vector<bytes_t> records = recordsOf(parts[2]);
    for (bytes_t& record : records)
        if ((record[0] & 0x3f) == 18 && record[1] == 1) record = {0x80 | 18, 1, 6, 0xfe, 0xfe, 255, 1, 0xfe, 2, 2};
    parts[2] = withRecords(parts[2], records);
    for (std::size_t k = 1; k <= 4; ++k) dir.write(partName(k, "set"), parts[k - 1]);
    open_result_t opened = openZipcodeFiles(dir.file("2!set"));
    ASSERT_TRUE(opened.disk);
    EXPECT_EQ(opened.disk->damage().notes,
              std::vector<std::string>{
                  "zipcode part '3!set' has a record of block 18.1 that does not decode; the block is empty"});
    EXPECT_FALSE(opened.disk->damage().maySave());
    const std::uint8_t* directory = opened.disk->sectorPointer(18, 1);
    EXPECT_TRUE(std::all_of(directory, directory + 256, [](std::uint8_t b) { return b == 0; }));
}

TEST(ZipcodeFiles, OpenAsTheirKindFromIdentification) {
    const ScratchDir dir;
    const std::filesystem::path first = dir.copyFixture("zipcode/1!game", "1!game");
    for (const char* k : {"2!game", "3!game", "4!game"}) dir.copyFixture(std::string("zipcode/") + k, k);
    open_result_t opened = openContainer(format_id::zipcode, first.string(), test_support::readBytes(first));
    ASSERT_TRUE(opened.disk) << opened.failure;
    dir_entry_t entry;
    ASSERT_TRUE(opened.disk->getEntry(2, false, entry));
    bytes_t data;
    ASSERT_TRUE(readWhole(*opened.disk, entry, data));
    EXPECT_EQ(data, test_support::patternBytes(255, 3));
    opened = openContainerFile(dir.file("4!game"));
    ASSERT_TRUE(opened.disk) << opened.failure;
    EXPECT_EQ(opened.disk->countDirectoryEntries(), 4u);
}

TEST(ZipcodeFiles, EveryTruncationOfAPartOpensSafely) {
    const ScratchDir dir;
    for (const char* k : {"1!game", "2!game", "3!game", "4!game"}) dir.copyFixture(std::string("zipcode/") + k, k);
    for (const char* k : {"1!game", "3!game"}) {
        const bytes_t whole = test_support::readFixture(std::string("zipcode/") + k);
        for (std::size_t size = 0; size < whole.size(); ++size) {
            dir.write(k, bytes_t(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
            open_result_t opened = openZipcodeFiles(dir.file("2!game"));
            if (opened.disk) opened.disk->countDirectoryEntries();
        }
        dir.write(k, whole);
    }
}

TEST(ZipcodeSets, PartsHeldAsEntriesOpenAsOneImage) {
    const bytes_t image = randomImage(kSize35, 4);
    const std::vector<bytes_t> parts = zip(image, 35);
    std::unique_ptr<Disk> disk = imageHolding(parts, {1, 2, 3, 4});
    dir_entry_t entry;
    ASSERT_TRUE(disk->getEntry(3, false, entry));  // "3!GAME"
    open_result_t opened = openZipcodeSet(*disk, entry);
    ASSERT_TRUE(opened.disk) << opened.failure;
    EXPECT_EQ(contents(*opened.disk), image);
    EXPECT_EQ(opened.disk->lastError(), kErrNone);
    // The shared descent opens the whole set from any of its parts.
    EXPECT_EQ(nestedKindOf(*disk, entry), nested_kind::archive);
    open_result_t nested = openNestedContainer(*disk, entry);
    ASSERT_TRUE(nested.disk);
    EXPECT_EQ(contents(*nested.disk), image);
}

TEST(ZipcodeSets, MissingEntriesSetCodeFiveAndLeaveTheirTracksEmpty) {
    const bytes_t image = randomImage(kSize35, 5);
    const std::vector<bytes_t> parts = zip(image, 35);
    std::unique_ptr<Disk> gap = imageHolding(parts, {1, 2, 4});
    dir_entry_t entry;
    ASSERT_TRUE(gap->getEntry(1, false, entry));
    open_result_t opened = openZipcodeSet(*gap, entry);
    ASSERT_TRUE(opened.disk);
    EXPECT_EQ(opened.disk->lastError(), kErrOpenFile);
    EXPECT_EQ(opened.disk->damage().notes.size(), 1u);

    std::unique_ptr<Disk> solo = imageHolding(parts, {2, 3, 4});
    ASSERT_TRUE(solo->getEntry(1, false, entry));
    opened = openNestedContainer(*solo, entry);
    ASSERT_TRUE(opened.disk) << opened.failure;
    EXPECT_EQ(opened.disk->damage().notes, std::vector<std::string>{"zipcode part '1!GAME' is missing; its tracks are empty"});
    EXPECT_TRUE(allZero(contents(*opened.disk), 1, 9));
    EXPECT_TRUE(sameTracks(contents(*opened.disk), image, 9, 36));
}

TEST(ZipcodeSets, AScratchedPartIsNoPart) {
    const std::vector<bytes_t> parts = zip(randomImage(kSize35, 6), 35);
    std::unique_ptr<Disk> disk = imageHolding(parts, {1, 2, 3, 4});
    disk->setIncludeEmpty(true);
    disk->deleteFile(1, false, false);  // "1!GAME"
    dir_entry_t entry;
    ASSERT_TRUE(disk->getEntry(2, true, entry));
    const open_result_t opened = openZipcodeSet(*disk, entry);
    ASSERT_TRUE(opened.disk);
    EXPECT_EQ(opened.disk->damage().notes, std::vector<std::string>{"zipcode part '1!GAME' is missing; its tracks are empty"});
    EXPECT_TRUE(disk->includeEmpty());
}

// disk2zip writes the sets users have; zip2disk reads them back.
TEST(ZipcodePeers, SetsWrittenByDisk2zipOpenAsTheImageZip2diskGives) {
    if (!test_support::haveProgram("/usr/bin/disk2zip") || !test_support::haveProgram("/usr/bin/zip2disk"))
        GTEST_SKIP() << "cbmconvert missing";
    const ScratchDir dir;
    for (unsigned seed = 10; seed < 13; ++seed) {
        dir.write("t.d64", randomImage(kSize35, seed));
        const std::string cd = "cd " + dir.path().string() + " && ";
        ASSERT_EQ(test_support::runCommand(cd + "disk2zip t.d64 set && zip2disk set back.d64").second, 0);
        open_result_t opened = openZipcodeFiles(dir.file("1!set"));
        ASSERT_TRUE(opened.disk);
        EXPECT_TRUE(opened.disk->damage().notes.empty());
        EXPECT_EQ(contents(*opened.disk), test_support::readBytes(dir.file("back.d64"))) << seed;
    }
}

struct set_damage_t {
    const char* what;
    std::function<void(std::vector<bytes_t>&)> damage;
    std::vector<std::string> notes;
    std::vector<track_sector_t> noData;  // blocks the decoded image holds no data of
    bool readsWhole;                     // every entry reads whole and as base.d64's
    // The records after the damage are read out of step until one of them is no record of
    // the part: the blocks they wrote hold bytes of other records (a zero last-block byte).
    bool outOfStep = false;
};

// Sets of base.d64 whose records are damaged, moved or given twice: what the set lacks holds
// no data (a read through it is not whole), a record given twice or for another part's track
// is named and never replaces the block, and records in another order are the same set.
TEST(ZipcodeFiles, WhatASetLacksOrGivesTwiceIsNamed) {
    const bytes_t base = test_support::readFixture("d64/base.d64");
    const std::vector<set_damage_t> cases{
        {"records in reverse order",
         [](std::vector<bytes_t>& parts) {
             for (bytes_t& part : parts) {
                 std::vector<bytes_t> records = recordsOf(part);
                 std::reverse(records.begin(), records.end());
                 part = withRecords(part, records);
             }
         },
         {},
         {},
         true},
        {"a second record of 1/0 appended to part 1",
         [](std::vector<bytes_t>& parts) { parts[0].insert(parts[0].end(), {0x40 | 1, 0, 0x55}); },
         {"zipcode part '1!s' has a second record of block 1.0; it and the records after it were left out"},
         {},
         true},
        {"a record of 18/1 in part 2",
         [](std::vector<bytes_t>& parts) { parts[1].insert(parts[1].end(), {0x40 | 18, 1, 0x00}); },
         {"zipcode part '2!s' has a record of block 18.1, outside its tracks; it and the records after it were "
          "left out"},
         {},
         true},
        {"part 1's first record told as a header only",
         [](std::vector<bytes_t>& parts) { parts[0][4] |= 0xc0; },
         {"zipcode part '1!s' has no record of 167 blocks of its tracks; they are empty",
          "zipcode part '1!s' has a record of block 0.255, outside its tracks; it and the records after it were "
          "left out"},
         {makeBlock(1, 1), makeBlock(8, 16)},
         false,
         true},
        {"part 2 missing",
         [](std::vector<bytes_t>& parts) { parts[1].clear(); },
         {"zipcode part '2!s' is missing; its tracks are empty"},
         {makeBlock(9, 0), makeBlock(16, 20)},
         true},
    };
    for (const set_damage_t& c : cases) {
        SCOPED_TRACE(c.what);
        const ScratchDir dir;
        std::vector<bytes_t> parts = zip(base, 35);
        c.damage(parts);
        for (std::size_t k = 1; k <= parts.size(); ++k)
            if (!parts[k - 1].empty()) dir.write(partName(k, "s"), parts[k - 1]);
        open_result_t opened = openZipcodeFiles(dir.file("1!s"));
        ASSERT_TRUE(opened.disk) << opened.failure;
        Disk& disk = *opened.disk;
        EXPECT_EQ(disk.damage().notes, c.notes);
        EXPECT_EQ(disk.damage().maySave(), c.notes.empty());
        for (const track_sector_t& block : c.noData) EXPECT_FALSE(disk.isBlockReadable(block));
        EXPECT_TRUE(disk.isBlockReadable(makeBlock(18, 0)));
        EXPECT_TRUE(disk.isBlockReadable(makeBlock(17, 0)));
        test_support::TestImage intact = test_support::TestImage::fromBytes(base);
        bool allWhole = true;
        for (std::uint64_t i = 0; i < intact.disk->countDirectoryEntries(); ++i) {
            dir_entry_t entry;
            dir_entry_t intactEntry;
            ASSERT_TRUE(disk.getEntry(i, false, entry));
            ASSERT_TRUE(intact.disk->getEntry(i, false, intactEntry));
            const entry_read_t read = disk.readEntry(entry);
            const entry_read_t expected = intact.disk->readEntry(intactEntry);
            // What differs from base.d64 is never whole.
            if (read.whole() && !c.outOfStep) {
                EXPECT_EQ(read.bytes, expected.bytes) << i;
            }
            allWhole = allWhole && read.whole() == expected.whole();
        }
        EXPECT_EQ(allWhole, c.readsWhole);
    }
}

}  // namespace
}  // namespace platter
