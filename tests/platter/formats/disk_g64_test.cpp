#include "platter/formats/disk_g64.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platter/core/data_provider.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/formats/disk_nbz.hpp"
#include "platter/formats/disk_nib.hpp"
#include "platter/formats/gcr_decoder.hpp"
#include "platter/formats/unpack_nbz.hpp"
#include "tests/platter/formats/gcr_test_encoder.hpp"
#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;
using test_support::readWhole;

namespace platter {
namespace {

using test_support::bytes_t;

using testing::kSize35;

// The image's bytes, error bytes included, as far as `available` lets each pointer reach.
bytes_t contentOf(Disk& disk) {
    DataProvider* provider = disk.dataProvider();
    bytes_t content;
    for (std::uint64_t at = 0; at < provider->size();) {
        const std::uint8_t* start = provider->dataAt(at, track_sector_t{});
        const std::uint64_t reach = provider->available(at);
        if (!start || reach == 0) break;
        content.insert(content.end(), start, start + reach);
        at += reach;
    }
    return content;
}

template <typename Image>
std::unique_ptr<Disk> openAs(const std::string& name, bytes_t bytes) {
    auto disk = std::make_unique<Image>();
    EXPECT_TRUE(disk->openBytes(name, std::move(bytes)));
    return disk;
}

TEST(DiskG64, EveryRawKindOpensAsTheD64ItsTracksHold) {
    const bytes_t d64 = test_support::readFixture("d64/base.d64");
    const bytes_t g64 = test_support::readFixture("g64/base.g64");
    const std::unique_ptr<Disk> images[] = {
        openAs<DiskG64>("base.g64", g64),
        openAs<DiskNIB>("base.nib", testing::nibFromG64(g64)),
        openAs<DiskNBZ>("base.nbz", test_support::readFixture("g64/base.nbz")),
    };
    for (const std::unique_ptr<Disk>& disk : images) {
        EXPECT_EQ(contentOf(*disk), d64) << disk->imagePath();
        EXPECT_EQ(disk->formatId(), format_id::d64);
        EXPECT_EQ(disk->trackCount(), 35u);
        EXPECT_EQ(disk->lastError(), kErrNone);
        EXPECT_FALSE(disk->isModified());
        EXPECT_FALSE(disk->hasErrorBytes());
        EXPECT_EQ(disk->blocksFree(), 652u);
    }
}

TEST(DiskG64, FortyTwoTracksStayFortyTwo) {
    bytes_t d42(Disk41::kSize42);
    for (std::size_t i = 0; i < d42.size(); ++i) d42[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    const std::unique_ptr<Disk> disk = openAs<DiskG64>("wide.g64", testing::makeG64FromD64(d42, 42));
    EXPECT_EQ(disk->trackCount(), 42u);
    EXPECT_FALSE(disk->damage().sizeUnknown);
    EXPECT_EQ(contentOf(*disk), d42);
}

bytes_t cutTo(const bytes_t& file, std::size_t size) {
    return bytes_t(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
}

// The blocks of a track the file ends before are missing, as past the end of a cut D64: the
// image is never saved, and its directory and files read only from the tracks it holds.
TEST(DiskG64, TracksPastTheEndOfTheFileAreMissing) {
    const test_support::ScratchDir scratch;
    const bytes_t g64 = test_support::readFixture("g64/base.g64");
    const struct {
        std::size_t size;
        std::uint64_t firstMissing;
        const char* note;
    } cuts[] = {{150000, 20, "tracks 20-35 past the end of the file are missing"},  // track 19 ends at 146208
                {265000, 35, "track 35 past the end of the file is missing"}};      // track 35 at 268420
    for (const auto& cut : cuts) {
        const std::unique_ptr<Disk> disk = openAs<DiskG64>("cut.g64", cutTo(g64, cut.size));
        EXPECT_EQ(disk->damageNotes(), std::vector<std::string>{cut.note}) << cut.size;
        EXPECT_TRUE(disk->damage().missesBlocks);
        EXPECT_TRUE(disk->blockBytes(makeBlock(cut.firstMissing, 0)).empty());
        EXPECT_EQ(disk->errorCode(makeBlock(35, 16)), 3);
        // Every file of the fixture lies on track 1.
        dir_entry_t entry;
        for (std::uint64_t i = 0; disk->getEntry(i, false, entry); ++i) {
            bytes_t data;
            if (entry.blockCount() != 0) {
                EXPECT_TRUE(readWhole(*disk, entry, data)) << i;
            }
        }
        EXPECT_EQ(disk->blocksFree(), 652u);
        EXPECT_FALSE(saved(disk->saveAs(scratch.file("cut.d64"))));
        EXPECT_EQ(disk->lastError(), kErrImageWrite);
        EXPECT_FALSE(std::filesystem::exists(scratch.file("cut.d64")));
    }
}

// A track the table places past the end of the file, or whose length runs past it, is missing
// though the file holds the tracks after it; the others read as they are.
TEST(DiskG64, ATrackPlacedPastTheEndOfTheFileIsMissing) {
    const bytes_t g64 = test_support::readFixture("g64/base.g64");
    const std::size_t slot34 = 12 + 4 * 66;
    const std::size_t offset34 = std::size_t{g64[slot34]} | std::size_t{g64[slot34 + 1]} << 8 |
                                 std::size_t{g64[slot34 + 2]} << 16;
    for (const bool byLength : {false, true}) {
        bytes_t bytes = g64;
        if (byLength) {
            bytes[offset34] = 0xFF;
            bytes[offset34 + 1] = 0xFF;
        } else {
            std::fill_n(bytes.begin() + slot34, 4, 0x7F);
        }
        const std::unique_ptr<Disk> disk = openAs<DiskG64>("past.g64", bytes);
        EXPECT_EQ(disk->damageNotes(), std::vector<std::string>{"track 34 past the end of the file is missing"})
            << byLength;
        EXPECT_TRUE(disk->damage().missesBlocks);
        EXPECT_FALSE(disk->damage().maySave());
        EXPECT_TRUE(disk->blockBytes(makeBlock(34, 0)).empty());
        EXPECT_FALSE(disk->blockBytes(makeBlock(35, 0)).empty());
        EXPECT_TRUE(disk->damage().directory.whole());
    }
}

// Without its directory track, without one header there that can be read, or without a
// single track, a raw file holds no disk: its listing would be made of the format pattern.
TEST(DiskG64, AFileWithoutAReadableDirectoryTrackDoesNotOpen) {
    const bytes_t g64 = test_support::readFixture("g64/base.g64");
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{11}, std::size_t{300}, std::size_t{572}, g64.size() / 2, std::size_t{138000}}) {
        DiskG64 disk;
        EXPECT_FALSE(disk.openBytes("cut.g64", cutTo(g64, size))) << size;
    }
    bytes_t untracked = cutTo(g64, 572);
    std::fill(untracked.begin() + 12, untracked.begin() + 12 + 4 * 70, 0);
    DiskG64 empty;
    EXPECT_FALSE(empty.openBytes("untracked.g64", untracked));

    bytes_t withoutTrack18 = g64;
    std::fill_n(withoutTrack18.begin() + 12 + 4 * 34, 4, 0);
    DiskG64 unrecorded;
    EXPECT_FALSE(unrecorded.openBytes("unrecorded.g64", withoutTrack18));
    DiskG64 noSync;
    EXPECT_FALSE(noSync.openBytes("no_sync_18.g64", test_support::readFixture("g64/no_sync_18.g64")));
    for (const char* name : {"g64/zeros_18.nbz", "g64/garbled_18.nbz"}) {
        DiskNBZ disk;
        EXPECT_FALSE(disk.openBytes(name, test_support::readFixture(name))) << name;
    }

    // Offset 0 is the format's mark for a track not recorded: such a track is no missing one.
    bytes_t withoutTrack5 = g64;
    std::fill_n(withoutTrack5.begin() + 12 + 4 * 8, 4, 0);
    const std::unique_ptr<Disk> silent = openAs<DiskG64>("silent.g64", withoutTrack5);
    EXPECT_TRUE(silent->damageNotes().empty());
    EXPECT_FALSE(silent->damage().missesBlocks);
    EXPECT_EQ(silent->errorCode(makeBlock(5, 0)), 3);
    EXPECT_FALSE(silent->isBlockReadable(makeBlock(5, 0)));
}

TEST(DiskNIB, NibAndNbzFilesCutShortMissTheirLastTracks) {
    const bytes_t nib = test_support::readFixture("g64/base.nib");
    const std::unique_ptr<Disk> cutNib = openAs<DiskNIB>("cut.nib", cutTo(nib, 256 + 20 * 8192 + 100));
    EXPECT_EQ(cutNib->damageNotes(), std::vector<std::string>{"tracks 21-35 past the end of the file are missing"});
    EXPECT_TRUE(cutNib->damage().missesBlocks);
    DiskNIB noDirectory;
    EXPECT_FALSE(noDirectory.openBytes("cut.nib", cutTo(nib, 256 + 17 * 8192)));

    // Cut anywhere, even inside a back reference, an NBZ unpacks to a NIB cut short.
    const bytes_t nbz = test_support::readFixture("g64/base.nbz");
    for (const std::size_t size : {std::size_t{6000}, std::size_t{8000}}) {
        const std::unique_ptr<Disk> cutNbz = openAs<DiskNBZ>("cut.nbz", cutTo(nbz, size));
        ASSERT_EQ(cutNbz->damageNotes().size(), 1u) << size;
        EXPECT_TRUE(cutNbz->damageNotes()[0].ends_with("-35 past the end of the file are missing")) << size;
        EXPECT_TRUE(cutNbz->damage().missesBlocks);
    }
    DiskNBZ escapeOnly;
    EXPECT_FALSE(escapeOnly.openBytes("empty.nbz", bytes_t{0xFE}));  // an empty NIB: no track at all
}

TEST(DiskNBZ, AFileThatDoesNotUnpackDoesNotOpen) {
    DiskNBZ disk;
    EXPECT_FALSE(disk.openBytes("broken.nbz", test_support::readFixture("g64/broken.nbz")));
}

TEST(DiskG64, SectorsThatCouldNotBeReadCarryTheDrivesErrorCodes) {
    // make_nib.py --damage: track 1 all sync, no header byte on track 5, one flipped
    // data byte in track 7 sector 3.
    const std::unique_ptr<Disk> disk = openAs<DiskNBZ>("damaged.nbz", test_support::readFixture("g64/damaged.nbz"));
    ASSERT_TRUE(disk->hasErrorBytes());
    EXPECT_EQ(disk->providerSize(), kSize35 + 683);
    for (std::uint64_t sector = 0; sector < 21; ++sector) {
        EXPECT_EQ(disk->errorCode(makeBlock(1, sector)), 3) << sector;
        EXPECT_EQ(disk->errorCode(makeBlock(5, sector)), 2) << sector;
        EXPECT_EQ(disk->errorCode(makeBlock(7, sector)), sector == 3 ? 5 : 1) << sector;
    }
    EXPECT_EQ(disk->errorCode(makeBlock(18, 0)), 1);
    const std::uint8_t* filler = disk->sectorPointer(1, 0);
    EXPECT_EQ(filler[0], 0x4B);
    EXPECT_EQ(filler[255], 0x01);
    EXPECT_FALSE(disk->isModified());
}

// Tracks are decoded as their blocks are read and the error codes once asked for: a block
// changed before then keeps its change, and growing the image first keeps the codes too.
TEST(DiskG64, ChangesBeforeTheErrorCodesAreReadStay) {
    const bytes_t nbz = test_support::readFixture("g64/damaged.nbz");
    const std::unique_ptr<Disk> edited = openAs<DiskNBZ>("damaged.nbz", nbz);
    std::uint8_t* block = edited->sectorPointer(7, 3);
    ASSERT_NE(block, nullptr);
    block[100] ^= 0xFF;
    const std::uint8_t changed = block[100];
    ASSERT_TRUE(edited->hasErrorBytes());
    EXPECT_EQ(edited->sectorPointer(7, 3)[100], changed);
    EXPECT_EQ(edited->errorCode(makeBlock(7, 3)), 5);

    const std::unique_ptr<Disk> grown = openAs<DiskNBZ>("damaged.nbz", nbz);
    ASSERT_TRUE(grown->extendDisk(true));
    ASSERT_TRUE(grown->hasErrorBytes());
    EXPECT_EQ(grown->errorBytes().size(), Disk41::kBlocks40);
    EXPECT_EQ(grown->errorCode(makeBlock(5, 0)), 2);
    EXPECT_EQ(grown->errorCode(makeBlock(36, 0)), 1);
}

// A sector that could not be decoded is no data to any read: a file through it fails, the
// directory code is told so, and a D64 of the image still keeps its bytes and error code.
TEST(DiskG64, SectorsThatCouldNotBeDecodedAreNoData) {
    const test_support::ScratchDir scratch;
    const std::unique_ptr<Disk> garbled =
        openAs<DiskNBZ>("garbled_18_4.nbz", test_support::readFixture("g64/garbled_18_4.nbz"));
    EXPECT_TRUE(garbled->isBlockReadable(makeBlock(18, 1)));
    EXPECT_FALSE(garbled->isBlockReadable(makeBlock(18, 4)));
    EXPECT_FALSE(garbled->blockBytes(makeBlock(18, 4)).empty());
    EXPECT_EQ(garbled->errorCode(makeBlock(18, 4)), 2);
    EXPECT_EQ(garbled->errorCode(makeBlock(18, 5)), 1);

    // HELLO's only block, 1/0, has a bad data checksum.
    const bytes_t nbz = test_support::readFixture("g64/checksum_1_0.nbz");
    const std::unique_ptr<Disk> disk = openAs<DiskNBZ>("checksum_1_0.nbz", nbz);
    EXPECT_FALSE(disk->isBlockReadable(makeBlock(1, 0)));
    dir_entry_t hello;
    ASSERT_TRUE(disk->getEntry(0, false, hello));
    bytes_t data;
    EXPECT_FALSE(readWhole(*disk, hello, data));
    EXPECT_EQ(disk->lastError(), kErrUnreadableBlock);
    dir_entry_t notes;
    ASSERT_TRUE(disk->getEntry(1, false, notes));
    EXPECT_TRUE(readWhole(*disk, notes, data));

    ASSERT_TRUE(saved(disk->saveAs(scratch.file("checksum.d64"))));
    GcrDecoder decoder;
    const bytes_t nib = unpackNbz(nbz).value();
    decoder.setFastFirst(true);
    decoder.loadNib(nib);
    const bytes_t decoded = decoder.takeImage();
    EXPECT_EQ(test_support::readBytes(scratch.file("checksum.d64")), decoded);
    EXPECT_EQ(decoded[kSize35], 5);  // the error byte of 1/0

    // Grown, the image's new blocks are data; its undecodable ones stay none.
    ASSERT_TRUE(disk->extendDisk(true));
    EXPECT_TRUE(disk->isBlockReadable(makeBlock(36, 0)));
    EXPECT_FALSE(disk->isBlockReadable(makeBlock(1, 0)));
    EXPECT_TRUE(disk->isBlockReadable(makeBlock(1, 1)));
}

TEST(DiskG64, SavesAsAD64AndNeverOverTheRawFile) {
    const test_support::ScratchDir scratch;
    const std::filesystem::path raw = scratch.copyFixture("g64/base.g64", "disk.g64");
    const bytes_t before = test_support::readBytes(raw);
    const std::unique_ptr<Disk> disk = openAs<DiskG64>(raw.string(), before);
    ASSERT_TRUE(disk->setErrorBytes(true, 1));
    ASSERT_TRUE(disk->setErrorCode(makeBlock(18, 1), 5));

    EXPECT_FALSE(saved(disk->save()));
    EXPECT_EQ(disk->lastError(), kErrImageWrite);
    EXPECT_FALSE(saved(disk->saveAs(scratch.file("disk.nib"))));
    EXPECT_EQ(test_support::readBytes(raw), before);
    EXPECT_FALSE(std::filesystem::exists(scratch.file("disk.nib")));
    // A listing of the image is no image.
    EXPECT_TRUE(saved(disk->saveAs(scratch.file("disk.txt"))));

    ASSERT_TRUE(saved(disk->saveAs(scratch.file("disk.D64"))));
    const bytes_t saved = test_support::readBytes(scratch.file("disk.D64"));
    ASSERT_EQ(saved.size(), kSize35 + 683);
    EXPECT_EQ(bytes_t(saved.begin(), saved.begin() + kSize35), test_support::readFixture("d64/base.d64"));
    EXPECT_EQ(saved[kSize35 + 358], 5);  // 18/1
}

}  // namespace
}  // namespace platter
