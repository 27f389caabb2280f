// The importers fill a fresh D64 with what the decoders hand over: every file
// readable from its chains, block counts that add up to the BAM, nothing left
// behind by a file that does not fit.
#include <gtest/gtest.h>

#include "archive_test_support.hpp"
#include "platter/archive/archive_importers.hpp"
#include "platter/core/directory_entry_count.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/format_classes.hpp"

namespace platter::test {
namespace {

constexpr std::uint64_t kD64Blocks = 664;

std::unique_ptr<Disk> blankD64() {
    std::unique_ptr<Disk> disk = createBlankDisk(format_id::d64, 0).disk;
    EXPECT_NE(disk, nullptr);
    return disk;
}

using Importer = import_result_t (*)(Disk&, const archive_source_t&);

Importer importerFor(const std::string& archive) {
    const std::string kind = archive.substr(archive.rfind('.') + 1);
    if (kind == "sda") return &importSda;
    if (kind == "lzh") return &importLha;
    if (kind == "wr3") return &importWr3;
    if (kind == "ark") return &importArk;
    if (kind == "lbr") return &importLbr;
    if (kind == "spy") return &importSpy;
    if (kind == "lnx") return &importLnx;
    return &importArc;
}

bytes_t chainData(Disk& disk, const track_sector_t& first) {
    bytes_t data;
    std::uint64_t size = 0;
    if (first.track != 0) {
        EXPECT_TRUE(disk.readChain(first.track, first.sector, 0, &size, &data));
    }
    return data;
}

// A plain file's chain, or a VLIR file's records one after the other.
bytes_t storedContent(Disk& disk, const dir_entry_t& entry) {
    const bool vlir = entry.sideBlock().track != 0 && entry.fileType() != kTypeRel && entry.geosStructure() == 1;
    if (!vlir) return chainData(disk, entry.firstBlock());
    const std::uint8_t* index = disk.sectorPointer(entry.firstBlock());
    EXPECT_NE(index, nullptr);
    bytes_t joined;
    for (std::size_t p = 2; index && p < 256; p += 2) {
        if (index[p] == 0) continue;
        const bytes_t record = chainData(disk, makeBlock(index[p], index[p + 1]));
        joined.insert(joined.end(), record.begin(), record.end());
    }
    return joined;
}

struct imported_t {
    import_result_t result;
    std::unique_ptr<Disk> disk;
};

imported_t importInto(const std::string& archive, const bytes_t& bytes, std::vector<std::uint8_t>* title = nullptr) {
    imported_t out{import_result_t::damaged, blankD64()};
    out.result = importerFor(archive)(*out.disk, {bytes, 1, title});
    return out;
}

TEST(ArchiveImporters, FixturesFillAD64WithTheirFiles) {
    for (const auto& [archive, expected] : readManifest()) {
        if (archive == "overflow.arc") continue;  // larger than a D64 holds
        SCOPED_TRACE(archive);
        std::vector<std::uint8_t> title;
        imported_t imported = importInto(archive, readFixture(archive), &title);
        ASSERT_EQ(imported.result, import_result_t::done);
        Disk& disk = *imported.disk;
        std::uint64_t blocks = 0;
        std::uint64_t files = 0;
        for (const expected_entry_t& want : expected) {
            if (want.index == "title") {
                EXPECT_EQ(crcOf(title), want.crc);
                continue;
            }
            dir_entry_t entry;
            ASSERT_TRUE(disk.getEntry(files++, false, entry));
            SCOPED_TRACE(want.name);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry.name().data()), nameLength(entry)), want.name);
            EXPECT_EQ(typeName(entry.typeByte()), want.type);
            EXPECT_FALSE(entry.isSplat());
            const bytes_t content = storedContent(disk, entry);
            EXPECT_EQ(content.size(), want.size);
            EXPECT_EQ(crcOf(content), want.crc);
            blocks += entry.blockCount();
        }
        EXPECT_EQ(countDirectoryEntries(disk), files);
        // Side sectors, info blocks and record indexes are counted too.
        EXPECT_EQ(blocks, kD64Blocks - disk.blocksFree());
    }
}

TEST(ArchiveImporters, EntriesKeepWhatTheArchiveSaysOfThem) {
    imported_t arkive = importInto("x.ark", readFixture("files.ark"));
    dir_entry_t entry;
    ASSERT_TRUE(arkive.disk->getEntry(2, false, entry));
    EXPECT_TRUE(entry.isLocked());
    EXPECT_EQ(std::vector<std::uint8_t>(entry.bytes.begin() + 25, entry.bytes.end() - 2),
              (std::vector<std::uint8_t>{88, 6, 1, 12, 30}));
    ASSERT_TRUE(arkive.disk->getEntry(4, false, entry));  // REL: side sectors and record length
    EXPECT_EQ(entry.recordLength(), 50);
    EXPECT_NE(entry.sideBlock().track, 0);
    ASSERT_TRUE(arkive.disk->getEntry(5, false, entry));  // empty: no blocks at all
    EXPECT_EQ(entry.firstBlock().track, 0);
    EXPECT_EQ(entry.blockCount(), 0);

    // Wraptor entries start at position 1 but land in the first slot of an empty directory.
    imported_t wraptor = importInto("x.wr3", readFixture("files.wr3"));
    ASSERT_TRUE(wraptor.disk->getEntry(3, false, entry));
    EXPECT_EQ(std::vector<std::uint8_t>(entry.bytes.begin() + 23, entry.bytes.end() - 2),
              (std::vector<std::uint8_t>{1, 7, 88, 6, 1, 12, 30}));
    const std::uint8_t* info = wraptor.disk->sectorPointer(entry.sideBlock());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info[0], 0);
    EXPECT_EQ(info[1], 0xFF);
    EXPECT_EQ(info[2 + 253], (253 * 3) & 0xFF);
    const std::uint8_t* index = wraptor.disk->sectorPointer(entry.firstBlock());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index[2 + 5], 0xFF);  // the archive's empty record
    EXPECT_EQ(index[2 + 6], 0x00);  // an empty record of the stream
    EXPECT_EQ(index[2 + 7], 0xFF);
}

// A Library of `count` files of `size` bytes each.
bytes_t library(std::size_t count, std::size_t size) {
    std::string text = "DWB " + std::to_string(count) + " \r";
    for (std::size_t i = 0; i < count; ++i) text += "F" + std::to_string(i) + "\rP\r " + std::to_string(size) + " \r";
    bytes_t bytes(text.begin(), text.end());
    for (std::size_t i = 0; i < count * size; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7));
    return bytes;
}

// The builder retries a larger image only after `full`; the D64 keeps
// nothing of a file that did not fit.
TEST(ArchiveImporters, RunningOutOfRoomIsFull) {
    std::unique_ptr<Disk> disk = blankD64();
    EXPECT_EQ(importLbr(*disk, {library(150, 10)}), import_result_t::full);  // 144 directory slots
    EXPECT_EQ(countDirectoryEntries(*disk), 144u);

    disk = blankD64();
    EXPECT_EQ(importLbr(*disk, {library(4, 43000)}), import_result_t::full);  // 4 x 170 blocks
    EXPECT_EQ(countDirectoryEntries(*disk), 3u);
    EXPECT_EQ(disk->blocksFree(), kD64Blocks - 3 * 170);
}

TEST(ArchiveImporters, AnEntryTypedAsScratchedKeepsItsBlocksVisible) {
    // Arkive bytes whose one entry has the type byte 0.
    std::unique_ptr<Disk> disk = blankD64();
    importArk(*disk, {readFixture("scratched_type.ark")});
    std::uint64_t blocks = 0;
    dir_entry_t entry;
    for (std::uint64_t i = 0; disk->getEntry(i, false, entry); ++i) blocks += entry.blockCount();
    EXPECT_GT(blocks, 0u);
    EXPECT_EQ(blocks, kD64Blocks - disk->blocksFree());
}

TEST(ArchiveImporters, LynxFilesCutByTheEndArePartial) {
    const bytes_t lynx = test_support::readFixture("core/small.lnx");
    imported_t whole = importInto("x.lnx", lynx);
    EXPECT_EQ(whole.result, import_result_t::done);
    EXPECT_EQ(countDirectoryEntries(*whole.disk), 2u);

    // The second file loses more than its last block: stored short, and said.
    const bytes_t cut(lynx.begin(), lynx.end() - 300);
    imported_t partial = importInto("x.lnx", cut);
    EXPECT_EQ(partial.result, import_result_t::partial);

    EXPECT_EQ(importInto("x.lnx", bytes_t(lynx.begin(), lynx.begin() + 40)).result, import_result_t::damaged);
}

// The directory of a Lynx archive and its data must account for each other's bytes: where
// they do not, it is named and no file reads as whole; a transfer's padding is no damage.
TEST(ArchiveImporters, LynxCountsAreHeldAgainstTheArchive) {
    struct row_t {
        const char* fixture;
        bytes_t appended;
        import_result_t result;
        std::vector<bool> whole;
        const char* note;  // the start of the last note, or none
    };
    const std::vector<bool> all(5, true);
    const std::vector<bool> none(5, false);
    const std::vector<row_t> rows = {
        {"five.lnx", {}, import_result_t::done, all, nullptr},
        {"five_xmodem.lnx", {}, import_result_t::done, all, nullptr},
        // The last block's fill, then zeros up to the next block.
        {"five.lnx", bytes_t(186, 0x55), import_result_t::done, all, nullptr},
        {"five.lnx", bytes_t(186 + 253, 0), import_result_t::done, all, nullptr},
        {"five.lnx", bytes_t(186 + 254, 0), import_result_t::partial, none, "the directory accounts for 7874 of"},
        {"five_fewer.lnx", {}, import_result_t::partial, {false, false, false, false}, "the directory accounts for 5588"},
        {"five_game_short.lnx", {}, import_result_t::partial, none, "the directory accounts for 7620"},
        {"five_dir_short.lnx", {}, import_result_t::partial, none, "the directory counts 1 block, but"},
        {"five_junk.lnx", {}, import_result_t::partial, none, "the directory accounts for 7874 of the archive's 8712"},
        // Cut short, or a count too high: the files before the last are not sure either.
        {"cut.lnx", {}, import_result_t::partial, none, "the directory accounts for 7688 bytes, 600 more than"},
    };
    for (const row_t& row : rows) {
        SCOPED_TRACE(std::string(row.fixture) + " and " + std::to_string(row.appended.size()));
        bytes_t bytes = readFixture(row.fixture);
        bytes.insert(bytes.end(), row.appended.begin(), row.appended.end());
        std::unique_ptr<Disk> disk = blankD64();
        ArchiveDamage damage;
        EXPECT_EQ(importLnx(*disk, {bytes, 1, nullptr, &damage}), row.result);
        damage.noteIn(*disk);
        const std::vector<std::string> notes = disk->damage().notes;
        if (row.note) {
            ASSERT_FALSE(notes.empty());
            EXPECT_EQ(notes.back().rfind(row.note, 0), 0u) << notes.back();
        } else {
            EXPECT_TRUE(notes.empty());
        }
        ASSERT_EQ(countDirectoryEntries(*disk), row.whole.size());
        for (std::size_t k = 0; k < row.whole.size(); ++k) {
            dir_entry_t entry;
            ASSERT_TRUE(disk->getEntry(k, false, entry));
            EXPECT_EQ(disk->readEntry(entry).whole(), row.whole[k]) << k;
        }
    }
}

TEST(ArchiveImporters, ExtractorStubsThatDoNotFitAreDamaged) {
    bytes_t sda = readFixture("small.sda");
    sda[4] = 5;
    EXPECT_EQ(importInto("x.sda", sda).result, import_result_t::damaged);
    bytes_t sfx(3715, 0xEA);
    sfx[103] = 0xCE;
    std::unique_ptr<Disk> disk = blankD64();
    EXPECT_EQ(importSfx(*disk, {sfx}), import_result_t::damaged);
    EXPECT_EQ(countDirectoryEntries(*disk), 0u);
}

// Every prefix and a spread of single-bit flips of each fixture imports
// cleanly; the sanitizers watch the reads and the image stays consistent.
TEST(ArchiveImporters, DamagedArchivesFailCleanly) {
    for (const auto& [archive, expected] : readManifest()) {
        if (archive == "endcode_long.arc" || archive == "overflow.arc" || archive == "big.lzh") continue;
        SCOPED_TRACE(archive);
        const bytes_t bytes = readFixture(archive);
        const std::size_t step = std::max<std::size_t>(1, bytes.size() / 200);
        for (std::size_t length = 0; length < bytes.size(); length += step)
            importInto(archive, bytes_t(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)));
        for (std::size_t bit = 0; bit < bytes.size() * 8; bit += 8 * step + 3) {
            bytes_t flipped = bytes;
            flipped[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
            imported_t imported = importInto(archive, flipped);
            std::uint64_t blocks = 0;
            dir_entry_t entry;
            for (std::uint64_t i = 0; imported.disk->getEntry(i, false, entry); ++i) blocks += entry.blockCount();
            EXPECT_EQ(blocks, kD64Blocks - imported.disk->blocksFree()) << "bit " << bit;
        }
    }
}

}  // namespace
}  // namespace platter::test
