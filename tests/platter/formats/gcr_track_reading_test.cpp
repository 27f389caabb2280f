// The pieces under the decoder: bit reader, byte-level track checks, track
// tables and the first scan of a dump.
#include <gtest/gtest.h>

#include <random>

#include "tests/platter/formats/gcr_test_encoder.hpp"
#include "platter/formats/gcr_bit_reader.hpp"
#include "platter/formats/gcr_blocks.hpp"
#include "platter/formats/gcr_track_checks.hpp"
#include "platter/formats/gcr_track_scan.hpp"
#include "platter/formats/gcr_track_syncs.hpp"
#include "platter/formats/gcr_track_table.hpp"

namespace platter {
namespace {

using testing::gcr_bytes_t;

using testing::patternD64;

TEST(GcrBitReader, ReadsMostSignificantBitFirstAndWrapsTheRing) {
    const gcr_bytes_t track = {0xA0, 0x0F};
    GcrBitReader reader(track);
    EXPECT_EQ(reader.readBit(), 1u);
    EXPECT_EQ(reader.readBit(), 0u);
    EXPECT_EQ(reader.readBit(), 1u);
    EXPECT_FALSE(reader.wrapped());
    reader.seek({1, 4});
    EXPECT_EQ(reader.readRawByte(), 0xFA);  // 1111 from byte 1, then 1010 from byte 0
    EXPECT_TRUE(reader.wrapped());
}

TEST(GcrBitReader, DecodesGcrBytesAndGivesFfForCodesTheDriveNeverWrites) {
    const gcr_bytes_t plain = {0x08, 0x5A, 0xF1, 0x00};
    const gcr_bytes_t gcr = testing::gcrEncode(plain);
    ASSERT_EQ(gcr.size(), 5u);
    EXPECT_EQ(gcr[0], 0x52);  // every header starts so
    GcrBitReader reader(gcr);
    for (const std::uint8_t byte : plain) EXPECT_EQ(reader.readGcrByte(), byte);

    const gcr_bytes_t invalid = {0x00, 0x00};
    GcrBitReader bad(invalid);
    EXPECT_EQ(bad.readGcrByte(), 0xFF);

    // Many bytes at once read what one at a time reads, from any bit, over the wrap too,
    // and leave the reader at the same place.
    std::mt19937 random(3);
    gcr_bytes_t ring(41);
    for (std::uint8_t& byte : ring) byte = static_cast<std::uint8_t>(random());
    for (std::size_t bit = 0; bit < 8 * ring.size(); ++bit) {
        const GcrBitReader::position_t start{bit / 8, static_cast<unsigned>(bit % 8)};
        GcrBitReader many(ring), single(ring);
        many.seek(start);
        single.seek(start);
        std::array<std::uint8_t, 13> bytes;
        many.readGcrBytes(bytes);
        for (const std::uint8_t byte : bytes) ASSERT_EQ(byte, single.readGcrByte()) << "from bit " << bit;
        ASSERT_EQ(many.position().byte, single.position().byte) << "from bit " << bit;
        ASSERT_EQ(many.position().bit, single.position().bit) << "from bit " << bit;
        ASSERT_EQ(many.wrapped(), single.wrapped()) << "from bit " << bit;
    }
}

// The sync search read bit by bit, as the drive does: ones counted from `bit` until a zero bit
// after ten or more, within the bit budget. Whether it found one, and the bit it then stands on.
std::pair<bool, std::size_t> readToSync(const gcr_bytes_t& track, std::size_t bit) {
    const std::size_t ring = track.size() * 8;
    if (ring == 0) return {false, 0};
    unsigned ones = 0;
    for (std::size_t read = 0; read < kGcrSyncBitBudget; ++read) {
        const std::size_t at = (bit + read) % ring;
        if ((track[at / 8] >> (7 - at % 8) & 1) != 0) {
            ++ones;
        } else if (ones >= kGcrSyncMinimumOnes) {
            return {true, at};
        } else {
            ones = 0;
        }
    }
    return {false, (bit + kGcrSyncBitBudget) % ring};
}

// From `bit`, the index answers what a sync search reading the bits finds: the same sync (or
// none), the reader left at the same bit, the same bytes after it.
void expectIndexAgreesWithReading(const gcr_bytes_t& track, const GcrTrackSyncs& syncs, std::size_t bit) {
    const auto [found, after] = readToSync(track, bit);
    const GcrTrackSyncs::sync_t* sync = syncs.next(bit);
    ASSERT_EQ(sync != nullptr, found) << "from bit " << bit;
    const std::size_t expected = sync ? sync->end : syncs.advance(bit, kGcrSyncBitBudget);
    ASSERT_EQ(after, expected) << "from bit " << bit;
    if (!sync) return;
    GcrBitReader reader(track);
    reader.seek({after / 8, static_cast<unsigned>(after % 8)});
    ASSERT_EQ(sync->rawByte, reader.peekRawByte()) << "from bit " << bit;
    std::array<std::uint8_t, 6> header;
    reader.readGcrBytes(header);
    ASSERT_EQ(sync->gcrBytes, header) << "from bit " << bit;
}

// From every `step`-th bit, and from each bit where the budget ends just before, at or just
// after a sync's zero bit.
void expectIndexAgreesWithReading(const gcr_bytes_t& track, std::size_t step = 1) {
    const GcrTrackSyncs syncs(track);
    const std::size_t ring = track.size() * 8;
    for (std::size_t bit = 0; bit < ring; bit += step) expectIndexAgreesWithReading(track, syncs, bit);
    const std::size_t reach = kGcrSyncBitBudget % std::max<std::size_t>(ring, 1);
    for (const GcrTrackSyncs::sync_t& sync : syncs.syncs()) {
        for (std::size_t late = 0; late < 3; ++late)
            expectIndexAgreesWithReading(track, syncs, (sync.end + 2 * ring - reach + late - 1) % ring);
    }
}

TEST(GcrTrackSyncs, FindsWhatReadingTheBitsFinds) {
    expectIndexAgreesWithReading(testing::encodeTrack(patternD64(), 1), 3);
    // Rings shorter than the bit budget, which a search goes round more than once: a sync over
    // the end, a lone sync of ten, nine ones alone, one zero bit among ones, ones only.
    for (const gcr_bytes_t& ring :
         {gcr_bytes_t{0xFC, 0x00, 0x00, 0x3F}, gcr_bytes_t{0x7F, 0xE0, 0x55}, gcr_bytes_t{0x7F, 0xC0, 0x00},
          gcr_bytes_t{0xFF, 0xFE, 0xFF}, gcr_bytes_t{0x00}, gcr_bytes_t{0xFF}, gcr_bytes_t{}})
        expectIndexAgreesWithReading(ring);
    // A gap longer than the budget on either side of the only sync, and random bytes.
    gcr_bytes_t sparse(1200, 0x55);
    sparse[700] = sparse[701] = 0xFF;
    expectIndexAgreesWithReading(sparse, 3);
    std::mt19937 random(5);
    gcr_bytes_t noise(400);
    for (std::uint8_t& byte : noise) byte = random() % 4 == 0 ? 0xFF : static_cast<std::uint8_t>(random());
    expectIndexAgreesWithReading(noise);
}

TEST(GcrTrackChecks, AllSyncTracks) {
    EXPECT_TRUE(isAllSync(gcr_bytes_t(100, 0xFF)));
    EXPECT_FALSE(isAllSync(gcr_bytes_t{0xFF, 0xFE}));
}

TEST(GcrTrackChecks, TrackPeriodOfARepeatedDump) {
    gcr_bytes_t revolution(6500);
    for (std::size_t i = 0; i < revolution.size(); ++i) revolution[i] = static_cast<std::uint8_t>(i * 31 + i / 7);
    const std::optional<track_period_t> period = findTrackPeriod(testing::nibDump(revolution, 0));
    ASSERT_TRUE(period);
    EXPECT_EQ(period->start, 0u);
    EXPECT_EQ(period->length, revolution.size());

    EXPECT_FALSE(findTrackPeriod(gcr_bytes_t{1, 2, 3, 4}));
    EXPECT_FALSE(findTrackPeriod(gcr_bytes_t{}));
}

TEST(GcrTrackTable, G64EntriesPastTheEndOfTheFileAreListedAsCut) {
    const gcr_bytes_t d64 = patternD64();
    gcr_bytes_t g64 = testing::makeG64({{0, testing::encodeTrack(d64, 1)},
                                        {1, gcr_bytes_t(50, 0x55)},
                                        {2, testing::encodeTrack(d64, 2)},
                                        {4, gcr_bytes_t(5, 0xFF)},
                                        {8, gcr_bytes_t{}}});
    std::vector<gcr_entry_t> entries = listG64Tracks(gcrFileOf(g64));
    ASSERT_EQ(entries.size(), 2u);  // not the half track, nor the tracks of 5 and 0 bytes
    EXPECT_EQ(entries[0].track, 1u);
    EXPECT_EQ(entries[0].offset, 12u + 8 * 84 + 2);
    EXPECT_EQ(entries[0].length, 7692u);
    EXPECT_FALSE(entries[0].cut);
    EXPECT_EQ(entries[1].track, 2u);
    EXPECT_FALSE(entries[1].cut);

    // Track 2's bytes cut short by the end of the file, the dumps of tracks 3 and 5 past it,
    // and track 4's offset (0 before: no track) pointing past it.
    g64.resize(12 + 8 * 84 + 2 + 7692 + 2 + 50 + 2 + 700);
    g64[12 + 4 * 6] = 0xFF;
    g64[12 + 4 * 6 + 3] = 0x7F;
    entries = listG64Tracks(gcrFileOf(g64));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_FALSE(entries[0].cut);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].track, i + 1);
        EXPECT_TRUE(entries[i].cut);
        EXPECT_EQ(entries[i].length, 0u);
    }

    // A table longer than the file: the offsets it does not hold are not known.
    const gcr_bytes_t header = {'G', 'C', 'R', '-', '1', '5', '4', '1', 0, 0xFF, 0, 0, 0x20, 0, 0, 0, 0};
    entries = listG64Tracks(gcrFileOf(header));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].cut);
    const gcr_bytes_t three = {'G', 'C', 'R'};
    EXPECT_TRUE(listG64Tracks(gcrFileOf(three)).empty());
}

TEST(GcrTrackTable, NibRecordsWithoutTheirWholeDumpAreListedAsCut) {
    const gcr_bytes_t dump(8192, 0x55);
    gcr_bytes_t nib = testing::makeNib({{2, dump}, {3, dump}, {4, dump}});
    std::vector<gcr_entry_t> entries = listNibTracks(gcrFileOf(nib));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].offset, 256u + 8192);
    EXPECT_EQ(entries[1].track, 1u);
    EXPECT_TRUE(entries[1].halfTrack);
    EXPECT_EQ(entries[2].track, 2u);
    EXPECT_FALSE(entries[2].halfTrack);
    EXPECT_FALSE(entries[2].cut);

    nib[16 + 2 * 3] = 6;         // a fourth record without its dump
    nib.resize(nib.size() - 1);  // and the third dump one byte short
    entries = listNibTracks(gcrFileOf(nib));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_FALSE(entries[1].cut);
    EXPECT_TRUE(entries[2].cut);
    EXPECT_EQ(entries[2].track, 2u);
    EXPECT_TRUE(entries[3].cut);
    EXPECT_EQ(entries[3].track, 3u);

    // Records run to byte 256 at most.
    gcr_bytes_t full(256 + 121 * 8192, 0x55);
    for (std::size_t i = 16; i < 256; ++i) full[i] = 2;
    EXPECT_EQ(listNibTracks(gcrFileOf(full)).size(), 120u);
}

TEST(GcrTrackScan, FindsTheFirstHeaderAndItsTrack) {
    const gcr_bytes_t d64 = patternD64();
    testing::track_layout_t layout;
    layout.leadIn = 300;
    const gcr_bytes_t track = testing::encodeTrack(d64, 12, layout);
    const gcr_scan_t scan = scanTrack(track);
    EXPECT_EQ(scan.code, kGcrGood);
    EXPECT_EQ(scan.headerTrack, 12u);
    EXPECT_EQ(scan.headerSector, 0u);
    EXPECT_EQ(scan.track.size(), track.size());

    EXPECT_EQ(scanTrack(gcr_bytes_t(7000, 0xFF)).code, kGcrNoSync);
    EXPECT_EQ(scanTrack(gcr_bytes_t(7000, 0x55)).code, kGcrNoSync);
    gcr_bytes_t noHeader = track;
    for (std::uint8_t& byte : noHeader)
        if (byte == 0x52) byte = 0x53;
    EXPECT_EQ(scanTrack(noHeader).code, kGcrHeaderNotFound);
}

TEST(GcrTrackScan, TheFirstBytesOfADumpSettleItsScanOrSayTheyCannot) {
    const gcr_bytes_t d64 = patternD64();
    const gcr_bytes_t track = testing::encodeTrack(d64, 12);
    const gcr_scan_t whole = scanTrack(track);
    std::size_t settled = 0;
    for (std::size_t known = 0; known <= 600; ++known) {
        const std::optional<gcr_scan_t> start = scanTrackStart(track, known);
        if (!start) continue;
        settled = settled == 0 ? known : settled;
        EXPECT_EQ(start->code, whole.code) << known;
        EXPECT_EQ(start->headerTrack, whole.headerTrack) << known;
        EXPECT_EQ(start->headerSector, whole.headerSector) << known;
        EXPECT_EQ(start->track.data(), whole.track.data()) << known;
        EXPECT_EQ(start->track.size(), whole.track.size()) << known;
    }
    EXPECT_GT(settled, 13u);
    EXPECT_LT(settled, 40u);

    // A dump that begins in a gap, one of syncs only, and a NIB dump need more.
    testing::track_layout_t layout;
    layout.leadIn = 300;
    EXPECT_FALSE(scanTrackStart(testing::encodeTrack(d64, 12, layout), 500));
    EXPECT_FALSE(scanTrackStart(gcr_bytes_t(7000, 0xFF), 500));
    EXPECT_FALSE(scanTrackStart(testing::nibDump(track, 0), 8000));
}

TEST(GcrTrackScan, CutsADumpOfTwoRevolutionsAtTheRepeatOfItsFirstHeader) {
    const gcr_bytes_t d64 = patternD64();
    testing::track_layout_t layout;
    layout.length = 6700;
    const gcr_bytes_t revolution = testing::encodeTrack(d64, 20, layout);
    for (const std::size_t rotation : {0u, 1u, 333u, 4000u, 6699u}) {
        const gcr_bytes_t dump = testing::nibDump(revolution, rotation);
        const gcr_scan_t scan = scanTrack(dump);
        EXPECT_EQ(scan.code, kGcrGood) << rotation;
        EXPECT_EQ(scan.headerTrack, 20u) << rotation;
        EXPECT_EQ(scan.track.size(), revolution.size()) << rotation;
    }
}

TEST(GcrTrackScan, AHeaderNearTheEndOfADumpIsNotItsOwnRepeat) {
    // The only header sits in the last 2057 bytes: matching the search window
    // against itself would cut the dump to nothing.
    const gcr_bytes_t d64 = patternD64();
    gcr_bytes_t dump(8192, 0x55);
    const gcr_bytes_t track = testing::encodeTrack(d64, 3);
    std::copy(track.begin(), track.begin() + 30, dump.end() - 1000);
    const gcr_scan_t scan = scanTrack(dump);
    EXPECT_EQ(scan.code, kGcrGood);
    EXPECT_EQ(scan.headerTrack, 3u);
    EXPECT_GE(scan.track.size(), 6000u);
}

}  // namespace
}  // namespace platter
