#include "platter/formats/disk_cmd.hpp"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platter/core/buffered_data_provider.hpp"
#include "platter/core/data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/formats/disk71.hpp"
#include "platter/formats/disk81.hpp"
#include "platter/formats/disk_dhd.hpp"
#include "platter/formats/disk_np.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::readWhole;
using test_support::saved;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::cbmName;
using test_support::nameOf;

constexpr std::uint64_t kD1mTableAt = (80 * 40 + 8) * 256;  // drive track 81 sector 8

bytes_t baseD64() { return test_support::readFixture("d64/base.d64"); }

template <class Image>
std::unique_ptr<Image> newImage() {
    auto disk = std::make_unique<Image>();
    EXPECT_TRUE(disk->open({}, false, true));
    return disk;
}

std::unique_ptr<DiskD1M> fixtureD1m(bytes_t bytes = test_support::readFixture("cmd/k.d1m")) {
    auto disk = std::make_unique<DiskD1M>();
    EXPECT_TRUE(disk->openBytes("k.d1m", std::move(bytes)));
    disk->setIncludeEmpty(false);
    return disk;
}

using test_support::entryAt;

// Two images list alike when their names, ids, entries and files are equal.
void expectListsAlike(Disk& partition, Disk& image) {
    std::array<std::uint8_t, 16> a, b;
    ASSERT_TRUE(partition.getDiskName(a));
    ASSERT_TRUE(image.getDiskName(b));
    EXPECT_EQ(a, b);
    EXPECT_EQ(partition.blocksFree(), image.blocksFree());
    ASSERT_EQ(partition.countDirectoryEntries(), image.countDirectoryEntries());
    for (std::uint64_t i = 0; i < image.countDirectoryEntries(); ++i) {
        const dir_entry_t x = entryAt(partition, i);
        const dir_entry_t y = entryAt(image, i);
        EXPECT_EQ(x.bytes, y.bytes) << i;
        bytes_t dx, dy;
        EXPECT_EQ(readWhole(partition, x, dx), readWhole(image, y, dy)) << i;
        EXPECT_EQ(dx, dy) << i;
    }
}

TEST(DiskD2M, NewImageHoldsOnlyTheSystemPartition) {
    const auto disk = newImage<DiskD2M>();
    EXPECT_EQ(disk->providerSize(), 1658880u);
    disk->setIncludeEmpty(false);
    ASSERT_EQ(disk->countDirectoryEntries(), 1u);
    const dir_entry_t system = entryAt(*disk, 0);
    EXPECT_EQ(nameOf(system), cbmName("SYSTEM", false));
    EXPECT_EQ(disk->typeWord(system), "SYS");
    EXPECT_EQ(disk->openPartition(system), nullptr);
    EXPECT_FALSE(disk->showsBlocksFree());
    EXPECT_FALSE(disk->showsEntryFlags());
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(disk->getDiskName(name));
    EXPECT_EQ(std::string(name.begin(), name.end()), "CMD FD SERIES   ");
    disk->setIncludeEmpty(true);
    EXPECT_EQ(disk->countDirectoryEntries(), 32u);  // four table blocks
    // A hard disk has no size to be made in.
    DiskDHM dhd;
    EXPECT_FALSE(dhd.open({}, false, true));
}

// The fixture's system area was written by an independent writer from the published layout.
TEST(DiskD2M, NewD1mSystemAreaMatchesTheFixtureWriter) {
    const auto made = newImage<DiskD1M>();
    const bytes_t fixture = test_support::readFixture("cmd/k.d1m");
    const std::uint64_t header = (80 * 40 + 5) * 256;
    const auto block = made->blockBytes(makeBlock(13, 133));
    ASSERT_FALSE(block.empty());
    EXPECT_TRUE(std::equal(block.begin(), block.end(), fixture.begin() + header));
    for (std::uint64_t k = 0; k < 4; ++k) {
        const auto table = made->blockBytes(makeBlock(13, 136 + k));
        EXPECT_EQ(table[0], fixture[kD1mTableAt + k * 256]);
        EXPECT_EQ(table[1], fixture[kD1mTableAt + k * 256 + 1]);
    }
    // The system entry: type and name.
    const auto first = made->blockBytes(makeBlock(13, 136));
    EXPECT_TRUE(std::equal(first.begin() + 2, first.begin() + 21, fixture.begin() + kD1mTableAt + 2));
}

TEST(DiskD2M, FixturePartitionsListAndReadLikeTheirImages) {
    const auto disk = fixtureD1m();
    ASSERT_EQ(disk->countDirectoryEntries(), 3u);
    const dir_entry_t games = entryAt(*disk, 1);
    const dir_entry_t native = entryAt(*disk, 2);
    EXPECT_EQ(disk->typeWord(games), "41 ");
    EXPECT_EQ(disk->typeWord(native), "NAT");
    EXPECT_EQ(disk->entryBlocks(games), 684u);
    EXPECT_EQ(disk->entryBlocks(native), 512u);

    bytes_t raw;
    ASSERT_TRUE(readWhole(*disk, games, raw));
    ASSERT_EQ(raw.size(), 684u * 256);
    const bytes_t d64 = baseD64();
    EXPECT_TRUE(std::equal(d64.begin(), d64.end(), raw.begin()));

    const std::shared_ptr<Disk> part41 = disk->openPartition(games);
    ASSERT_NE(part41, nullptr);
    EXPECT_EQ(part41->formatId(), format_id::d64);
    const std::unique_ptr<Disk> standalone = test_support::openD64(d64);
    expectListsAlike(*part41, *standalone);

    const std::shared_ptr<Disk> partNP = disk->openPartition(native);
    ASSERT_NE(partNP, nullptr);
    DiskNP dnp;
    ASSERT_TRUE(dnp.openBytes("x.dnp", test_support::readFixture("cmd/x.dnp")));
    expectListsAlike(*partNP, dnp);
}

// A D2M written from the published layout, independent of the class: the system header on
// drive track 81 sector 5, the table from its sector 8 (links relative to 80/8), each image at
// its start unit of 512 bytes.
struct hand_partition_t {
    std::uint8_t type;
    std::string name;
    std::uint64_t startUnit;
    std::uint64_t units;
    bytes_t image;
};

bytes_t handBuiltD2m(const std::vector<hand_partition_t>& partitions) {
    constexpr std::uint64_t kSystemTrack = 80 * 80;  // blocks before drive track 81
    bytes_t bytes(1658880, 0);
    const auto block = [&](std::uint64_t sector) {
        return bytes.begin() + static_cast<std::ptrdiff_t>((kSystemTrack + sector) * 256);
    };
    const std::string text = "CMD FD SERIES   ";
    std::copy(text.begin(), text.end(), block(5) + 240);
    const std::array<std::array<std::uint8_t, 2>, 4> links = {{{1, 1}, {1, 2}, {1, 3}, {0, 255}}};
    for (std::size_t k = 0; k < links.size(); ++k) std::copy(links[k].begin(), links[k].end(), block(8 + k));
    const auto put = [&](std::size_t slot, std::uint8_t type, const std::string& name, std::uint64_t start,
                         std::uint64_t units) {
        const auto entry = block(8 + slot / 8) + static_cast<std::ptrdiff_t>(slot % 8 * 32);
        entry[2] = type;
        const std::array<std::uint8_t, 16> padded = cbmName(name, false);
        std::copy(padded.begin(), padded.end(), entry + 5);
        entry[21] = static_cast<std::uint8_t>(start >> 16);
        entry[22] = static_cast<std::uint8_t>(start >> 8);
        entry[23] = static_cast<std::uint8_t>(start);
        entry[30] = static_cast<std::uint8_t>(units >> 8);
        entry[31] = static_cast<std::uint8_t>(units);
    };
    put(0, 0xff, "SYSTEM", 0, 0);
    for (std::size_t i = 0; i < partitions.size(); ++i) {
        const hand_partition_t& p = partitions[i];
        put(i + 1, p.type, p.name, p.startUnit, p.units);
        std::copy(p.image.begin(), p.image.end(), bytes.begin() + static_cast<std::ptrdiff_t>(p.startUnit * 512));
    }
    return bytes;
}

template <class Image>
std::unique_ptr<Image> standalone(const bytes_t& bytes) {
    auto disk = std::make_unique<Image>();
    EXPECT_TRUE(disk->openBytes("standalone", bytes));
    disk->setIncludeEmpty(false);
    return disk;
}

// cc1541's D64 and D81, cbmconvert's D71 and a DNP, each a partition of one D2M.
TEST(DiskD2M, PartitionsOfEveryKindListAndReadLikeTheirImages) {
    const bytes_t d64 = baseD64();
    const bytes_t d71 = test_support::readFixture("d71/c.d71");
    const bytes_t d81 = test_support::readFixture("d81/p.d81");
    const bytes_t dnp = test_support::readFixture("cmd/x.dnp");
    DiskD2M disk;
    ASSERT_TRUE(disk.openBytes("all.d2m", handBuiltD2m({{2, "GAMES", 0, 342, d64},
                                                        {3, "DOUBLE", 342, 684, d71},
                                                        {4, "BIG", 1026, 1600, d81},
                                                        {1, "NATIVE", 2626, 256, dnp}})));
    disk.setIncludeEmpty(false);
    ASSERT_EQ(disk.countDirectoryEntries(), 5u);
    const std::array<std::string, 5> names = {"SYSTEM", "GAMES", "DOUBLE", "BIG", "NATIVE"};
    const std::array<std::string, 5> words = {"SYS", "41 ", "71 ", "81 ", "NAT"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const dir_entry_t entry = entryAt(disk, i);
        EXPECT_EQ(nameOf(entry), cbmName(names[i], false)) << i;
        EXPECT_EQ(disk.typeWord(entry), words[i]) << i;
    }
    const std::shared_ptr<Disk> part41 = disk.openPartition(entryAt(disk, 1));
    const std::shared_ptr<Disk> part71 = disk.openPartition(entryAt(disk, 2));
    const std::shared_ptr<Disk> part81 = disk.openPartition(entryAt(disk, 3));
    const std::shared_ptr<Disk> partNP = disk.openPartition(entryAt(disk, 4));
    ASSERT_TRUE(part41 && part71 && part81 && partNP);
    EXPECT_EQ(part71->formatId(), format_id::d71);
    EXPECT_EQ(part81->formatId(), format_id::d81);
    expectListsAlike(*part41, *standalone<Disk41>(d64));
    expectListsAlike(*part71, *standalone<Disk71>(d71));
    expectListsAlike(*part81, *standalone<Disk81>(d81));
    expectListsAlike(*partNP, *standalone<DiskNP>(dnp));
    // The 1581 partition inside the D81 partition is entered like the standalone image's.
    const auto inner = standalone<Disk81>(d81);
    for (Disk* image : {part81.get(), static_cast<Disk*>(inner.get())}) {
        dir_entry_t part;
        ASSERT_TRUE(image->getEntry(2, false, part));
        track_sector_t first;
        ASSERT_TRUE(image->openDirectory(part, first, false));
    }
    expectListsAlike(*part81, *inner);
}

TEST(DiskD2M, BlocksEndWhereTheImageEnds) {
    const auto disk = newImage<DiskD1M>();
    EXPECT_TRUE(disk->isValidBlock(makeBlock(13, 167)));
    EXPECT_FALSE(disk->isValidBlock(makeBlock(13, 168)));
    EXPECT_FALSE(disk->isValidBlock(makeBlock(14, 0)));
    EXPECT_FALSE(disk->isValidBlock(makeBlock(0, 0)));
    EXPECT_EQ(disk->blockOffset(makeBlock(2, 3)), 65536u + 768u);
    EXPECT_EQ(disk->blocksFree(), 0u);
    EXPECT_EQ(disk->totalBlocks(), 3240u);
}

TEST(DiskD2M, TableThatLinksBackListsEachEntryOnce) {
    bytes_t bytes = test_support::readFixture("cmd/k.d1m");
    // The last table block links back to the first.
    bytes[kD1mTableAt + 3 * 256] = 1;
    bytes[kD1mTableAt + 3 * 256 + 1] = 0;
    const auto disk = fixtureD1m(bytes);
    EXPECT_EQ(disk->countDirectoryEntries(), 3u);
    disk->setIncludeEmpty(true);
    EXPECT_EQ(disk->countDirectoryEntries(), 32u);
    EXPECT_EQ(disk->locateEntry(32, true), nullptr);
    // Where it turns back, by the table's own relative links.
    EXPECT_EQ(disk->directoryStop().end, chain_end::turnsBack);
    EXPECT_EQ(disk->directoryStop().from, makeBlock(13, 139));
    EXPECT_TRUE(fixtureD1m()->directoryStop().whole());

    // A link off the image ends the table too.
    bytes[kD1mTableAt + 1 * 256] = 99;
    const auto cut = fixtureD1m(bytes);
    EXPECT_EQ(cut->countDirectoryEntries(), 3u);
}

// k.d1m's entry `slot` with another start and size (in units).
bytes_t withPartition(std::uint64_t slot, std::uint64_t start, std::uint64_t units) {
    bytes_t bytes = test_support::readFixture("cmd/k.d1m");
    const std::array<std::uint8_t, 32> entry =
        cmdPartitionEntry(bytes[kD1mTableAt + slot * 32 + 2], cbmName("X", false), start, units);
    std::copy(entry.begin() + 2, entry.end(), bytes.begin() + static_cast<std::ptrdiff_t>(kD1mTableAt + slot * 32 + 2));
    return bytes;
}

// An area its kind cannot use (the D1M has 1620 units, its system track from unit 1600 on)
// is the partition's fault: it neither opens nor reads, and the one query says why.
TEST(DiskD2M, PartitionAreasTheirKindCannotUseAreFaults) {
    struct case_t {
        std::uint64_t slot, start, units;
        block_range_fault fault;
    };
    const case_t cases[] = {
        {2, 1700, 256, block_range_fault::outsideImage},
        {2, 1500, 256, block_range_fault::pastEnd},
        {2, 1480, 128, block_range_fault::systemArea},
        {1, 0, 100, block_range_fault::smallerThanKind},  // a 1541 partition of 100 units
        {1, 0, 0, block_range_fault::smallerThanKind},
        {2, 400, 128, block_range_fault::smallerThanKind},  // one track of a native partition of two
        {2, 0, 256, block_range_fault::overlapsPartition},  // over the 1541 partition
        {2, 399, 256, block_range_fault::noHeader},         // its BAM head two blocks on
        {1, 1, 342, block_range_fault::noHeader},           // its header two blocks on
        {1, 0, 342, block_range_fault::none},
        {2, 400, 256, block_range_fault::none},
    };
    for (const case_t& c : cases) {
        const auto disk = fixtureD1m(withPartition(c.slot, c.start, c.units));
        const dir_entry_t entry = entryAt(*disk, c.slot);
        EXPECT_EQ(disk->partitionFault(entry), c.fault) << c.start << " " << c.units;
        const entry_read_t read = disk->readEntry(entry);
        test_support::expectStreamedAsKept(*disk, entry);
        if (c.fault == block_range_fault::none) {
            EXPECT_NE(disk->openPartition(entry), nullptr) << c.start << " " << c.units;
            EXPECT_TRUE(read.whole());
            continue;
        }
        EXPECT_EQ(disk->openPartition(entry), nullptr) << c.start << " " << c.units;
        EXPECT_EQ(read.outcome, read_outcome::areaFault);
        EXPECT_EQ(read.area, c.fault);
        EXPECT_TRUE(read.bytes.empty());
    }
    // The system entry reserves nothing.
    const auto disk = fixtureD1m();
    EXPECT_EQ(disk->partitionFault(entryAt(*disk, 0)), block_range_fault::none);
}

TEST(DiskD2M, InsertedD64TakesItsUnitsAndEqualsTheImage) {
    const auto disk = newImage<DiskD2M>();
    const std::unique_ptr<Disk> d64 = test_support::openD64(baseD64());
    ASSERT_TRUE(disk->insertImage(*d64, cbmName("GAMES", false), -1));
    EXPECT_TRUE(disk->isModified());
    disk->setIncludeEmpty(false);
    const dir_entry_t entry = entryAt(*disk, 1);
    const cmd_partition_t partition = cmd_partition_t::of(entry);
    EXPECT_EQ(partition.type, 2);
    EXPECT_EQ(partition.units, 342u);
    EXPECT_EQ(partition.startUnit, 0u);
    bytes_t raw;
    ASSERT_TRUE(readWhole(*disk, entry, raw));
    const bytes_t d64bytes = baseD64();
    EXPECT_TRUE(std::equal(d64bytes.begin(), d64bytes.end(), raw.begin()));
    const std::shared_ptr<Disk> view = disk->openPartition(entry);
    expectListsAlike(*view, *d64);

    // Undo takes the partition out again.
    ASSERT_TRUE(disk->undo());
    EXPECT_EQ(disk->countDirectoryEntries(), 1u);
}

template <class Image>
std::unique_ptr<Disk> standaloneDisk(const bytes_t& bytes) {
    return standalone<Image>(bytes);
}

// Host image files, identified by their bytes, become partitions named after their disks; a
// G64 holds the 1541 disk it was made from.
TEST(DiskD2M, HostImageFilesBecomePartitionsOfTheirKind) {
    struct row_t {
        const char* file;
        const char* word;
        const char* image;
        std::unique_ptr<Disk> (*open)(const bytes_t&);
    };
    const row_t rows[] = {
        {"d64/base.d64", "41 ", "d64/base.d64", standaloneDisk<Disk41>},
        {"g64/base.g64", "41 ", "d64/base.d64", standaloneDisk<Disk41>},
        {"d71/c.d71", "71 ", "d71/c.d71", standaloneDisk<Disk71>},
        {"d81/p.d81", "81 ", "d81/p.d81", standaloneDisk<Disk81>},
        {"cmd/x.dnp", "NAT", "cmd/x.dnp", standaloneDisk<DiskNP>},
    };
    const auto disk = newImage<DiskD4M>();
    disk->setIncludeEmpty(false);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const row_t& row = rows[i];
        ASSERT_TRUE(disk->importHostFile(test_support::fixturePath(row.file), -1)) << row.file << disk->lastError();
        const dir_entry_t entry = entryAt(*disk, i + 1);
        EXPECT_EQ(disk->typeWord(entry), row.word) << row.file;
        const std::unique_ptr<Disk> image = row.open(test_support::readFixture(row.image));
        std::array<std::uint8_t, 16> name;
        ASSERT_TRUE(image->getDiskName(name));
        EXPECT_EQ(nameOf(entry), name) << row.file;
        const std::shared_ptr<Disk> partition = disk->openPartition(entry);
        ASSERT_NE(partition, nullptr) << row.file;
        expectListsAlike(*partition, *image);
    }
    EXPECT_EQ(disk->lastUndoName(), "Insert File");

    // What is no image of a partition kind, or does not open, is refused and leaves no entry.
    const test_support::ScratchDir scratch;
    const std::pair<std::filesystem::path, std::uint32_t> refused[] = {
        {test_support::fixturePath("cmd/k.d1m"), kErrNotPartition},
        {test_support::fixturePath("cmd/make_fixtures.sh"), kErrNotPartition},
        {scratch.file("missing.d64"), kErrOpenFile},
        {scratch.path(), kErrOpenFile},
    };
    for (const auto& [file, code] : refused) {
        EXPECT_FALSE(disk->importHostFile(file, -1)) << file;
        EXPECT_EQ(disk->lastError(), code) << file;
    }
    EXPECT_EQ(disk->countDirectoryEntries(), 1 + std::size(rows));
}

TEST(DiskD2M, ImageLargerThanItsPartitionKindIsRefused) {
    const auto disk = newImage<DiskD2M>();
    const auto fresh = [] {
        auto d64 = std::make_unique<Disk41>();
        EXPECT_TRUE(d64->open({}, false, true));
        return d64;
    };
    const auto forty = fresh();
    ASSERT_TRUE(forty->extendDisk(true));
    const bytes_t before = disk->dataProvider() ? bytes_t(disk->dataProvider()->dataAt(0, {}),
                                                          disk->dataProvider()->dataAt(0, {}) + disk->providerSize())
                                                : bytes_t{};
    EXPECT_FALSE(disk->insertImage(*forty, cbmName("FORTY", false), -1));
    EXPECT_EQ(disk->lastError(), kErrNotPartition);
    EXPECT_EQ(bytes_t(disk->dataProvider()->dataAt(0, {}), disk->dataProvider()->dataAt(0, {}) + disk->providerSize()),
              before);
    // The bytes of a 40-track file, too.
    const container_format_t* row = formatById(format_id::d64);
    EXPECT_FALSE(disk->importFile(cbmName("FORTY"), -1, bytes_t(196608), 0, row));
    EXPECT_EQ(disk->lastError(), kErrNotPartition);
    EXPECT_TRUE(disk->importFile(cbmName("GOOD"), -1, baseD64(), 0, row));
    EXPECT_FALSE(disk->importFile(cbmName("T64"), -1, bytes_t(1000), 0, formatById(format_id::t64)));
    EXPECT_EQ(disk->lastError(), kErrNotPartition);
    EXPECT_TRUE(disk->insertImage(*fresh(), cbmName("FRESH"), -1));
}

TEST(DiskD2M, PartitionsNeverReachTheSystemTrack) {
    const auto disk = newImage<DiskD4M>();
    std::uint64_t made = 0;
    while (disk->createPartition(format_id::dnp, -1, 25)) ++made;
    EXPECT_EQ(made, 2u);  // 12800 blocks below drive track 81 hold two of 6400
    EXPECT_EQ(disk->lastError(), kErrPastImage);
    disk->setIncludeEmpty(false);
    for (std::uint64_t i = 1; i <= made; ++i) {
        const cmd_partition_t partition = cmd_partition_t::of(entryAt(*disk, i));
        EXPECT_LE(partition.endUnit(), 6400u) << i;
    }
    std::uint64_t largest = 99, start = 0;
    EXPECT_FALSE(disk->findPartitionSpace(1, largest, start));
    EXPECT_EQ(largest, 0u);

    const auto d1m = newImage<DiskD1M>();
    made = 0;
    while (d1m->createPartition(format_id::d64, -1, 0)) ++made;
    EXPECT_EQ(made, 4u);                                        // 3200 blocks hold four of 684
    EXPECT_FALSE(d1m->createPartition(format_id::dnp, -1, 2));  // 256 units; 232 are left
    ASSERT_FALSE(d1m->findPartitionSpace(256, largest, start));
    EXPECT_EQ(largest, 232u);
}

TEST(DiskD2M, SpaceIsFoundBestFitAroundEveryPartition) {
    const auto disk = newImage<DiskD2M>();
    ASSERT_TRUE(disk->createPartition(format_id::dnp, -1, 4));  // units 0-511
    ASSERT_TRUE(disk->createPartition(format_id::d64, -1, 0));  // 512-853
    ASSERT_TRUE(disk->createPartition(format_id::dnp, -1, 2));  // 854-1109
    disk->setIncludeEmpty(false);
    dir_entry_t first = entryAt(*disk, 1);
    disk->markDeleted(first, 1, false);
    EXPECT_EQ(disk->countDirectoryEntries(), 3u);
    std::uint64_t largest = 0, start = 0;
    // 512 free at 0 and 2090 at 1110: 300 fit best at 0, 600 only at 1110.
    ASSERT_TRUE(disk->findPartitionSpace(300, largest, start));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(largest, 3200u - 1110u);
    ASSERT_TRUE(disk->findPartitionSpace(600, largest, start));
    EXPECT_EQ(start, 1110u);
    // A new partition takes the first slot the deleted one left.
    ASSERT_TRUE(disk->createPartition(format_id::d64, 1, 0));
    const cmd_partition_t placed = cmd_partition_t::of(entryAt(*disk, 1));
    EXPECT_EQ(placed.startUnit, 0u);
    const std::shared_ptr<Disk> view = disk->openPartition(entryAt(*disk, 1));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->blocksFree(), 664u);
}

TEST(DiskD2M, InsertMovesEntriesAndUndoPutsThemBack) {
    const auto disk = fixtureD1m();
    const bytes_t before(disk->dataProvider()->dataAt(kD1mTableAt, {}),
                         disk->dataProvider()->dataAt(kD1mTableAt, {}) + 1024);
    const std::array<std::uint8_t, 32> entry = cmdPartitionEntry(2, cbmName("NEW", false), 1000, 342);
    ASSERT_TRUE(disk->insertEntry(1, dir_entry_t::fromBytes(entry)));
    EXPECT_EQ(disk->lastUndoName(), "Insert Partition");
    ASSERT_EQ(disk->countDirectoryEntries(), 4u);
    EXPECT_EQ(nameOf(entryAt(*disk, 1)), cbmName("NEW", false));
    EXPECT_EQ(nameOf(entryAt(*disk, 2)), cbmName("GAMES", false));
    EXPECT_EQ(nameOf(entryAt(*disk, 3)), cbmName("NAT", false));
    ASSERT_TRUE(disk->undo());
    EXPECT_EQ(
        bytes_t(disk->dataProvider()->dataAt(kD1mTableAt, {}), disk->dataProvider()->dataAt(kD1mTableAt, {}) + 1024),
        before);

    dir_entry_t games = entryAt(*disk, 1);
    disk->markDeleted(games, 1, false);
    EXPECT_EQ(disk->lastUndoName(), "DEL");
    EXPECT_EQ(games.typeByte(), 0);
    EXPECT_EQ(disk->countDirectoryEntries(), 2u);
    ASSERT_TRUE(disk->undo());
    EXPECT_EQ(disk->countDirectoryEntries(), 3u);
}

TEST(DiskD2M, FullTableRefusesAnInsert) {
    const auto disk = newImage<DiskD1M>();
    const std::array<std::uint8_t, 32> entry = cmdPartitionEntry(7, cbmName("X", false), 0, 0);
    for (int i = 0; i < 31; ++i) ASSERT_TRUE(disk->insertEntry(-1, dir_entry_t::fromBytes(entry))) << i;
    EXPECT_FALSE(disk->insertEntry(-1, dir_entry_t::fromBytes(entry)));
    EXPECT_EQ(disk->lastError(), kErrInsertEntry);
}

// A hard-disk image with the system area on track 5 and base.d64 as a partition behind it.
bytes_t hardDisk(std::uint64_t megabytes) {
    bytes_t bytes(megabytes << 20);
    const std::uint64_t table = 4 * 65536;
    bytes[table + 1] = 0xff;  // one table block
    bytes[table + 2] = 0xff;
    const std::array<std::uint8_t, 16> system = cbmName("SYSTEM", false);
    std::copy(system.begin(), system.end(), bytes.begin() + table + 5);
    bytes[table + 32 + 2] = 2;
    const std::array<std::uint8_t, 16> games = cbmName("GAMES", false);
    std::copy(games.begin(), games.end(), bytes.begin() + table + 32 + 5);
    bytes[table + 32 + 22] = 0x02;  // start unit 529
    bytes[table + 32 + 23] = 0x11;
    bytes[table + 32 + 30] = 0x01;  // 342 units
    bytes[table + 32 + 31] = 0x56;
    const std::array<std::uint8_t, 16> name = cbmName("HARD DISK", false);
    std::copy(name.begin(), name.end(), bytes.begin() + table + 33 * 256 + 4);
    const bytes_t d64 = baseD64();
    std::copy(d64.begin(), d64.end(), bytes.begin() + 529 * 512);
    return bytes;
}

TEST(DiskDHM, ListsWithoutReadingTheWholeFile) {
    test_support::ScratchDir scratch;
    const auto file = scratch.write("big.dhd", hardDisk(4));
    DiskDHM disk;
    ASSERT_TRUE(disk.open(file, true));
    EXPECT_EQ(disk.trackCount(), 64u);
    EXPECT_FALSE(disk.damage().sizeUnknown);
    disk.setIncludeEmpty(false);
    ASSERT_EQ(disk.countDirectoryEntries(), 2u);
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(disk.getDiskName(name));
    EXPECT_EQ(name, cbmName("HARD DISK", false));
    const std::shared_ptr<Disk> games = disk.openPartition(entryAt(disk, 1));
    ASSERT_NE(games, nullptr);
    const std::unique_ptr<Disk> d64 = test_support::openD64(baseD64());
    expectListsAlike(*games, *d64);
    const auto* provider = dynamic_cast<const BufferedDataProvider*>(disk.dataProvider());
    ASSERT_NE(provider, nullptr);
    EXPECT_LT(provider->cachedBlockCount(), 64u);  // of 16384
    EXPECT_FALSE(disk.isValidBlock(makeBlock(65, 0)));
    EXPECT_FALSE(disk.damage().missesBlocks);
}

// hardDisk(4) with a table of 32 blocks: after the system partition every slot a 1541
// partition named by its slot, but the fourth of each block, which is empty.
bytes_t hardDiskWithFullTable() {
    bytes_t bytes = hardDisk(4);
    for (std::uint64_t b = 0; b < 32; ++b) {
        const auto block = bytes.begin() + static_cast<std::ptrdiff_t>(4 * 65536 + b * 256);
        block[0] = b + 1 < 32 ? 1 : 0;  // links relative to track 4
        block[1] = static_cast<std::uint8_t>(b + 1 < 32 ? b + 1 : 0xff);
        for (std::uint64_t k = b == 0 ? 1 : 0; k < 8; ++k) {
            const auto entry = block + static_cast<std::ptrdiff_t>(k * 32);
            std::fill(entry + 2, entry + 32, std::uint8_t{0});
            if (k == 3) continue;
            entry[2] = 2;
            const std::array<std::uint8_t, 16> name = cbmName(std::to_string(b * 8 + k), false);
            std::copy(name.begin(), name.end(), entry + 5);
        }
    }
    return bytes;
}

// Counts how often each block is read.
class CountingDhd : public DiskDHM {
public:
    std::uint8_t* blockPointer(const track_sector_t& block) override {
        ++reads[block];
        return DiskDHM::blockPointer(block);
    }
    std::map<track_sector_t, std::uint64_t> reads;
};

// Walking the table by index goes on from the entry found last; looked up from the last entry
// down, each lookup walks from the table start, and both find the same entries.
TEST(DiskDHM, TableLookupsInOrderReadEachTableBlockABoundedNumberOfTimes) {
    test_support::ScratchDir scratch;
    const auto file = scratch.write("full.dhd", hardDiskWithFullTable());
    for (const bool includeEmpty : {false, true}) {
        CountingDhd disk;
        ASSERT_TRUE(disk.open(file, true));
        disk.setIncludeEmpty(includeEmpty);
        const std::uint64_t count = disk.countDirectoryEntries();
        ASSERT_EQ(count, includeEmpty ? 256u : 256u - 32u);
        disk.reads.clear();
        std::vector<dir_entry_t> inOrder(count);
        for (std::uint64_t i = 0, slot = 0; i < count; ++i, ++slot) {
            if (!includeEmpty && slot % 8 == 3) ++slot;
            ASSERT_TRUE(disk.getEntry(i, includeEmpty, inOrder[i])) << i;
            if (slot != 0 && slot % 8 != 3) {
                ASSERT_EQ(nameOf(inOrder[i]), cbmName(std::to_string(slot), false)) << i;
            }
            ASSERT_EQ(disk.entryAt(i), disk.entryAt(i));  // the same entry again
        }
        dir_entry_t past;
        EXPECT_FALSE(disk.getEntry(count, includeEmpty, past));
        ASSERT_EQ(disk.reads.size(), 32u);
        for (const auto& [block, reads] : disk.reads)
            EXPECT_LE(reads, 3u * 8u + 1u) << block.track << "/" << block.sector;

        DiskDHM fresh;
        ASSERT_TRUE(fresh.open(file, true));
        fresh.setIncludeEmpty(includeEmpty);
        for (std::uint64_t i = count; i-- > 0;) {
            dir_entry_t entry;
            ASSERT_TRUE(fresh.getEntry(i, includeEmpty, entry)) << i;
            ASSERT_EQ(entry.bytes, inOrder[i].bytes) << i;
        }
    }
}

TEST(DiskDHM, SavesTheFileWithItsChangedBlocks) {
    test_support::ScratchDir scratch;
    const bytes_t original = hardDisk(3);
    const auto file = scratch.write("big.dhd", original);
    auto disk = std::make_unique<DiskDHM>();
    ASSERT_TRUE(disk->open(file, true));
    disk->setIncludeEmpty(false);
    {
        const std::shared_ptr<Disk> games = disk->openPartition(entryAt(*disk, 1));
        ASSERT_NE(games, nullptr);
        ASSERT_TRUE(games->setBlockBytes(makeBlock(18, 0), 0x90, std::array<std::uint8_t, 4>{'E', 'D', 'I', 'T'}));
    }
    EXPECT_TRUE(disk->isModified());
    const auto target = scratch.file("copy.dhd");
    ASSERT_TRUE(saved(disk->saveAs(target)));
    EXPECT_FALSE(disk->isModified());
    const bytes_t written = test_support::readBytes(target);
    bytes_t expected = original;
    const std::uint64_t at = 529 * 512 + 91392 + 0x90;
    std::copy_n("EDIT", 4, expected.begin() + static_cast<std::ptrdiff_t>(at));
    EXPECT_EQ(written, expected);
    EXPECT_EQ(test_support::readBytes(file), original);

    // Saving over itself keeps every change; the image reads on from the new file.
    ASSERT_TRUE(disk->setBlockBytes(makeBlock(5, 33), 4, std::array<std::uint8_t, 2>{'X', 'Y'}));
    ASSERT_TRUE(saved(disk->saveAs(target)));
    expected[4 * 65536 + 33 * 256 + 4] = 'X';
    expected[4 * 65536 + 33 * 256 + 5] = 'Y';
    EXPECT_EQ(test_support::readBytes(target), expected);
    disk.reset();
    DiskDHM reread;
    ASSERT_TRUE(reread.open(target, true));
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(reread.getDiskName(name));
    EXPECT_EQ(name[0], 'X');
}

TEST(DiskDHM, PartitionsStartBehindTheSystemHeader) {
    test_support::ScratchDir scratch;
    bytes_t bytes = hardDisk(2);
    bytes[4 * 65536 + 32 + 2] = 0;  // no partition
    DiskDHM disk;
    ASSERT_TRUE(disk.open(scratch.write("empty.dhd", bytes), true));
    std::uint64_t largest = 0, start = 0;
    ASSERT_TRUE(disk.findPartitionSpace(342, largest, start));
    EXPECT_EQ(start, 529u);  // the header is block 1057, in unit 528
    EXPECT_EQ(largest, 2u * 2048 - 529);
    ASSERT_TRUE(disk.createPartition(format_id::d64, -1, 0));
    EXPECT_GE(cmd_partition_t::of(entryAt(disk, 1)).startUnit * 2, 1058u);
}

}  // namespace
}  // namespace platter
