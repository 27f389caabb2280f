#include "platter/archive/zip6.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platter/core/gcr_code.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/zip6_set.hpp"

namespace platter {
namespace {

using bytes = std::vector<std::uint8_t>;
using set_t = test_support::zip6_set_t;
using track_data_t = test_support::zip6_track_t;
using test_support::blocksAfterSyncs;

unsigned sectorsOf(unsigned track) { return test_support::zip6SectorsOf(track); }
bytes trackOf(const bytes& g64, unsigned track) { return test_support::g64Track(g64, track); }

constexpr std::size_t kFrame = 684;

// ---- Writing GCR, as a drive would ----

bytes gcrEncode(const bytes& plain) {
    bytes out;
    std::uint64_t bits = 0;
    int count = 0;
    for (const std::uint8_t byte : plain) {
        bits = bits << 10 | std::uint64_t{g_gcr_encode_table[byte >> 4]} << 5 | g_gcr_encode_table[byte & 15];
        count += 10;
        while (count >= 8) {
            count -= 8;
            out.push_back(static_cast<std::uint8_t>(bits >> count));
        }
    }
    return out;
}

bytes headerGcr(unsigned track, unsigned sector) {
    const std::uint8_t id1 = 'Z', id2 = 'T';
    return gcrEncode({0x08, static_cast<std::uint8_t>(sector ^ track ^ id1 ^ id2), static_cast<std::uint8_t>(sector),
                      static_cast<std::uint8_t>(track), id2, id1, 0x0F, 0x0F});
}

// The 326 bytes after a data block's sync: marker, 256 bytes, checksum, two
// zeros in GCR, then one gap byte.
bytes dataGcr(unsigned track, unsigned sector) {
    bytes plain = {0x07};
    std::uint8_t sum = 0;
    for (unsigned i = 0; i < 256; ++i) {
        plain.push_back(static_cast<std::uint8_t>(i * track + sector));
        sum ^= plain.back();
    }
    plain.insert(plain.end(), {sum, 0, 0});
    bytes out = gcrEncode(plain);
    out.push_back(0x55);
    return out;
}

// ---- Six-part sets ----

std::size_t trackBytes(unsigned track) { return track <= 17 ? 7692 : track <= 24 ? 7142 : track <= 30 ? 6666 : 6250; }

track_data_t synthetic(unsigned track) {
    track_data_t out;
    // Headers in reverse order: the set files them by their sector number.
    for (unsigned s = sectorsOf(track); s-- > 0;) out.headers.push_back(headerGcr(track, s));
    for (unsigned s = 0; s < sectorsOf(track); ++s) out.data.push_back(dataGcr(track, s));
    out.count = out.headers.size();
    return out;
}

set_t makeSet(unsigned tracks, const test_support::zip6_source_t& source = synthetic) {
    return test_support::makeZip6Set(tracks, source);
}

// ---- Reading the G64 back ----

std::uint32_t le(const bytes& data, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size; i-- > 0;) value = value << 8 | data[at + static_cast<std::size_t>(i)];
    return value;
}

bytes build(const set_t& parts) {
    bytes g64;
    const zip6_unpacked_t unpacked = zip6ToG64(parts, g64);
    EXPECT_EQ(unpacked.misfit, 0u);
    for (const zip6_part_tracks_t& tracks : unpacked.parts) EXPECT_FALSE(tracks.cutShort());
    return g64;
}

std::uint32_t trackOffset(const bytes& g64, unsigned track) { return le(g64, 12 + 8 * (track - 1), 4); }

TEST(Zip6, DecodesHeaderBytes) {
    const bytes header = headerGcr(18, 7);
    EXPECT_EQ(decodeGcrHeader(std::span<const std::uint8_t, 5>(header.data(), 5)),
              (std::array<std::uint8_t, 4>{0x08, 18 ^ 7 ^ 'Z' ^ 'T', 7, 18}));
    const std::array<std::uint8_t, 5> invalid = {0x00, 0x00, 0x52, 0x6F, 0x25};
    const auto decoded = decodeGcrHeader(invalid);
    EXPECT_EQ(decoded[0], 0xFF);
    EXPECT_EQ(decoded[1], 0xFF);
}

TEST(Zip6, EveryTrackFillsItsSlotAtTheTableOffset) {
    const bytes g64 = build(makeSet(35));
    ASSERT_EQ(g64.size(), 252758u);
    std::size_t offset = kFrame;
    for (unsigned track = 1; track <= 35; ++track) {
        ASSERT_EQ(le(g64, 12 + 8 * (track - 1), 4), offset) << "track " << track;
        EXPECT_EQ(le(g64, offset, 2), trackBytes(track));
        const bytes bytesOfTrack = trackOf(g64, track);
        EXPECT_EQ(bytesOfTrack.back(), 0xAA);
        const std::vector<bytes> blocks = blocksAfterSyncs(bytesOfTrack);
        ASSERT_EQ(blocks.size(), 2 * sectorsOf(track));
        for (unsigned s = 0; s < sectorsOf(track); ++s) {
            EXPECT_EQ(blocks[2 * s], headerGcr(track, s));
            EXPECT_EQ(blocks[2 * s + 1], dataGcr(track, s));
        }
        offset += 2 + trackBytes(track);
    }
}

TEST(Zip6, FortyAndFortyTwoTrackSets) {
    const bytes forty = build(makeSet(40));
    EXPECT_EQ(forty.size(), 252758u + 5 * 6252);
    EXPECT_EQ(blocksAfterSyncs(trackOf(forty, 40))[33], dataGcr(40, 16));
    EXPECT_EQ(le(forty, 12 + 8 * 40, 4), 0u);

    // A count byte past 43 still gives the table's 42 tracks.
    set_t parts = makeSet(42);
    for (bytes& part : parts) part[2] = 200;
    EXPECT_EQ(build(parts).size(), 252758u + 7 * 6252);
}

TEST(Zip6, DamagedHeaderAreas) {
    const set_t parts = makeSet(35, [](unsigned track) {
        track_data_t data = synthetic(track);
        if (track == 2) {
            // A count of 26 with four more repeated headers; a header of
            // sector 30 for sector 20's; sector 5's header for sector 6's.
            data.headers[0] = headerGcr(2, 30);
            data.headers[20 - 6] = headerGcr(2, 5);
            data.headers.insert(data.headers.end(), 4, headerGcr(2, 0));
            data.count = 26;
        }
        if (track == 3) {
            // 20 headers and data blocks: sector 0's header and sector 13's data are missing.
            data.headers.pop_back();
            data.count = 20;
        }
        return data;
    });
    const bytes g64 = build(parts);
    ASSERT_EQ(g64.size(), 252758u);

    // 25 blocks are read for the count of 26; sectors 6 and 20 go without header.
    const std::vector<bytes> two = blocksAfterSyncs(trackOf(g64, 2));
    ASSERT_EQ(two.size(), 2u * 21 - 2);
    EXPECT_EQ(two[10], headerGcr(2, 5));
    EXPECT_EQ(two[11], dataGcr(2, 5));
    EXPECT_EQ(two[12], dataGcr(2, 6));
    EXPECT_EQ(two[13], headerGcr(2, 7));
    EXPECT_EQ(two.back(), dataGcr(2, 20));

    const std::vector<bytes> three = blocksAfterSyncs(trackOf(g64, 3));
    ASSERT_EQ(three.size(), 2u * 21 - 2);
    EXPECT_EQ(three[0], dataGcr(3, 0));
    EXPECT_EQ(three[1], headerGcr(3, 1));
    EXPECT_EQ(three[2 * 13 - 1], headerGcr(3, 13));
    EXPECT_EQ(three[2 * 13], headerGcr(3, 14));
    EXPECT_EQ(blocksAfterSyncs(trackOf(g64, 4)).front(), headerGcr(4, 0));
}

TEST(Zip6, PartsThatDoNotFitTheSet) {
    const set_t good = makeSet(35);
    const auto misfit = [](const set_t& parts) {
        bytes g64;
        const std::size_t part = zip6ToG64(parts, g64).misfit;
        EXPECT_TRUE(g64.empty());
        return part;
    };
    set_t parts = good;
    parts[3][2] = ')';  // a track count other than part 1's
    EXPECT_EQ(misfit(parts), 4u);
    parts = good;
    parts[4][0] = 0x00;
    EXPECT_EQ(misfit(parts), 5u);
    parts = good;
    parts[0].clear();
    parts[1][2] = ')';  // the track count is the first present part's
    EXPECT_EQ(misfit(parts), 3u);
    EXPECT_EQ(misfit(set_t{}), 1u);
}

// A part that is missing or ends inside a track leaves its tracks out of the table; the other
// tracks stand where the table says.
TEST(Zip6, MissingAndCutPartsLeaveTheirTracksOut) {
    const set_t good = makeSet(35);
    set_t parts = good;
    parts[1].clear();
    parts[5].resize(parts[5].size() - 1);
    parts[2].resize(3 + 256 + 100);  // inside track 13's first data block
    bytes g64;
    const zip6_unpacked_t unpacked = zip6ToG64(parts, g64);
    EXPECT_EQ(unpacked.misfit, 0u);
    EXPECT_EQ(unpacked.parts[1].announced, 0u);
    EXPECT_EQ(unpacked.parts[2].announced, 6u);
    EXPECT_EQ(unpacked.parts[2].written, 0u);
    EXPECT_EQ(unpacked.parts[5].announced, 3u);
    EXPECT_EQ(unpacked.parts[5].written, 2u);
    EXPECT_FALSE(unpacked.parts[0].cutShort());
    for (unsigned track = 1; track <= 35; ++track) {
        const bool leftOut = (track >= 7 && track <= 18) || track == 35;
        EXPECT_EQ(trackOffset(g64, track) == 0, leftOut) << "track " << track;
        if (leftOut) continue;
        const std::vector<bytes> blocks = blocksAfterSyncs(trackOf(g64, track));
        ASSERT_EQ(blocks.size(), 2 * sectorsOf(track)) << "track " << track;
        EXPECT_EQ(blocks.back(), dataGcr(track, sectorsOf(track) - 1));
    }
    EXPECT_EQ(g64.size(), trackOffset(g64, 34) + 2 + 6250);
}

TEST(Zip6, RandomAndTruncatedPartsNeverReadPastTheirEnd) {
    std::mt19937 random(11);
    const set_t good = makeSet(40);
    for (int round = 0; round < 200; ++round) {
        set_t parts = good;
        for (bytes& part : parts) {
            part.resize(random() % (part.size() + 1000));
            for (std::size_t i = 3; i < part.size(); i += 1 + random() % 3000)
                part[i] = static_cast<std::uint8_t>(random());
        }
        parts[0].resize(std::max<std::size_t>(parts[0].size(), 8));
        bytes g64;
        const std::size_t bad = zip6ToG64(parts, g64).misfit;
        EXPECT_LE(bad, 6u);
        EXPECT_LE(g64.size(), 252758u + 7 * 6252);
    }
}

// cc1541 writes G64 images itself: a set made from its tracks gives back the
// very headers and data blocks it wrote.
TEST(Zip6, SetsMadeFromACc1541G64GiveItsSectorsBack) {
    if (!test_support::haveProgram("/usr/bin/cc1541")) GTEST_SKIP() << "cc1541 missing";
    test_support::ScratchDir dir;
    dir.write("f", bytes(40000, 'z'));
    ASSERT_EQ(
        test_support::runCommand("cd " + dir.path().string() + " && cc1541 -n ZIP6 -i zt -w f -g t.g64 t.d64").second,
        0);
    const bytes original = test_support::readBytes(dir.file("t.g64"));

    const bytes g64 = build(test_support::zip6SetOfG64(original, 35));
    for (unsigned track = 1; track <= 35; ++track) {
        const std::vector<bytes> ours = blocksAfterSyncs(trackOf(g64, track));
        const std::vector<bytes> theirs = blocksAfterSyncs(trackOf(original, track));
        ASSERT_EQ(ours.size(), 2 * sectorsOf(track));
        EXPECT_EQ(ours, std::vector<bytes>(theirs.begin(), theirs.begin() + 2 * sectorsOf(track))) << track;
    }
}

}  // namespace
}  // namespace platter
