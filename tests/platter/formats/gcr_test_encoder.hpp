#pragma once
// Test side: writes raw 1541 tracks from sector data the way the drive formats
// them, with knobs for damage, and wraps them as G64 and NIB files. Kept
// apart from the decoder so the two do not share a misreading; only the GCR
// code table is common.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "platter/core/gcr_code.hpp"

namespace platter::testing {

using gcr_bytes_t = std::vector<std::uint8_t>;

inline constexpr std::size_t kSize35 = 174848;  // a 35-track D64 without error bytes

// A D64 of `size` bytes whose every byte tells where it stands.
inline gcr_bytes_t patternD64(std::size_t size = kSize35) {
    gcr_bytes_t out(size);
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>((i * 13 + i / 256) & 255);
    return out;
}

inline std::uint64_t gcrTestSectorsOn(std::uint64_t track) {
    return track <= 17 ? 21 : track <= 24 ? 19 : track <= 30 ? 18 : 17;
}

// Offset of a sector in a D64 image.
inline std::size_t gcrTestBlockOffset(std::uint64_t track, std::uint64_t sector) {
    std::size_t block = 0;
    for (std::uint64_t t = 1; t < track; ++t) block += gcrTestSectorsOn(t);
    return (block + sector) * 256;
}

// Every 4 bytes become 5: each nibble its 5-bit code, most significant first.
inline gcr_bytes_t gcrEncode(std::span<const std::uint8_t> plain) {
    gcr_bytes_t out;
    std::uint64_t bits = 0;
    unsigned count = 0;
    for (const std::uint8_t byte : plain) {
        bits = (bits << 10) | (std::uint64_t{g_gcr_encode_table[byte >> 4]} << 5) | g_gcr_encode_table[byte & 15];
        count += 10;
        while (count >= 8) {
            count -= 8;
            out.push_back(static_cast<std::uint8_t>(bits >> count));
        }
    }
    return out;
}

struct sector_damage_t {
    bool badHeaderChecksum = false;
    bool badDataChecksum = false;
    bool noHeaderSync = false;
    bool otherDiskId = false;  // the header carries the ID "XY"
    std::uint8_t dataMarker = 0x07;
};

struct track_layout_t {
    std::array<std::uint8_t, 2> id = {'4', '2'};
    std::size_t leadIn = 0;  // gap bytes before the first sync
    std::size_t length = 0;  // padded with gap bytes up to this; 0: one revolution of the track's zone
    std::map<std::uint64_t, sector_damage_t> damage;
};

// Bytes in one revolution at the speed of the track's zone.
inline std::size_t gcrTestRevolution(std::uint64_t track) {
    return track <= 17 ? 7692 : track <= 24 ? 7142 : track <= 30 ? 6666 : 6250;
}

// One track in the 1541's layout: per sector a sync, the header block, a gap,
// a sync, the data block and a gap.
inline gcr_bytes_t encodeTrack(std::span<const std::uint8_t> d64, std::uint64_t track,
                               const track_layout_t& layout = {}) {
    gcr_bytes_t out(layout.leadIn, 0x55);
    const auto append = [&out](std::size_t count, std::uint8_t byte) { out.insert(out.end(), count, byte); };
    const auto appendGcr = [&out](std::span<const std::uint8_t> plain) {
        const gcr_bytes_t gcr = gcrEncode(plain);
        out.insert(out.end(), gcr.begin(), gcr.end());
    };
    for (std::uint64_t sector = 0; sector < gcrTestSectorsOn(track); ++sector) {
        const auto found = layout.damage.find(sector);
        const sector_damage_t damage = found == layout.damage.end() ? sector_damage_t{} : found->second;
        const auto s = static_cast<std::uint8_t>(sector);
        const auto t = static_cast<std::uint8_t>(track);
        const std::array<std::uint8_t, 2> id = damage.otherDiskId ? std::array<std::uint8_t, 2>{'X', 'Y'} : layout.id;
        std::uint8_t headerSum = static_cast<std::uint8_t>(s ^ t ^ id[1] ^ id[0]);
        if (damage.badHeaderChecksum) headerSum ^= 0x40;
        const std::array<std::uint8_t, 8> header = {0x08, headerSum, s, t, id[1], id[0], 0x0F, 0x0F};
        append(5, damage.noHeaderSync ? 0x55 : 0xFF);
        appendGcr(header);
        append(9, 0x55);
        std::array<std::uint8_t, 260> data{};
        data[0] = damage.dataMarker;
        std::uint8_t dataSum = 0;
        for (std::size_t i = 0; i < 256; ++i) {
            data[1 + i] = d64[gcrTestBlockOffset(track, sector) + i];
            dataSum ^= data[1 + i];
        }
        data[257] = damage.badDataChecksum ? static_cast<std::uint8_t>(dataSum ^ 1) : dataSum;
        append(5, 0xFF);
        appendGcr(data);
        append(8, 0x55);
    }
    const std::size_t length = layout.length != 0 ? layout.length : gcrTestRevolution(track);
    if (out.size() < length) append(length - out.size(), 0x55);
    return out;
}

// A G64 file with `count` table entries; `tracks` maps an entry index (2k for
// track k + 1, 2k + 1 for its half track) to the entry's bytes.
inline gcr_bytes_t makeG64(const std::map<std::size_t, gcr_bytes_t>& tracks, std::size_t count = 84) {
    gcr_bytes_t out = {'G', 'C', 'R', '-', '1', '5', '4', '1', 0, static_cast<std::uint8_t>(count), 0x0C, 0x1E};
    out.resize(12 + 8 * count);
    const auto putLe = [&out](std::size_t at, std::uint64_t value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    for (const auto& [entry, bytes] : tracks) {
        putLe(12 + 4 * entry, out.size(), 4);
        const std::uint64_t track = entry / 2 + 1;
        putLe(12 + 4 * count + 4 * entry, track <= 17 ? 3 : track <= 24 ? 2 : track <= 30 ? 1 : 0, 4);
        out.resize(out.size() + 2);
        putLe(out.size() - 2, bytes.size(), 2);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

// G64 of the first `tracks` tracks of a D64 image, every track undamaged.
inline gcr_bytes_t makeG64FromD64(std::span<const std::uint8_t> d64, std::uint64_t tracks = 35) {
    std::map<std::size_t, gcr_bytes_t> entries;
    for (std::uint64_t track = 1; track <= tracks; ++track) entries[2 * (track - 1)] = encodeTrack(d64, track);
    return makeG64(entries);
}

// Where the G64 of makeG64FromD64 holds track `track`: the offset of its length word.
inline std::size_t g64TrackAt(std::uint64_t track) {
    std::size_t at = 12 + 8 * 84;
    for (std::uint64_t t = 1; t < track; ++t) at += 2 + gcrTestRevolution(t);
    return at;
}

// One NIB dump: the revolution turned by `rotation` bytes and repeated to 8192.
inline gcr_bytes_t nibDump(const gcr_bytes_t& revolution, std::size_t rotation) {
    gcr_bytes_t out(8192);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = revolution[(rotation + i) % revolution.size()];
    return out;
}

// A NIB file of (half-track number, dump) records.
inline gcr_bytes_t makeNib(const std::vector<std::pair<std::uint8_t, gcr_bytes_t>>& dumps) {
    gcr_bytes_t out = {'M', 'N', 'I', 'B', '-', '1', '5', '4', '1', '-', 'R', 'A', 'W', 3, 0, 0};
    out.resize(256);
    for (std::size_t i = 0; i < dumps.size(); ++i) out[16 + 2 * i] = dumps[i].first;
    for (const auto& dump : dumps) out.insert(out.end(), dump.second.begin(), dump.second.end());
    return out;
}

// A NIB of the full tracks of a G64, each dump turned by its own offset.
inline gcr_bytes_t nibFromG64(const gcr_bytes_t& g64) {
    const auto littleEndian = [&g64](std::size_t at, std::size_t width) {
        std::size_t value = 0;
        for (std::size_t i = width; i-- > 0;) value = value << 8 | g64[at + i];
        return value;
    };
    std::vector<std::pair<std::uint8_t, gcr_bytes_t>> dumps;
    for (std::size_t entry = 0; entry < g64[9]; entry += 2) {
        const std::size_t offset = littleEndian(12 + 4 * entry, 4);
        if (offset == 0) continue;
        const auto revolution = g64.begin() + static_cast<std::ptrdiff_t>(offset + 2);
        const gcr_bytes_t bytes(revolution, revolution + static_cast<std::ptrdiff_t>(littleEndian(offset, 2)));
        dumps.emplace_back(static_cast<std::uint8_t>(entry + 2), nibDump(bytes, entry * 977));
    }
    return makeNib(dumps);
}

// The ring of a track turned to start `bits` bits later, which changes nothing a drive reads.
inline gcr_bytes_t rotateBits(std::span<const std::uint8_t> track, std::size_t bits) {
    gcr_bytes_t out(track.size());
    const std::size_t ring = track.size() * 8;
    for (std::size_t i = 0; i < ring; ++i) {
        const std::size_t from = (i + bits) % ring;
        if ((track[from / 8] >> (7 - from % 8) & 1) != 0) out[i / 8] |= static_cast<std::uint8_t>(0x80 >> (i % 8));
    }
    return out;
}

// A G64 with the bit stream of every track and half track turned by `bits`.
inline gcr_bytes_t rotateG64Tracks(gcr_bytes_t g64, std::size_t bits) {
    const auto littleEndian = [&g64](std::size_t at, std::size_t width) {
        std::size_t value = 0;
        for (std::size_t i = width; i-- > 0;) value = value << 8 | g64[at + i];
        return value;
    };
    for (std::size_t entry = 0; entry < g64[9]; ++entry) {
        const std::size_t offset = littleEndian(12 + 4 * entry, 4);
        if (offset == 0) continue;
        const auto first = g64.begin() + static_cast<std::ptrdiff_t>(offset + 2);
        const auto length = static_cast<std::ptrdiff_t>(littleEndian(offset, 2));
        const gcr_bytes_t turned = rotateBits(std::span(first, first + length), bits);
        std::copy(turned.begin(), turned.end(), first);
    }
    return g64;
}

// A NIB with each 8192-byte dump turned by `bits`: its headers sit that many bits off.
inline gcr_bytes_t rotateNibDumps(gcr_bytes_t nib, std::size_t bits) {
    for (std::size_t i = 0; 16 + 2 * i < 256 && nib[16 + 2 * i] != 0; ++i) {
        const auto first = nib.begin() + static_cast<std::ptrdiff_t>(256 + 8192 * i);
        const gcr_bytes_t turned = rotateBits(std::span(first, first + 8192), bits);
        std::copy(turned.begin(), turned.end(), first);
    }
    return nib;
}

}  // namespace platter::testing
