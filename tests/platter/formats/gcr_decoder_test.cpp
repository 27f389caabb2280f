#include "platter/formats/gcr_decoder.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "forge/crc32.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/formats/unpack_nbz.hpp"
#include "tests/platter/formats/gcr_test_decode.hpp"
#include "tests/support/files.hpp"

namespace platter {
namespace {

using testing::gcr_bytes_t;

using testing::kSize35;
using testing::patternD64;
using testing::kBlocks35;
using testing::decode;
using testing::g64WithTrack;

gcr_bytes_t decodeG64(const gcr_bytes_t& g64) { return decode(g64, false); }
gcr_bytes_t decodeNib(const gcr_bytes_t& nib) { return decode(nib, true); }

std::size_t blockOf(std::uint64_t track, std::uint64_t sector) {
    return testing::gcrTestBlockOffset(track, sector) / 256;
}

gcr_bytes_t sectorOf(const gcr_bytes_t& d64, std::uint64_t track, std::uint64_t sector) {
    const auto at = d64.begin() + static_cast<std::ptrdiff_t>(testing::gcrTestBlockOffset(track, sector));
    return gcr_bytes_t(at, at + 256);
}

TEST(GcrDecoder, Cc1541G64DecodesToTheD64ItWasMadeFrom) {
    const gcr_bytes_t g64 = test_support::readFixture("g64/base.g64");
    ASSERT_EQ(g64[9], 70);  // cc1541 lists 35 tracks and their half tracks
    EXPECT_EQ(decodeG64(g64), test_support::readFixture("d64/base.d64"));
}

TEST(GcrDecoder, NibAndStrictDecodingGiveTheSameImage) {
    const gcr_bytes_t d64 = test_support::readFixture("d64/base.d64");
    const gcr_bytes_t g64 = test_support::readFixture("g64/base.g64");
    EXPECT_EQ(decodeNib(testing::nibFromG64(g64)), d64);

    EXPECT_EQ(decode(g64, false, false), d64);
}

// The G64 of `d64` with sectors 2, 4, 6 and 8 of track 1 damaged: a bad data checksum, a
// wrong data marker, a bad header checksum, no sync before the header.
gcr_bytes_t g64WithDamagedSectors(const gcr_bytes_t& d64) {
    testing::track_layout_t layout;
    layout.damage[2].badDataChecksum = true;
    layout.damage[4].dataMarker = 0x06;
    layout.damage[6].badHeaderChecksum = true;
    layout.damage[8].noHeaderSync = true;
    return g64WithTrack(d64, 1, testing::encodeTrack(d64, 1, layout));
}

TEST(GcrDecoder, SectorDamageGivesTheDrivesErrorCodes) {
    const gcr_bytes_t d64 = patternD64();
    const gcr_bytes_t image = decodeG64(g64WithDamagedSectors(d64));
    ASSERT_EQ(image.size(), kSize35 + kBlocks35);
    const auto code = [&](std::uint64_t sector) { return image[kSize35 + blockOf(1, sector)]; };
    EXPECT_EQ(code(0), 1);
    EXPECT_EQ(code(2), kGcrDataChecksum);
    EXPECT_EQ(code(4), kGcrDataNotPresent);
    EXPECT_EQ(code(6), kGcrHeaderChecksum);
    EXPECT_EQ(code(8), kGcrHeaderNotFound);
    // Their neighbours read as usual.
    for (const std::uint64_t sector : {1u, 3u, 5u, 7u, 9u, 20u}) EXPECT_EQ(code(sector), 1) << sector;
    EXPECT_EQ(std::count(image.begin() + kSize35, image.end(), 1), static_cast<std::ptrdiff_t>(kBlocks35 - 4));
    // A bad checksum keeps the bytes read; sectors never found hold the filler.
    EXPECT_EQ(sectorOf(image, 1, 2), sectorOf(d64, 1, 2));
    EXPECT_EQ(sectorOf(image, 1, 1), sectorOf(d64, 1, 1));
    EXPECT_EQ(sectorOf(image, 1, 6), testing::formatPatternBlock());
    EXPECT_EQ(sectorOf(image, 1, 8), testing::formatPatternBlock());
}

// Whatever the code, a sector that gave one holds no data: neither the filler of a sector
// never found nor the bytes a bad checksum left.
TEST(GcrDecoder, OnlySectorsReadWholeAreReadable) {
    const gcr_bytes_t g64 = g64WithDamagedSectors(patternD64());
    GcrDecoder decoder;
    decoder.setFastFirst(true);
    decoder.loadG64(g64);
    const auto readable = [&](std::uint64_t track, std::uint64_t sector) {
        return decoder.isReadableAt(testing::gcrTestBlockOffset(track, sector));
    };
    for (std::uint64_t sector = 0; sector < 21; ++sector)
        EXPECT_EQ(readable(1, sector), sector > 8 || sector % 2 == 1 || sector == 0) << sector;
    EXPECT_TRUE(readable(35, 16));
    EXPECT_FALSE(decoder.isReadableAt(kSize35));  // past the blocks: the error table
    // A block may be asked for before or after the image is finished.
    EXPECT_EQ(decoder.finishImage(), kSize35 + kBlocks35);
    EXPECT_FALSE(readable(1, 2));
    EXPECT_TRUE(readable(1, 3));

    const gcr_bytes_t cut(g64.begin(), g64.begin() + 150000);  // tracks 20-35 missing
    GcrDecoder missing;
    missing.loadG64(cut);
    EXPECT_FALSE(missing.isReadableAt(testing::gcrTestBlockOffset(20, 0)));
    EXPECT_TRUE(missing.isReadableAt(testing::gcrTestBlockOffset(19, 0)));
}

// The directory track must hold a header of its own that reads; its data blocks need not.
TEST(GcrDecoder, ADiskNeedsAReadableHeaderOnItsDirectoryTrack) {
    const gcr_bytes_t d64 = patternD64();
    testing::track_layout_t badData;
    for (std::uint64_t sector = 0; sector < 19; ++sector) badData.damage[sector].badDataChecksum = true;
    testing::track_layout_t badHeaders;
    for (std::uint64_t sector = 0; sector < 19; ++sector) badHeaders.damage[sector].badHeaderChecksum = true;
    const struct {
        const char* what;
        gcr_bytes_t track18;
        bool holdsDisk;
    } cases[] = {
        {"whole", testing::encodeTrack(d64, 18), true},
        {"bad data blocks", testing::encodeTrack(d64, 18, badData), true},
        {"bad header checksums", testing::encodeTrack(d64, 18, badHeaders), false},
        {"no sync", gcr_bytes_t(7142, 0x55), false},
        {"all sync", gcr_bytes_t(7142, 0xFF), false},
        {"zeros", gcr_bytes_t(7142, 0x00), false},
        {"track 5 again", testing::encodeTrack(d64, 5), false},
    };
    for (const auto& c : cases) {
        GcrDecoder decoder;
        decoder.setFastFirst(true);
        const gcr_bytes_t g64 = g64WithTrack(d64, 18, c.track18);
        decoder.loadG64(g64);
        EXPECT_EQ(decoder.holdsDisk(), c.holdsDisk) << c.what;
    }
}

TEST(GcrDecoder, ABadFirstHeaderDoesNotCostTheTrack) {
    const gcr_bytes_t d64 = patternD64();
    testing::track_layout_t layout;
    layout.damage[0].badHeaderChecksum = true;
    const gcr_bytes_t image = decodeG64(g64WithTrack(d64, 18, testing::encodeTrack(d64, 18, layout)));
    ASSERT_EQ(image.size(), kSize35 + kBlocks35);
    EXPECT_EQ(+image[kSize35 + blockOf(18, 0)], +kGcrHeaderChecksum);
    for (std::uint64_t sector = 1; sector < 19; ++sector) {
        EXPECT_EQ(image[kSize35 + blockOf(18, sector)], 1) << sector;
        EXPECT_EQ(sectorOf(image, 18, sector), sectorOf(d64, 18, sector)) << sector;
    }
}

TEST(GcrDecoder, TrackDamageGivesEverySectorOfTheTrackOneCode) {
    const gcr_bytes_t d64 = patternD64();
    gcr_bytes_t noHeaderByte = testing::encodeTrack(d64, 5);
    for (std::uint8_t& byte : noHeaderByte)
        if (byte == 0x52) byte = 0x53;
    testing::track_layout_t longLeadIn;
    longLeadIn.leadIn = 1200;  // more than one sync search reads
    const struct {
        std::uint64_t track;
        gcr_bytes_t bytes;
        std::uint8_t code;
    } cases[] = {
        {18, gcr_bytes_t(7692, 0xFF), kGcrNoSync},
        {18, gcr_bytes_t(7692, 0x55), kGcrNoSync},
        {5, noHeaderByte, kGcrHeaderNotFound},
    };
    for (const auto& c : cases) {
        const gcr_bytes_t image = decodeG64(g64WithTrack(d64, c.track, c.bytes));
        ASSERT_EQ(image.size(), kSize35 + kBlocks35) << c.track;
        for (std::uint64_t sector = 0; sector < testing::gcrTestSectorsOn(c.track); ++sector) {
            EXPECT_EQ(image[kSize35 + blockOf(c.track, sector)], c.code) << c.track << "/" << sector;
            EXPECT_EQ(sectorOf(image, c.track, sector), testing::formatPatternBlock());
        }
        EXPECT_EQ(sectorOf(image, c.track + 1, 0), sectorOf(d64, c.track + 1, 0));
    }
    EXPECT_EQ(decodeG64(g64WithTrack(d64, 9, testing::encodeTrack(d64, 9, longLeadIn))), d64);
}

TEST(GcrDecoder, TrackCountFollowsTheHighestTrackDecoded) {
    const gcr_bytes_t d40 = patternD64(196608);
    EXPECT_EQ(decodeG64(testing::makeG64FromD64(d40, 40)), d40);

    // A lone sector on track 36 makes a 40-track image; the rest of 36-40 fails.
    std::map<std::size_t, gcr_bytes_t> entries;
    for (std::uint64_t t = 1; t <= 35; ++t) entries[2 * (t - 1)] = testing::encodeTrack(d40, t);
    entries[70] = testing::encodeTrack(d40, 36);
    const gcr_bytes_t image = decodeG64(testing::makeG64(entries));
    ASSERT_EQ(image.size(), 196608u + 768);
    EXPECT_EQ(sectorOf(image, 36, 16), sectorOf(d40, 36, 16));
    EXPECT_EQ(image[196608 + blockOf(36, 0)], 1);
    EXPECT_EQ(image[196608 + blockOf(37, 0)], kGcrNoSync);

    // 42 tracks with gaps still give one block and one error byte per sector.
    gcr_bytes_t d42 = patternD64(205312);
    entries.clear();
    for (std::uint64_t t = 1; t <= 41; ++t) entries[2 * (t - 1)] = testing::encodeTrack(d42, t);
    const gcr_bytes_t wide = decodeG64(testing::makeG64(entries));
    ASSERT_EQ(wide.size(), 205312u + 802);
    EXPECT_EQ(sectorOf(wide, 41, 3), sectorOf(d42, 41, 3));
    EXPECT_EQ(sectorOf(wide, 42, 3), testing::formatPatternBlock());
    EXPECT_EQ(wide[205312 + blockOf(42, 16)], kGcrNoSync);
    EXPECT_EQ(wide[205312 + blockOf(41, 16)], 1);
}

TEST(GcrDecoder, TracksAreFiledByTheirHeaders) {
    const gcr_bytes_t d64 = patternD64();
    // Only half tracks: nothing is read.
    std::map<std::size_t, gcr_bytes_t> halves;
    for (std::uint64_t t = 1; t <= 35; ++t) halves[2 * t - 1] = testing::encodeTrack(d64, t);
    const gcr_bytes_t none = decodeG64(testing::makeG64(halves));
    ASSERT_EQ(none.size(), kSize35 + kBlocks35);
    EXPECT_EQ(std::count(none.begin() + kSize35, none.end(), kGcrNoSync), static_cast<std::ptrdiff_t>(kBlocks35));
    EXPECT_EQ(sectorOf(none, 17, 3), testing::formatPatternBlock());

    // Tracks 3 and 4 under each other's table entries still land on their own.
    std::map<std::size_t, gcr_bytes_t> swapped;
    for (std::uint64_t t = 1; t <= 35; ++t) swapped[2 * (t - 1)] = testing::encodeTrack(d64, t);
    std::swap(swapped[4], swapped[6]);
    EXPECT_EQ(decodeG64(testing::makeG64(swapped)), d64);
}

TEST(GcrDecoder, NibHalfTrackDumpsDoNotPushTracksOffTheirPlaces) {
    const gcr_bytes_t d64 = patternD64();
    std::vector<std::pair<std::uint8_t, gcr_bytes_t>> dumps;
    for (std::uint64_t t = 1; t <= 35; ++t) {
        const gcr_bytes_t revolution = testing::encodeTrack(d64, t);
        dumps.emplace_back(static_cast<std::uint8_t>(2 * t), testing::nibDump(revolution, 100 * t));
        // Between two tracks the head picks up the next one.
        const gcr_bytes_t next = testing::encodeTrack(d64, t < 35 ? t + 1 : t);
        dumps.emplace_back(static_cast<std::uint8_t>(2 * t + 1), testing::nibDump(next, 50 * t));
    }
    EXPECT_EQ(decodeNib(testing::makeNib(dumps)), d64);
}

TEST(GcrDecoder, LoadPicksTheReaderByIdentificationType) {
    const gcr_bytes_t d64 = test_support::readFixture("d64/base.d64");
    const gcr_bytes_t g64 = test_support::readFixture("g64/base.g64");
    const gcr_bytes_t nib = testing::nibFromG64(g64);
    namespace type_id = fileid::type_id;
    const auto decodeAs = [](const gcr_bytes_t& file, std::uint32_t typeId, bool expectLoaded) {
        GcrDecoder decoder;
        decoder.setFastFirst(true);
        EXPECT_EQ(decoder.load(file, typeId), expectLoaded) << typeId;
        decoder.decodeAllTracks();
        return decoder.takeImage();
    };
    EXPECT_EQ(decodeAs(g64, type_id::g64, true), d64);
    for (const std::uint32_t nibType : {type_id::nib, type_id::nib_v1, type_id::nib_v3})
        EXPECT_EQ(decodeAs(nib, nibType, true), d64) << nibType;
    // NBZ must be unpacked first; nothing is read.
    const gcr_bytes_t none = decodeAs(nib, type_id::nbz, false);
    ASSERT_EQ(none.size(), kSize35 + kBlocks35);
    EXPECT_EQ(sectorOf(none, 18, 0), testing::formatPatternBlock());
}

TEST(GcrDecoder, ZeroFillMissingBlanksOnlyTracksWithoutASyncMark) {
    const gcr_bytes_t d64 = patternD64();
    std::map<std::size_t, gcr_bytes_t> entries;
    for (std::uint64_t t = 1; t <= 35; ++t) entries[2 * (t - 1)] = testing::encodeTrack(d64, t);
    entries[2 * 6] = gcr_bytes_t(7692, 0x55);  // track 7: never formatted
    entries[2 * 7] = gcr_bytes_t(7692, 0xFF);  // track 8: all sync
    entries.erase(2 * 8);                      // track 9: not in the file
    const gcr_bytes_t g64 = testing::makeG64(entries);
    for (const bool zeroFill : {false, true}) {
        GcrDecoder decoder;
        decoder.setFastFirst(true);
        decoder.setZeroFillMissing(zeroFill);
        decoder.loadG64(g64);
        decoder.decodeAllTracks();
        const gcr_bytes_t image = decoder.takeImage();
        ASSERT_EQ(image.size(), kSize35 + kBlocks35);
        EXPECT_EQ(sectorOf(image, 7, 20), zeroFill ? gcr_bytes_t(256, 0) : testing::formatPatternBlock()) << zeroFill;
        EXPECT_EQ(sectorOf(image, 8, 0), testing::formatPatternBlock()) << zeroFill;
        EXPECT_EQ(sectorOf(image, 9, 0), testing::formatPatternBlock()) << zeroFill;
        EXPECT_EQ(sectorOf(image, 6, 20), sectorOf(d64, 6, 20)) << zeroFill;
        EXPECT_EQ(image[kSize35 + blockOf(7, 0)], kGcrNoSync);
    }
}

TEST(GcrDecoder, StrictHeaderErrorsStopAtTheFirstBadHeaderOfASector) {
    const gcr_bytes_t d64 = patternD64();
    testing::track_layout_t layout;
    layout.damage[5].badHeaderChecksum = true;
    // A good copy of sector 5 follows its bad header.
    const gcr_bytes_t track = testing::twoTurnsOf(d64, 2, layout);
    const gcr_bytes_t g64 = g64WithTrack(d64, 2, track);
    for (const bool strict : {false, true}) {
        GcrDecoder decoder;
        decoder.setFastFirst(true);
        decoder.setStrictHeaderErrors(strict);
        decoder.loadG64(g64);
        decoder.decodeAllTracks();
        const gcr_bytes_t image = decoder.takeImage();
        if (!strict) {
            EXPECT_EQ(image, d64);
            continue;
        }
        ASSERT_EQ(image.size(), kSize35 + kBlocks35);
        EXPECT_EQ(+image[kSize35 + blockOf(2, 5)], +kGcrHeaderChecksum);
        EXPECT_EQ(sectorOf(image, 2, 5), testing::formatPatternBlock());
        EXPECT_EQ(std::count(image.begin() + kSize35, image.end(), 1), static_cast<std::ptrdiff_t>(kBlocks35 - 1));
    }
}

TEST(GcrDecoder, ErrorTextsCarryTheDosErrorNumberOfTheirCode) {
    for (const gcr_error_text_t& row : g_gcr_error_texts) {
        if (row.code == kGcrNoCode) continue;
        const int dosError = row.code == kGcrGood ? 0 : row.code + 18;
        EXPECT_EQ(std::stoi(std::string(row.text.substr(0, 2))), dosError) << row.text;
    }
}

TEST(GcrDecoder, EmptyAndHostileInputsGiveFillerNotFaults) {
    for (const gcr_bytes_t& input : {gcr_bytes_t{}, gcr_bytes_t{'G', 'C', 'R'}, gcr_bytes_t(300, 0xFF)}) {
        const gcr_bytes_t image = decodeG64(input);
        // 255 entries whose offsets lie past the end: track 36 among them widens the image.
        const std::size_t blocks = input.size() == 300 ? 768 : kBlocks35;
        ASSERT_EQ(image.size(), blocks * 257);
        EXPECT_EQ(sectorOf(image, 1, 0), testing::formatPatternBlock());
        EXPECT_EQ(image.back(), kGcrNoSync);
        EXPECT_EQ(decodeNib(input).size(), kSize35 + kBlocks35);
    }
    // Random track bytes: every sector gets some code, and the run ends.
    std::mt19937 random(17);
    std::map<std::size_t, gcr_bytes_t> noise;
    for (std::size_t entry = 0; entry < 84; entry += 2) {
        gcr_bytes_t track(7692);
        for (std::uint8_t& byte : track) byte = static_cast<std::uint8_t>(random());
        noise[entry] = track;
    }
    EXPECT_GE(decodeG64(testing::makeG64(noise)).size(), kSize35 + kBlocks35);
    std::vector<std::pair<std::uint8_t, gcr_bytes_t>> dumps;
    for (const auto& [entry, track] : noise)
        dumps.emplace_back(static_cast<std::uint8_t>(entry + 2), testing::nibDump(track, 0));
    EXPECT_GE(decodeNib(testing::makeNib(dumps)).size(), kSize35 + kBlocks35);
}

TEST(GcrDecoder, TracksTheFileEndsBeforeAreMissing) {
    // Tracks 1-19 whole (track 19 ends at 146208), track 20 cut inside its bytes.
    const gcr_bytes_t g64 = test_support::readFixture("g64/base.g64");
    const gcr_bytes_t cut(g64.begin(), g64.begin() + 150000);
    GcrDecoder decoder;
    decoder.setFastFirst(true);
    decoder.loadG64(cut);
    ASSERT_EQ(decoder.missingTracks().size(), 16u);
    EXPECT_EQ(decoder.missingTracks().front(), 20u);
    EXPECT_TRUE(decoder.holdsDisk());
    const std::uint64_t track20 = testing::gcrTestBlockOffset(20, 0);
    EXPECT_EQ(decoder.imageAt(track20), nullptr);
    EXPECT_EQ(decoder.decodedBytesAt(track20 + 5), 0u);
    EXPECT_EQ(decoder.decodedBytesAt(track20 - 256), 256u);
    EXPECT_EQ(decoder.imageSize(), kSize35);
    // Once finished, one pointer reaches up to the first missing track, and from past the
    // last one over the error table, where their sectors carry the code of a track without sync.
    EXPECT_EQ(decoder.finishImage(), kSize35 + kBlocks35);
    EXPECT_EQ(decoder.decodedBytesAt(0), track20);
    EXPECT_EQ(decoder.decodedBytesAt(kSize35), kBlocks35);
    EXPECT_EQ(decoder.imageAt(kSize35)[blockOf(20, 0)], kGcrNoSync);
    EXPECT_EQ(decoder.imageAt(kSize35)[blockOf(35, 16)], kGcrNoSync);
    EXPECT_EQ(decoder.imageAt(kSize35)[blockOf(19, 18)], 1);
}

TEST(GcrDecoder, AMissingTrackPastTrack35WidensTheImage) {
    const gcr_bytes_t d40 = patternD64(196608);
    const gcr_bytes_t g64 = testing::makeG64FromD64(d40, 40);
    const gcr_bytes_t cut(g64.begin(), g64.begin() + static_cast<std::ptrdiff_t>(testing::g64TrackAt(30) + 100));
    GcrDecoder decoder;
    decoder.loadG64(cut);
    EXPECT_EQ(decoder.missingTracks().front(), 30u);
    EXPECT_EQ(decoder.missingTracks().back(), 40u);
    EXPECT_EQ(decoder.imageSize(), 196608u);
    EXPECT_EQ(decoder.imageAt(testing::gcrTestBlockOffset(38, 1)), nullptr);
    const std::uint8_t* block = decoder.imageAt(testing::gcrTestBlockOffset(29, 1));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(gcr_bytes_t(block, block + 256), sectorOf(d40, 29, 1));
}

// A dump the file was cut before leaves its track missing only when no other dump holds it.
TEST(GcrDecoder, ACutEntryWhoseTrackAnotherDumpHoldsIsNotMissing) {
    const gcr_bytes_t d64 = patternD64();
    std::map<std::size_t, gcr_bytes_t> entries;
    for (std::uint64_t t = 1; t <= 35; ++t) entries[2 * (t - 1)] = testing::encodeTrack(d64, t);
    entries[2 * 1] = testing::encodeTrack(d64, 3);  // track 2's entry holds track 3
    gcr_bytes_t g64 = testing::makeG64(entries);
    std::fill_n(g64.begin() + 12 + 4 * 4, 4, 0xEE);  // track 3's entry points past the end
    GcrDecoder decoder;
    decoder.loadG64(g64);
    EXPECT_TRUE(decoder.missingTracks().empty());
    const std::uint8_t* block = decoder.imageAt(testing::gcrTestBlockOffset(3, 7));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(gcr_bytes_t(block, block + 256), sectorOf(d64, 3, 7));
}

// The CRC-32 of the image and error table in each way of decoding: fast-first, strict, and
// fast-first with strict header errors.
using decode_digests_t = std::array<std::uint32_t, 3>;

decode_digests_t decodeDigests(const gcr_bytes_t& file, bool nib) {
    decode_digests_t digests{};
    for (std::size_t mode = 0; mode < digests.size(); ++mode) {
        GcrDecoder decoder;
        decoder.setFastFirst(mode != 1);
        decoder.setStrictHeaderErrors(mode == 2);
        if (nib)
            decoder.loadNib(file);
        else
            decoder.loadG64(file);
        digests[mode] = forge::crc32(0, decoder.takeImage());
    }
    return digests;
}

// Random bytes, syncs, header and gap bytes written over the tracks, and runs of them copied
// elsewhere, so that headers repeat and gaps grow and shrink.
gcr_bytes_t scrambled(gcr_bytes_t file, std::size_t firstTrackByte, unsigned seed) {
    std::mt19937 random(seed);
    const auto anywhere = [&] { return firstTrackByte + random() % (file.size() - firstTrackByte); };
    for (int i = 0; i < 400; ++i) {
        const std::uint8_t values[] = {static_cast<std::uint8_t>(random()), 0xFF, 0x52, 0x55};
        const std::uint8_t value = values[random() % 4];
        file[anywhere()] = value;
    }
    for (int i = 0; i < 12; ++i) {
        const std::size_t from = anywhere();
        const std::size_t to = anywhere();
        for (std::size_t k = 0; k < 700 && std::max(from, to) + k < file.size(); ++k) file[to + k] = file[from + k];
    }
    return file;
}

// Digests taken while every sector search read the track bit by bit: looking the syncs up
// in one index of the track must give the same images, error codes and all. Strict decoding
// of a disk whose track 18 gives no ID, and the sectors of few_syncs.nbz whose own header
// carries another ID than the one taken for their track, read 29.
TEST(GcrDecoder, FixturesAndScrambledCopiesDecodeToTheirKnownImages) {
    const struct {
        const char* name;
        decode_digests_t digests;
    } fixtures[] = {
        {"g64/base.g64", {0x9E22114D, 0x9E22114D, 0x9E22114D}},
        {"g64/cut.g64", {0x17FD8D87, 0x17FD8D87, 0x17FD8D87}},
        {"g64/no_sync_18.g64", {0x3C601ED3, 0xCEF249B, 0x3C601ED3}},
        {"g64/base.nib", {0x9E22114D, 0x9E22114D, 0x9E22114D}},
        {"g64/base.nbz", {0x9E22114D, 0x9E22114D, 0x9E22114D}},
        {"g64/damaged.nbz", {0x6E4FC8C0, 0x6E4FC8C0, 0x6E4FC8C0}},
        {"g64/zeros_18.nbz", {0x3C601ED3, 0xCEF249B, 0x3C601ED3}},
        {"g64/garbled_18.nbz", {0x27DFE6B0, 0x1750DCF8, 0x27DFE6B0}},
        {"g64/garbled_18_4.nbz", {0x81C1B2FA, 0x81C1B2FA, 0x81C1B2FA}},
        {"g64/checksum_1_0.nbz", {0xBB5E7766, 0xBB5E7766, 0xBB5E7766}},
        {"g64/few_syncs.nbz", {0x6F13EBF9, 0xC245A101, 0x6F13EBF9}},
    };
    for (const auto& fixture : fixtures) {
        const std::string name = fixture.name;
        gcr_bytes_t file = test_support::readFixture(name);
        if (name.ends_with(".nbz")) file = unpackNbz(file).value();
        EXPECT_EQ(decodeDigests(file, !name.ends_with(".g64")), fixture.digests) << name;
    }
    const struct {
        const char* name;
        bool nib;
        std::size_t firstTrackByte;  // past the header and track table
        std::array<decode_digests_t, 4> digests;
    } scrambles[] = {
        {"g64/base.g64",
         false,
         684,
         {{{0x6BEE72CA, 0x6BEE72CA, 0x6BEE72CA},
           {0x28A5DEC1, 0x28A5DEC1, 0x28A5DEC1},
           {0x0E0B0812, 0x0E0B0812, 0x0E0B0812},
           {0xFCFE1775, 0xFCFE1775, 0xFCFE1775}}}},
        {"g64/base.nib",
         true,
         256,
         {{{0xE2F16D45, 0xE2F16D45, 0xE2F16D45},
           {0x579AE363, 0x579AE363, 0x579AE363},
           {0xD189286C, 0xD189286C, 0xD189286C},
           {0x1101FC49, 0x1101FC49, 0x1101FC49}}}},
    };
    for (const auto& scramble : scrambles) {
        const gcr_bytes_t file = test_support::readFixture(scramble.name);
        for (unsigned seed = 0; seed < scramble.digests.size(); ++seed) {
            EXPECT_EQ(decodeDigests(scrambled(file, scramble.firstTrackByte, seed + 1), scramble.nib),
                      scramble.digests[seed])
                << scramble.name << " scrambled with seed " << seed + 1;
        }
    }
}

}  // namespace
}  // namespace platter
