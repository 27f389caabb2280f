#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>

#include "nested_image.hpp"
#include "platter/core/disk.hpp"
#include "tests/support/d64_image.hpp"

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::cbmName;
using test_support::TestImage;

std::vector<std::string> walkAll(Disk& disk) {
    std::array<std::uint8_t, 16> star;
    star.fill(0xa0);
    star[0] = '*';
    std::vector<std::string> seen;
    disk.walkDirectory(star, [&](const std::uint8_t* entry, const bytes_t& path) {
        std::string text(path.begin(), path.end());
        for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) & 0x7f);
        std::string name;
        for (int i = 5; i < 21 && entry[i] != 0xa0; ++i) name += static_cast<char>(entry[i] & 0x7f);
        std::erase(text, static_cast<char>(0xa0 & 0x7f));
        seen.push_back(text + ":" + name);
    });
    return seen;
}

TEST(DiskDirectory, DirectoryLoopsEndCountLookupAndWalk) {
    for (const bool twoBlocks : {false, true}) {
        TestImage image = TestImage::fromFixture("base.d64");
        std::uint8_t* first = image.block(18, 1);
        if (twoBlocks) {
            image.block(18, 4)[0] = 18;  // 18/1 -> 18/4 -> 18/1
            image.block(18, 4)[1] = 1;
        } else {
            first[0] = 18;  // 18/1 -> 18/1
            first[1] = 1;
        }
        const auto start = std::chrono::steady_clock::now();
        Disk& disk = *image.disk;
        EXPECT_EQ(disk.countDirectoryEntries(), twoBlocks ? 8u : 7u);
        EXPECT_EQ(disk.entryAt(100), nullptr);
        EXPECT_EQ(walkAll(disk).size(), twoBlocks ? 8u : 7u);
        dir_entry_t entry;
        entry.bytes[2] = 0x82;
        disk.insertEntry(100, entry);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

// The report tells the end of the walk that opening made, and a change walks it again; a save
// walks it afresh, whatever was written without the image knowing.
TEST(DiskDirectory, TheReportTellsWhereTheLastWalkOfTheDirectoryEnded) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    EXPECT_TRUE(disk.damage().directory.whole());
    const std::uint8_t toItself[] = {18, 1};
    ASSERT_TRUE(disk.setBlockBytes(makeBlock(18, 1), 0, toItself, "link"));
    EXPECT_EQ(disk.damage().directory.end, chain_end::turnsBack);
    ASSERT_TRUE(disk.undo());
    EXPECT_TRUE(disk.damage().directory.whole());

    image.block(18, 1)[0] = 99;  // past the disk, written behind the image's back
    EXPECT_EQ(disk.damageBeforeSave().directory.end, chain_end::leaves);
    disk.countDirectoryEntries();
    EXPECT_EQ(disk.damage().directory.end, chain_end::leaves);
}

TEST(DiskDirectory, IncludeEmptyFindsDeletedButNotNeverUsedSlots) {
    TestImage image = TestImage::fromFixture("base.d64");
    std::uint8_t* dir = image.block(18, 1);
    dir[32 + 2] = 0;  // scratch NOTES, its name stays
    EXPECT_EQ(image.disk->countDirectoryEntries(), 7u);
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(1, true, entry));
    EXPECT_EQ(test_support::nameOf(entry), cbmName("NOTES"));
    ASSERT_TRUE(image.disk->getEntry(1, false, entry));
    EXPECT_EQ(test_support::nameOf(entry), cbmName("USR"));
    track_sector_t block;
    std::uint64_t slot = 0;
    ASSERT_TRUE(image.disk->getEntryAndLocation(8, false, entry, block, slot) == false);
    ASSERT_TRUE(image.disk->getEntryAndLocation(7, true, entry, block, slot));
    EXPECT_EQ(block, makeBlock(18, 1));
    EXPECT_EQ(slot, 7u);
    ASSERT_TRUE(image.disk->getEntryAndLocation(8, true, entry, block, slot));
    EXPECT_EQ(block, makeBlock(18, 4));
    EXPECT_EQ(slot, 8u);
    EXPECT_FALSE(image.disk->getEntry(9, true, entry));
}

TEST(DiskDirectory, WalkGivesPathsAndLeavesTheStackAlone) {
    NestedImage image;
    image.putEntry(18, 1, 0, 0x82, "TOP", 0, 0);
    image.putEntry(18, 1, 1, 0x86, "SUB", 19, 0);
    image.makeSubdirectory(19);
    image.putEntry(19, 1, 0, 0x82, "INNER", 0, 0);
    image.putEntry(19, 1, 1, 0x86, "SUB2", 20, 0);
    image.makeSubdirectory(20);
    image.putEntry(20, 1, 0, 0x82, "DEEP", 0, 0);
    image.disk->countDirectoryEntries();
    const auto seen = walkAll(*image.disk);
    EXPECT_EQ(seen, (std::vector<std::string>{":TOP", ":SUB", "SUB:INNER", "SUB:SUB2", "SUB/SUB2:DEEP"}));
    EXPECT_EQ(image.disk->directoryDepth(), 0u);
    EXPECT_EQ(image.disk->directoryStart(), makeBlock(18, 1));
    EXPECT_EQ(image.disk->lastError(), 0u);
}

TEST(DiskDirectory, WalkIntoALoopGivesCode17) {
    NestedImage image;
    image.putEntry(18, 1, 0, 0x86, "SUB", 19, 0);
    image.makeSubdirectory(19);
    image.putEntry(19, 1, 0, 0x86, "BACK", 19, 2);
    std::uint8_t* header = image.block(19, 2);
    std::memset(header, 0, 256);
    header[0] = 18;  // leads back to the root directory
    header[1] = 1;
    image.disk->countDirectoryEntries();
    walkAll(*image.disk);
    EXPECT_EQ(image.disk->lastError(), kErrDirectoryLoop);
    EXPECT_EQ(image.disk->directoryDepth(), 0u);
    EXPECT_EQ(image.disk->directoryStart(), makeBlock(18, 1));
}

TEST(DiskDirectory, OpenAndCloseDirectoryWithUndo) {
    NestedImage image;
    image.putEntry(18, 1, 0, 0x82, "FILE", 0, 0);
    image.putEntry(18, 1, 1, 0x86, "SUB", 19, 0);
    image.makeSubdirectory(19);
    image.putEntry(19, 1, 0, 0x82, "INNER", 0, 0);
    Disk& disk = *image.disk;
    disk.countDirectoryEntries();
    dir_entry_t sub;
    ASSERT_TRUE(disk.getEntry(1, false, sub));
    track_sector_t first;
    ASSERT_TRUE(disk.openDirectory(sub, first, true));
    EXPECT_EQ(first, makeBlock(19, 1));
    EXPECT_EQ(disk.countDirectoryEntries(), 1u);
    EXPECT_FALSE(disk.openDirectory(sub, first, true));  // already entered
    ASSERT_TRUE(disk.closeDirectory(true));
    EXPECT_FALSE(disk.closeDirectory(true));
    // Undoing the close re-enters the right entry (index 1, not 0).
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(disk.directoryStart(), makeBlock(19, 1));
    ASSERT_TRUE(disk.undo());
    EXPECT_EQ(disk.directoryStart(), makeBlock(18, 1));
    dir_entry_t file;
    ASSERT_TRUE(disk.getEntry(0, false, file));
    EXPECT_FALSE(disk.openDirectory(file, first, false));
}

TEST(DiskDirectory, DeepNestingStopsAtTheDepthCap) {
    NestedImage image;
    // 70 nested directories, ten header/directory pairs on each of tracks 1-7.
    auto header = [](unsigned level) { return std::pair<unsigned, unsigned>{1 + level / 10, (level % 10) * 2}; };
    image.putEntry(18, 1, 0, 0x86, "D", 1, 0);
    for (unsigned level = 0; level < 70; ++level) {
        const auto [track, sector] = header(level);
        image.makeSubdirectory(track, sector);
        const auto [nextTrack, nextSector] = header(level + 1);
        if (level + 1 < 70) image.putEntry(track, sector + 1, 0, 0x86, "D", nextTrack, nextSector);
    }
    image.disk->countDirectoryEntries();
    const auto seen = walkAll(*image.disk);
    EXPECT_EQ(image.disk->lastError(), kErrDirectoryLoop);
    EXPECT_LE(seen.size(), Disk::kMaxDirectoryDepth);
    EXPECT_EQ(image.disk->directoryDepth(), 0u);
    EXPECT_EQ(image.disk->directoryStart(), makeBlock(18, 1));
}

// Counts how often each block is read.
class CountingD64 : public Disk41 {
public:
    std::uint8_t* blockPointer(const track_sector_t& block) override {
        ++reads[block];
        return Disk41::blockPointer(block);
    }
    std::map<track_sector_t, std::uint64_t> reads;
};

// A directory chain through every block of tracks 1-17 and 19-35 after 18/1, eight entries
// a block: 3281 entries named by their index, one slot in eight scratched.
bytes_t longDirectory(std::uint64_t& entries, std::uint64_t& scratched) {
    TestImage image = TestImage::blank();
    std::vector<track_sector_t> chain{makeBlock(18, 1)};
    for (unsigned track = 1; track <= 35; ++track) {
        if (track == 18) continue;
        for (unsigned sector = 0; image.block(track, sector); ++sector) chain.push_back(makeBlock(track, sector));
    }
    entries = scratched = 0;
    for (std::size_t b = 0; b < chain.size(); ++b) {
        std::uint8_t* data = image.block(static_cast<unsigned>(chain[b].track), static_cast<unsigned>(chain[b].sector));
        std::memset(data, 0, 256);
        data[0] = b + 1 < chain.size() ? static_cast<std::uint8_t>(chain[b + 1].track) : 0;
        data[1] = b + 1 < chain.size() ? static_cast<std::uint8_t>(chain[b + 1].sector) : 0xff;
        for (std::size_t k = 0; k < 8; ++k) {
            std::uint8_t* entry = data + k * 32;
            const std::array<std::uint8_t, 16> name = cbmName(std::to_string(entries + scratched), false);
            std::copy(name.begin(), name.end(), entry + 5);
            if (k == 3) {
                ++scratched;  // a deleted entry, its name kept
            } else {
                entry[2] = 0x82;
                ++entries;
            }
        }
    }
    return image.bytes();
}

TEST(DiskDirectory, LookupsInOrderReadEachDirectoryBlockABoundedNumberOfTimes) {
    std::uint64_t entries = 0;
    std::uint64_t scratched = 0;
    const bytes_t bytes = longDirectory(entries, scratched);
    ASSERT_GT(entries, 3000u);
    for (const bool includeEmpty : {false, true}) {
        CountingD64 disk;
        ASSERT_TRUE(disk.openBytes("long.d64", bytes));
        disk.setIncludeEmpty(includeEmpty);
        disk.reads.clear();
        const std::uint64_t count = includeEmpty ? entries + scratched : entries;
        for (std::uint64_t i = 0, name = 0; i < count; ++i, ++name) {
            if (!includeEmpty && name % 8 == 3) ++name;
            dir_entry_t entry;
            ASSERT_TRUE(disk.getEntry(i, includeEmpty, entry)) << i;
            ASSERT_EQ(test_support::nameOf(entry), cbmName(std::to_string(name), false)) << i;
            ASSERT_EQ(disk.entryAt(i), disk.entryAt(i));  // the same entry again
        }
        dir_entry_t past;
        EXPECT_FALSE(disk.getEntry(count, includeEmpty, past));
        // Each block is entered once, then read again by each lookup of one of its entries.
        for (const auto& [block, reads] : disk.reads)
            EXPECT_LE(reads, 3u * 8u + 1u) << block.track << "/" << block.sector;
    }
}

// The entries of `disk` from `from` on, looked up in order, and those of a fresh image of its bytes.
void expectLookupsAsFresh(Disk& disk, std::uint64_t from) {
    TestImage fresh = TestImage::fromBytes(bytes_t(disk.providerData(0), disk.providerData(0) + disk.providerSize()));
    fresh.disk->setIncludeEmpty(disk.includeEmpty());
    for (std::uint64_t i = from;; ++i) {
        dir_entry_t got;
        dir_entry_t expected;
        const bool found = disk.getEntry(i, disk.includeEmpty(), got);
        ASSERT_EQ(found, fresh.disk->getEntry(i, disk.includeEmpty(), expected)) << i;
        if (!found) break;
        EXPECT_EQ(got.bytes, expected.bytes) << i;
    }
}

// A lookup after a change of the directory sees the change, whichever way it was made.
TEST(DiskDirectory, LookupsAfterAChangeSeeIt) {
    TestImage image = TestImage::fromFixture("base.d64");
    Disk& disk = *image.disk;
    dir_entry_t entry;
    const auto at = [&](std::uint64_t index) {
        EXPECT_TRUE(disk.getEntry(index, disk.includeEmpty(), entry)) << index;
        return index;
    };
    disk.setFileType(entry, 0, at(4));  // SPLAT, a splat PRG, becomes no entry
    expectLookupsAsFresh(disk, 4);
    at(6);
    disk.deleteFile(1, false, false);
    expectLookupsAsFresh(disk, 5);
    at(3);
    ASSERT_TRUE(disk.undo());
    expectLookupsAsFresh(disk, 3);
    at(5);
    ASSERT_TRUE(disk.insertEntry(0, entry));
    expectLookupsAsFresh(disk, 5);
    at(2);
    ASSERT_TRUE(disk.sortDirectory(false, false));
    expectLookupsAsFresh(disk, 2);
    at(1);
    disk.moveEntry(false, 1);
    expectLookupsAsFresh(disk, 1);
    // Written through the entry a lookup handed out, without any record.
    disk.entryAt(at(3))[2] = 0;
    expectLookupsAsFresh(disk, 3);
    disk.setIncludeEmpty(true);
    expectLookupsAsFresh(disk, 2);
    while (disk.undo()) {}
    expectLookupsAsFresh(disk, 0);

    // Edits of blocks before the one the last lookup stopped in.
    std::uint64_t entries = 0;
    std::uint64_t scratched = 0;
    TestImage longer = TestImage::fromBytes(longDirectory(entries, scratched));
    Disk& many = *longer.disk;
    ASSERT_TRUE(many.getEntry(20, false, entry));
    ASSERT_TRUE(many.insertEntry(0, entry));  // into the scratched slot of the first block
    expectLookupsAsFresh(many, 20);
    ASSERT_TRUE(many.getEntry(30, false, entry));
    ASSERT_TRUE(many.undo());
    expectLookupsAsFresh(many, 30);
}

}  // namespace
}  // namespace platter
