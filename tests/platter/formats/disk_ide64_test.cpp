#include "platter/formats/disk_ide64.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platter/core/data_provider.hpp"
#include "platter/core/file_data_provider.hpp"
#include "platter/open/open_container.hpp"
#include "platter/formats/cfs_entry.hpp"
#include "platter/formats/part_cfs.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/hdd_fixture.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::readWhole;
using test_support::saved;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::cbmName;
using test_support::nameOf;
using test_support::patternBytes;

using namespace test_support::hdd;

std::unique_ptr<DiskIDE64> openHdd(bytes_t bytes = test_support::readFixture("cmd/x.hdd")) {
    auto disk = std::make_unique<DiskIDE64>();
    EXPECT_TRUE(disk->openBytes("x.hdd", std::move(bytes)));
    return disk;
}

using test_support::entryAt;

// The entry of the current directory with the given name.
dir_entry_t named(Disk& disk, const std::string& name) {
    for (std::uint64_t i = 0; i < disk.countDirectoryEntries(); ++i) {
        const dir_entry_t entry = entryAt(disk, i);
        if (nameOf(entry) == cbmName(name, false)) return entry;
    }
    ADD_FAILURE() << name;
    return {};
}

std::shared_ptr<Disk> part1(DiskIDE64& disk) { return disk.openPartition(entryAt(disk, 0)); }

TEST(DiskIDE64, ListsItsPartitionsInUse) {
    const auto disk = openHdd();
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(disk->getDiskName(name));
    EXPECT_EQ(name, cbmName("IDE64 DISK", false));
    EXPECT_FALSE(disk->getDiskId(std::span<std::uint8_t, 5>(name.data(), 5)));
    ASSERT_EQ(disk->countDirectoryEntries(), 2u);  // bit 7 and bit 5; not the entries with neither
    const dir_entry_t cfs = entryAt(*disk, 0);
    const dir_entry_t geos = entryAt(*disk, 1);
    EXPECT_EQ(nameOf(cfs), cbmName("PART1", false));
    EXPECT_EQ(disk->typeWord(cfs), "CFS ");
    EXPECT_EQ(disk->typeWord(geos), "GEOS");
    EXPECT_EQ(disk->entryBlocks(cfs), 624u);
    EXPECT_FALSE(disk->showsBlocksFree());
    EXPECT_EQ(disk->openPartition(geos), nullptr);
    // With empty entries the rest show as scratched, the nameless slots not at all.
    disk->setIncludeEmpty(true);
    EXPECT_EQ(disk->countDirectoryEntries(), 4u);
}

// A file of 47 bytes or without the CFS signature is no IDE64 image: it does not open.
TEST(DiskIDE64, NeedsAHeaderOfFortyEightBytes) {
    bytes_t bytes = test_support::readFixture("cmd/x.hdd");
    bytes_t header(bytes.begin(), bytes.begin() + 48);
    const auto shortest = openHdd(header);
    EXPECT_EQ(shortest->countDirectoryEntries(), 0u);  // accepted; its list lies past the end
    EXPECT_FALSE(shortest->directoryStart().isNone());
    EXPECT_EQ(shortest->directoryStop(), (chain_stop_t{chain_end::leaves, noBlock(), DiskIDE64::blockOfSector(2)}));
    header.pop_back();
    EXPECT_FALSE(DiskIDE64().openBytes("x.hdd", header));
    bytes[10] = 'X';
    EXPECT_FALSE(DiskIDE64().openBytes("x.hdd", bytes));
}

TEST(DiskIDE64, CfsPartitionReadsItsFilesAndDirectories) {
    const auto disk = openHdd();
    const std::shared_ptr<Disk> part = part1(*disk);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part1(*disk), part);
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(part->getDiskName(name));
    EXPECT_EQ(name, cbmName("PART ONE", false));
    ASSERT_EQ(part->countDirectoryEntries(), 5u);  // across two directory blocks

    bytes_t data;
    ASSERT_TRUE(readWhole(*part, named(*part, "HELLO"), data));
    EXPECT_EQ(data, patternBytes(300, 1));
    data.clear();
    const dir_entry_t big = named(*part, "BIG");
    ASSERT_TRUE(readWhole(*part, big, data));
    EXPECT_EQ(data, patternBytes(70000, 3));  // two block lists, de-interleaved
    EXPECT_EQ(big.blockCount(), 276u);
    EXPECT_EQ(big.typeByte(), 0x82);

    const dir_entry_t rel = named(*part, "DATA");
    EXPECT_EQ(rel.fileType(), kTypeRel);
    EXPECT_EQ(rel.recordLength(), 64);
    EXPECT_EQ(rel.blockCount(), 4u);
    data.clear();
    ASSERT_TRUE(readWhole(*part, rel, data));
    EXPECT_EQ(data, patternBytes(1000, 4));

    const dir_entry_t gone = named(*part, "GONE");
    EXPECT_EQ(gone.typeByte(), 0x80);
    data.clear();
    EXPECT_TRUE(part->readFileByIndex(3, false, data));
    EXPECT_TRUE(data.empty());

    const dir_entry_t sub = named(*part, "SUB");
    EXPECT_EQ(part->typeWord(sub), "DIR");
    EXPECT_TRUE(part->holdsDirectory(sub));
    track_sector_t first;
    ASSERT_TRUE(part->openDirectory(sub, first, false));
    ASSERT_EQ(part->countDirectoryEntries(), 1u);
    data.clear();
    ASSERT_TRUE(readWhole(*part, named(*part, "INNER"), data));
    EXPECT_EQ(data, patternBytes(100, 5));
    ASSERT_TRUE(part->closeDirectory(false));
    EXPECT_EQ(part->countDirectoryEntries(), 5u);
}

TEST(DiskIDE64, LoopsInDirectoriesAndBlockListsEnd) {
    bytes_t bytes = test_support::readFixture("cmd/x.hdd");
    spreadLink(bytes, kRootSecondBlock * kSector + 24, 36, kRoot);
    // BIG claims more than its partition holds, and its second list leads back to its first.
    bytes[kRootSecondBlock * kSector + 36 + 18] = 0x03;
    spreadLink(bytes, (kBigFirstList + 1) * kSector, 4, kBigFirstList);
    const auto disk = openHdd(bytes);
    const std::shared_ptr<Disk> part = part1(*disk);
    EXPECT_EQ(part->countDirectoryEntries(), 5u);
    bytes_t data;
    EXPECT_FALSE(readWhole(*part, named(*part, "BIG"), data));  // a size past the partition gives nothing
    EXPECT_EQ(part->directoryStop().end, chain_end::turnsBack);
    EXPECT_EQ(part->directoryStop().from, DiskIDE64::blockOfSector(kRootSecondBlock));
    std::array<std::uint8_t, 16> star;
    star.fill(0xa0);
    star[0] = '*';
    std::uint64_t seen = 0;
    disk->walkDirectory(star, [&](const std::uint8_t*, const bytes_t&) { ++seen; });
    EXPECT_EQ(seen, 2u + 5u + 1u);
}

// Each directory walk stops at a link that leaves the partition, keeping the blocks before it;
// the partition list stops where the header points past the file.
TEST(DiskIDE64, LinksThatLeaveThePartitionEndTheWalkThere) {
    bytes_t bytes = test_support::readFixture("cmd/x.hdd");
    spreadLink(bytes, kRoot * kSector + 24, 36, 400);
    spreadLink(bytes, kSubdirectory * kSector + 24, 36, kPartitionEnd);
    const auto disk = openHdd(bytes);
    EXPECT_TRUE(disk->damage().whole());
    const std::shared_ptr<Disk> part = part1(*disk);
    EXPECT_EQ(part->directoryStop(),
              (chain_stop_t{chain_end::leaves, DiskIDE64::blockOfSector(kRoot), DiskIDE64::blockOfSector(400)}));
    part->setIncludeEmpty(true);
    EXPECT_EQ(part->countDirectoryEntries(), 1u);  // the label of the first block

    bytes = test_support::readFixture("cmd/x.hdd");
    spreadLink(bytes, kSubdirectory * kSector + 24, 36, kPartitionEnd);
    const auto withSub = openHdd(bytes);
    const std::shared_ptr<Disk> sub = part1(*withSub);
    EXPECT_TRUE(sub->directoryStop().whole());
    track_sector_t first;
    ASSERT_TRUE(sub->openDirectory(named(*sub, "SUB"), first, false));
    EXPECT_EQ(sub->countDirectoryEntries(), 1u);
    EXPECT_EQ(sub->directoryStop(), (chain_stop_t{chain_end::leaves, DiskIDE64::blockOfSector(kSubdirectory),
                                                  DiskIDE64::blockOfSector(kPartitionEnd)}));

    bytes = test_support::readFixture("cmd/x.hdd");
    bytes[26] = 9;  // the list at sector 9 x 256 + 2
    const auto listless = openHdd(bytes);
    EXPECT_EQ(listless->countDirectoryEntries(), 0u);
    EXPECT_EQ(listless->directoryStop(),
              (chain_stop_t{chain_end::leaves, noBlock(), DiskIDE64::blockOfSector(9 * 256 + 2)}));
}

// A cut image names the sectors each partition lacks; a partition opens over what the file
// holds, its directory stops at the cut, its files inside the file read whole and those
// past the cut read as far as they go.
TEST(DiskIDE64, ACutImageIsReadAsFarAsItGoes) {
    const bytes_t whole = test_support::readFixture("cmd/x.hdd");
    const auto cut = [&](std::uint64_t size) {
        return bytes_t(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    };

    const auto half = openHdd(cut(whole.size() / 2));
    EXPECT_EQ(half->damage().notes,
              std::vector<std::string>{"sectors 160-319 of partition 'part1' past the end of the file are missing"});
    EXPECT_FALSE(half->damage().maySave());
    EXPECT_TRUE(half->directoryStop().whole());
    const entry_read_t area = half->readEntry(entryAt(*half, 0));
    EXPECT_EQ(area.outcome, read_outcome::cutShort);
    EXPECT_EQ(area.bytes.size(), (kRootSecondBlock - 8) * kSector);
    EXPECT_EQ(area.expected, 312u * kSector);
    test_support::expectStreamedAsKept(*half, entryAt(*half, 0));
    const std::shared_ptr<Disk> halfPart = part1(*half);
    ASSERT_NE(halfPart, nullptr);
    EXPECT_EQ(halfPart->directoryStop(), (chain_stop_t{chain_end::missing, DiskIDE64::blockOfSector(kRoot),
                                                       DiskIDE64::blockOfSector(kRootSecondBlock)}));
    halfPart->setIncludeEmpty(true);
    EXPECT_EQ(halfPart->countDirectoryEntries(), 1u);

    const auto last100 = openHdd(cut(whole.size() - 100));
    EXPECT_EQ(last100->damage().notes,
              std::vector<std::string>{"sector 319 of partition 'part1' past the end of the file is missing"});
    const std::shared_ptr<Disk> part = part1(*last100);
    ASSERT_NE(part, nullptr);
    EXPECT_TRUE(part->directoryStop().whole());
    ASSERT_EQ(part->countDirectoryEntries(), 5u);
    bytes_t data;
    ASSERT_TRUE(readWhole(*part, named(*part, "BIG"), data));
    EXPECT_EQ(data, patternBytes(70000, 3));

    // BIG's last data sector moved to sector 300, past a cut at sector 200.
    bytes_t moved = cut(200 * kSector);
    test_support::put(moved, (kBigFirstList + 1) * kSector + 8 * 4 + 1, {0, 1, 44});
    const auto far = openHdd(moved);
    const std::shared_ptr<Disk> farPart = part1(*far);
    const entry_read_t big = farPart->readEntry(named(*farPart, "BIG"));
    EXPECT_EQ(big.outcome, read_outcome::cutShort);
    EXPECT_EQ(big.stop, (chain_stop_t{chain_end::missing, DiskIDE64::blockOfSector(kBigFirstList + 1),
                                      DiskIDE64::blockOfSector(300)}));
    EXPECT_EQ(big.bytes, patternBytes(136 * kSector, 3));
    test_support::expectStreamedAsKept(*farPart, named(*farPart, "BIG"));

    // Cut inside the partition list: the slots it holds are listed, the rest named.
    const auto list = openHdd(cut(2 * kSector + 100));
    EXPECT_EQ(list->countDirectoryEntries(), 2u);
    std::array<std::uint8_t, 16> name;
    ASSERT_TRUE(list->getDiskName(name));
    EXPECT_EQ(name, cbmName("IDE64 DISK", false));
    EXPECT_EQ(list->directoryStop().end, chain_end::missing);
    EXPECT_EQ(list->damage().notes,
              (std::vector<std::string>{"slots 3-31 of the partition list past the end of the file are missing",
                                        "sectors 8-319 of partition 'part1' past the end of the file are missing",
                                        "sectors 4-5 of partition 'geospart' past the end of the file are missing"}));
}

// BIG's block lists or HELLO's size damaged: the read gives the bytes the lists hold, never
// made-up ones, and says where and why it stopped.
TEST(DiskIDE64, BlockListsThatEndBeforeTheSizeReadAsCutShort) {
    const std::uint64_t firstList = kBigFirstList * kSector;
    struct case_t {
        const char* what;
        std::function<void(bytes_t&)> patch;
        const char* entry;
        std::uint64_t bytes;
        std::optional<std::uint64_t> expected;
        chain_stop_t stop;
    };
    const case_t cases[] = {
        {"no link to the second list",
         [&](bytes_t& b) { spreadLink(b, firstList, 4, 0); },
         "BIG",
         128 * kSector,
         70000,
         {}},
        {"a list linked to itself",
         [&](bytes_t& b) { spreadLink(b, firstList, 4, kBigFirstList); },
         "BIG",
         128 * kSector,
         std::nullopt,
         {chain_end::turnsBack, DiskIDE64::blockOfSector(kBigFirstList), DiskIDE64::blockOfSector(kBigFirstList)}},
        {"ten records of 0",
         [&](bytes_t& b) { std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(firstList + 100 * 4), 40, 0); },
         "BIG",
         100 * kSector,
         70000,
         {}},
        {"a data sector outside the partition",
         [&](bytes_t& b) {
             test_support::put(b, firstList + 5, {0, 19, 136});
         },
         "BIG",
         kSector,
         std::nullopt,
         {chain_end::leaves, DiskIDE64::blockOfSector(kBigFirstList), DiskIDE64::blockOfSector(5000)}},
        {"HELLO's size 60000",
         [&](bytes_t& b) {
             test_support::put(b, kRootSecondBlock * kSector + 16, {0x60, 0xea, 0});
         },
         "HELLO",
         kSector,
         60000,
         {}},
    };
    for (const case_t& c : cases) {
        bytes_t bytes = test_support::readFixture("cmd/x.hdd");
        c.patch(bytes);
        const auto disk = openHdd(bytes);
        const std::shared_ptr<Disk> part = part1(*disk);
        const entry_read_t read = part->readEntry(named(*part, c.entry));
        EXPECT_EQ(read.outcome, read_outcome::cutShort) << c.what;
        EXPECT_EQ(read.expected, c.expected) << c.what;
        EXPECT_EQ(read.stop.end, c.stop.end) << c.what;
        if (!c.stop.whole()) {
            EXPECT_EQ(read.stop, c.stop) << c.what;
        }
        const bytes_t file = patternBytes(c.entry == std::string("BIG") ? 70000 : 300, c.entry[0] == 'B' ? 3 : 1);
        ASSERT_EQ(read.bytes.size(), c.bytes) << c.what;
        EXPECT_TRUE(std::equal(
            file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(file.size(), c.bytes)),
            read.bytes.begin()))
            << c.what;
    }
}

// x.hdd with PART1's root directory moved to `blocks` new blocks behind the old end, sixteen
// entries a block named by their number, which is also their size field; the fourth of each
// block is unused, its name kept.
bytes_t longCfsDirectory(std::uint64_t blocks) {
    bytes_t bytes = test_support::readFixture("cmd/x.hdd");
    const std::uint64_t first = bytes.size() / kSector;
    const std::uint64_t end = first + 2 * blocks;
    bytes.resize(end * kSector);
    const std::uint64_t list = 2 * kSector;  // PART1's list entry: its end and root sectors
    for (const auto& [at, sector] : {std::pair{list + 21, end}, std::pair{list + 29, first}}) {
        for (std::uint64_t i = 0; i < 3; ++i) bytes[at + i] = static_cast<std::uint8_t>(sector >> (16 - 8 * i));
    }
    for (std::uint64_t b = 0; b < blocks; ++b) {
        const std::uint64_t block = (first + 2 * b) * kSector;
        for (std::uint64_t k = 0; k < 16; ++k) {
            const std::uint64_t raw = block + k * 36;
            const std::string name = std::to_string(b * 16 + k);
            std::copy(name.begin(), name.end(), bytes.begin() + static_cast<std::ptrdiff_t>(raw));
            bytes[raw + 16] = static_cast<std::uint8_t>(b * 16 + k);
            bytes[raw + 17] = static_cast<std::uint8_t>((b * 16 + k) >> 8);
            bytes[raw + 24] = k == 3 ? 0x80 : 0;
            bytes[raw + 28] = k == 3 ? 0 : 0x29;
            std::copy_n("PRG", 3, bytes.begin() + static_cast<std::ptrdiff_t>(raw + 29));
        }
        if (b + 1 < blocks) spreadLink(bytes, block + 24, 36, first + 2 * (b + 1));
    }
    return bytes;
}

// Counts the reads of each directory block, 576 bytes at its offset.
class CountingProvider : public DataProvider {
public:
    using DataProvider::DataProvider;
    std::uint8_t* rangeAt(std::uint64_t offset, std::uint64_t length) override {
        if (length == 576) ++reads[offset];
        return DataProvider::rangeAt(offset, length);
    }
    std::map<std::uint64_t, std::uint64_t> reads;
};

// Walking the directory by index goes on from the entry found last; looked up from the last
// entry down, each lookup walks from the directory start, and both find the same entries.
TEST(DiskIDE64, CfsLookupsInOrderReadEachDirectoryBlockABoundedNumberOfTimes) {
    const bytes_t bytes = longCfsDirectory(64);
    for (const bool includeEmpty : {false, true}) {
        auto provider = std::make_unique<CountingProvider>(bytes);
        CountingProvider& counter = *provider;
        DiskIDE64 disk;
        ASSERT_TRUE(disk.openProvider("long.hdd", std::move(provider)));
        const std::shared_ptr<Disk> part = part1(disk);
        ASSERT_NE(part, nullptr);
        part->setIncludeEmpty(includeEmpty);
        const std::uint64_t count = part->countDirectoryEntries();
        ASSERT_EQ(count, includeEmpty ? 64u * 16 : 64u * 15);
        counter.reads.clear();
        std::vector<dir_entry_t> inOrder(count);
        for (std::uint64_t i = 0, name = 0; i < count; ++i, ++name) {
            if (!includeEmpty && name % 16 == 3) ++name;
            ASSERT_TRUE(part->getEntry(i, includeEmpty, inOrder[i])) << i;
            ASSERT_EQ(nameOf(inOrder[i]), cbmName(std::to_string(name), false)) << i;
            ASSERT_NE(part->entryAt(i), nullptr);                           // the same entry again
            ASSERT_EQ(part->fileSize(i), name % 16 == 3 ? 0u : name) << i;  // the unused have no file
        }
        dir_entry_t past;
        EXPECT_FALSE(part->getEntry(count, includeEmpty, past));
        // Each block is entered once, then read again by each lookup of one of its entries and
        // of its raw entry.
        ASSERT_EQ(counter.reads.size(), 64u);
        for (const auto& [offset, reads] : counter.reads) EXPECT_LE(reads, 4u * 16u + 1u) << offset / kSector;

        const auto fresh = openHdd(bytes);
        const std::shared_ptr<Disk> again = part1(*fresh);
        again->setIncludeEmpty(includeEmpty);
        for (std::uint64_t i = count; i-- > 0;) {
            dir_entry_t entry;
            ASSERT_TRUE(again->getEntry(i, includeEmpty, entry)) << i;
            ASSERT_EQ(entry.bytes, inOrder[i].bytes) << i;
        }
    }
}

// A lookup after entering or leaving a subdirectory, or after a change of the include-empty
// flag, walks the directory now current.
TEST(DiskIDE64, CfsLookupsFollowTheCurrentDirectory) {
    const auto disk = openHdd();
    const std::shared_ptr<Disk> part = part1(*disk);
    const dir_entry_t sub = entryAt(*part, 4);
    ASSERT_EQ(nameOf(sub), cbmName("SUB", false));
    track_sector_t first;
    ASSERT_TRUE(part->openDirectory(sub, first, false));
    EXPECT_EQ(nameOf(entryAt(*part, 0)), cbmName("INNER", false));
    dir_entry_t entry;
    EXPECT_FALSE(part->getEntry(1, false, entry));
    ASSERT_TRUE(part->closeDirectory(false));
    EXPECT_EQ(nameOf(entryAt(*part, 1)), cbmName("BIG", false));
    ASSERT_TRUE(part->getEntry(1, true, entry));  // the unused label counts too
    EXPECT_EQ(nameOf(entry), cbmName("HELLO", false));
    EXPECT_EQ(nameOf(entryAt(*part, 2)), cbmName("DATA", false));
}

// Neither the partition list nor a CFS directory is a chain of CBM links: the bytes that would
// be one ("PA" of PART1, block 80/65) lead out of the list.
TEST(DiskIDE64, DirectoriesTurnBackOnlyWhereTheirOwnLinksDo) {
    bytes_t bytes = test_support::readFixture("cmd/x.hdd");
    const std::uint64_t looping = 80 * 256 + 65;
    bytes.resize((looping + 1) * kSector);
    bytes[looping * kSector] = 80;
    bytes[looping * kSector + 1] = 65;
    const auto disk = openHdd(bytes);
    const platter::chain_stop_t asLinks = disk->chainStop(disk->directoryStart(), platter::walk_kind::directory);
    EXPECT_EQ(asLinks.end, chain_end::leaves);
    EXPECT_EQ(asLinks.to, makeBlock(80, 65));
    EXPECT_TRUE(disk->directoryStop().whole());
    EXPECT_TRUE(part1(*disk)->directoryStop().whole());
}

TEST(DiskIDE64, SizeFieldBeyondThePartitionGivesNoData) {
    bytes_t bytes = test_support::readFixture("cmd/x.hdd");
    bytes[kRootSecondBlock * kSector + 36 + 16 + 5] = 1;  // BIG's size: 2^40 more
    const auto disk = openHdd(bytes);
    const std::shared_ptr<Disk> part = part1(*disk);
    EXPECT_EQ(part->fileSize(1), 312u * kSector);
    bytes_t data;
    EXPECT_FALSE(readWhole(*part, named(*part, "BIG"), data));
    EXPECT_TRUE(data.empty());
}

TEST(DiskIDE64, PartitionBeyondThirtyTwoMegabytes) {
    test_support::ScratchDir scratch;
    const auto file = scratch.file("far.hdd");
    const std::string script = "import sys; sys.path.insert(0, '" + test_support::fixturePath("cmd").string() +
                               "'); import cmd_images; open('" + file.string() +
                               "', 'wb').write(cmd_images.ide64_image(70000))";
    ASSERT_EQ(test_support::runCommand("python3 -c \"" + script + "\"").second, 0);
    const auto disk = openHdd(test_support::readBytes(file));
    const std::shared_ptr<Disk> part = part1(*disk);
    ASSERT_NE(part, nullptr);
    ASSERT_EQ(part->countDirectoryEntries(), 5u);
    bytes_t data;
    ASSERT_TRUE(readWhole(*part, named(*part, "BIG"), data));
    EXPECT_EQ(data, patternBytes(70000, 3));
}

TEST(DiskIDE64, EveryWriteRefuses) {
    test_support::ScratchDir scratch;
    const auto file = scratch.write("x.hdd", test_support::readFixture("cmd/x.hdd"));
    const auto disk = openHdd(test_support::readBytes(file));
    const std::shared_ptr<Disk> part = part1(*disk);
    for (Disk* image : {static_cast<Disk*>(disk.get()), part.get()}) {
        EXPECT_FALSE(saved(image->saveAs(file)));
        EXPECT_FALSE(saved(image->saveAs(scratch.file("copy.d64"))));
        EXPECT_FALSE(saved(image->save()));
        EXPECT_FALSE(image->toggleBlock(makeBlock(18, 0)));
        track_sector_t block;
        EXPECT_EQ(image->allocateBlock(block, true), nullptr);
        EXPECT_FALSE(image->formatImage(0));
        EXPECT_FALSE(image->resize(1 << 20));
        EXPECT_FALSE(image->importFile(cbmName("X"), -1, bytes_t(10), 0, nullptr));
        EXPECT_FALSE(image->insertEntry(0, dir_entry_t{}));
    }
    EXPECT_FALSE(std::filesystem::exists(scratch.file("copy.d64")));
    EXPECT_EQ(test_support::readBytes(file), test_support::readFixture("cmd/x.hdd"));
}

// Dates unpack as the format describes them: year and day both from byte 34, month and hour
// only as flags.
TEST(DiskIDE64, CfsDateFieldsUnpackFromBytes32To35) {
    struct row_t {
        std::array<std::uint8_t, 4> stored;
        cfs_date_t date;
    };
    const row_t rows[] = {
        {{0xc5, 0x2a, 0x5f, 0x00}, {31, 1, 31, 1, 42, 5}},
        {{0x05, 0xea, 0x3f, 0x20}, {63, 0, 31, 1, 42, 5}},
        {{0x3f, 0x3b, 0x0c, 0x1f}, {12, 0, 12, 0, 59, 63}},
    };
    for (const row_t& row : rows) {
        bytes_t entry(36, 0);
        std::copy(row.stored.begin(), row.stored.end(), entry.begin() + 32);
        cfs_date_t date;
        ASSERT_TRUE(unpackCfsDate(entry, date));
        EXPECT_EQ(
            (std::array{date.year, date.month, date.day, date.hour, date.minute, date.spare}),
            (std::array{row.date.year, row.date.month, row.date.day, row.date.hour, row.date.minute, row.date.spare}))
            << int(row.stored[0]);
    }
    cfs_date_t untouched;
    EXPECT_FALSE(unpackCfsDate(bytes_t(35, 0xff), untouched));
}

TEST(DiskIDE64, PartitionOutlivingItsImageReadsNothing) {
    auto disk = openHdd();
    std::shared_ptr<Disk> part = part1(*disk);
    disk.reset();
    EXPECT_EQ(part->countDirectoryEntries(), 0u);
    bytes_t data;
    EXPECT_FALSE(readWhole(*part, dir_entry_t{}, data));
}

}  // namespace
}  // namespace platter

namespace platter {
namespace {

// A partition read from a file grown far past it, a few blocks of which are ever loaded, gives
// the bytes it gives from memory; the file's provider keeps none of them. Grown with the file,
// it streams a piece at a time.
TEST(DiskIDE64, APartitionOfALargeSparseFileReadsAsFromMemory) {
    test_support::ScratchDir scratch;
    const std::filesystem::path path = scratch.file("sparse.hdd");
    bytes_t bytes = test_support::readFixture("cmd/x.hdd");
    test_support::writeBytes(path, bytes);
    std::filesystem::resize_file(path, std::uintmax_t{96} << 20);
    const open_result_t opened = openContainerFile(path);
    ASSERT_TRUE(opened.disk);
    auto memory = openHdd();
    const entry_read_t fromFile = opened.disk->readEntry(entryAt(*opened.disk, 0));
    const entry_read_t fromMemory = memory->readEntry(entryAt(*memory, 0));
    EXPECT_TRUE(fromFile.whole());
    EXPECT_EQ(fromFile.bytes, fromMemory.bytes);
    const auto* provider = dynamic_cast<const FileDataProvider*>(opened.disk->dataProvider());
    ASSERT_NE(provider, nullptr);
    EXPECT_LT(provider->loadedBlockCount() * Disk::kBlockSize, fromFile.bytes.size());

    test_support::put(bytes, 2 * kSector + 21, {0, 0x20, 0});  // PART1 ends at 4 MiB
    test_support::writeBytes(path, bytes);
    std::filesystem::resize_file(path, std::uintmax_t{8} << 20);
    const open_result_t grown = openContainerFile(path);
    ASSERT_TRUE(grown.disk);
    EXPECT_EQ(test_support::expectStreamedAsKept(*grown.disk, entryAt(*grown.disk, 0)), 4u);
}

}  // namespace
}  // namespace platter
