#include "platter/archive/zip6.hpp"

#include <algorithm>
#include <string_view>

#include "platter/core/gcr_code.hpp"

namespace platter {

namespace {

constexpr std::uint8_t kLoadLow = 0xFF;
constexpr std::uint8_t kLoadHigh = 0x03;
constexpr std::size_t kPartStart = 2;           // the track-count byte, after the load address
constexpr std::uint64_t kLastTrack = 42;        // the G64 table's tracks
constexpr std::size_t kOffsetTable = 12;        // after the signature, version, half-track count and size
constexpr std::size_t kSpeedTable = kOffsetTable + 8 * kLastTrack;
constexpr std::size_t kG64Capacity = 296522;    // all 42 tracks
constexpr std::uint64_t kPartFirstTrack[] = {1, 7, 13, 19, 26, 33, kLastTrack + 1};

constexpr std::size_t kHeaderArea = 256;
constexpr std::size_t kHeaderBytes = 10;
constexpr std::size_t kMaxHeaders = 25;  // ten-byte headers before the count byte
constexpr std::size_t kDataBytes = 326;
constexpr std::size_t kDataRotation = 70;  // the part stores the block's last 70 bytes first
constexpr std::size_t kNoPosition = 0xFF;

// The 1541 speed zone of a track as the six-part set and its G64 lay it out.
struct zip6_zone_t {
    std::size_t sectors;
    std::uint16_t trackBytes;  // the track's length in the G64
    std::uint8_t speed;        // the G64's speed-zone number
    std::size_t backStep;      // the interleave's step back
};

zip6_zone_t zoneOfTrack(std::uint64_t track) {
    if (track <= 17) return {21, 7692, 3, 13};
    if (track <= 24) return {19, 7142, 2, 11};
    if (track <= 30) return {18, 6666, 1, 10};
    return {17, 6250, 0, 9};
}

// The tracks that carry data: one fewer than the count byte says, at most the table's 42.
std::uint64_t dataTracks(std::uint8_t countByte) {
    return std::min<std::uint64_t>(countByte == 0 ? 0 : countByte - 1u, kLastTrack);
}

void putLe32(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (unsigned shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void setLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t value) {
    for (unsigned shift = 0; shift < 32; shift += 8) out[at++] = static_cast<std::uint8_t>(value >> shift);
}

// The G64 header: signature, 84 half tracks, the longest track, then per half track its
// offset and its speed zone, all 0 until a track is written (half tracks stay 0).
void appendG64Frame(std::vector<std::uint8_t>& g64) {
    static constexpr std::string_view kSignature = "GCR-1541";
    g64.insert(g64.end(), kSignature.begin(), kSignature.end());
    g64.insert(g64.end(), {0, 2 * kLastTrack, 0x0C, 0x1E});
    for (std::uint64_t entry = 0; entry < 4 * kLastTrack; ++entry) putLe32(g64, 0);
}

// The interleave of the data blocks: forward by 8, else back by the zone's
// step, else to sector 1.
std::size_t nextDataSector(std::size_t sector, const zip6_zone_t& zone) {
    if (sector + 8 < zone.sectors) return sector + 8;
    return sector > zone.backStep ? sector - zone.backStep : 1;
}

// Where one track's headers and data blocks stand in its part.
struct zip6_track_t {
    std::array<std::size_t, 21> header;  // header index per sector, or kNoPosition
    std::array<std::size_t, 21> data;    // data block index per sector, or kNoPosition
};

zip6_track_t locateSectors(std::span<const std::uint8_t> area, std::size_t blocks, const zip6_zone_t& zone) {
    zip6_track_t where;
    where.header.fill(kNoPosition);
    where.data.fill(kNoPosition);
    // A header naming a sector the track does not have, or one already
    // filed, is dropped.
    for (std::size_t i = 0; i < blocks; ++i) {
        const std::size_t sector = decodeGcrHeader(area.subspan(i * kHeaderBytes).first<5>())[2];
        if (sector < zone.sectors && where.header[sector] == kNoPosition) where.header[sector] = i;
    }
    std::size_t sector = 0;
    for (std::size_t i = 0; i < std::min(blocks, zone.sectors); ++i) {
        if (where.data[sector] == kNoPosition) where.data[sector] = i;
        sector = nextDataSector(sector, zone);
    }
    return where;
}

void appendRun(std::vector<std::uint8_t>& g64, std::size_t count, std::uint8_t value) {
    g64.insert(g64.end(), count, value);
}

}  // namespace

std::array<std::uint8_t, 4> decodeGcrHeader(std::span<const std::uint8_t, 5> gcr) {
    std::uint64_t bits = 0;
    for (const std::uint8_t byte : gcr) bits = bits << 8 | byte;
    std::array<std::uint8_t, 4> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t high = g_gcr_decode_table[(bits >> (35 - 10 * i)) & 0x1F];
        const std::uint8_t low = g_gcr_decode_table[(bits >> (30 - 10 * i)) & 0x1F];
        out[i] = high > 15 || low > 15 ? 0xFF : static_cast<std::uint8_t>(high << 4 | low);
    }
    return out;
}

zip6_part_tracks_t unpackZip6Part(unsigned partNumber, std::span<const std::uint8_t> part,
                                  std::vector<std::uint8_t>& g64) {
    zip6_part_tracks_t tracks;
    if (partNumber < 1 || partNumber > 6 || part.empty()) return tracks;
    const std::uint64_t firstTrack = kPartFirstTrack[partNumber - 1];
    const std::uint64_t endTrack = std::min(kPartFirstTrack[partNumber] - 1, dataTracks(part[0]));
    tracks.announced = endTrack >= firstTrack ? endTrack - firstTrack + 1 : 0;
    std::size_t at = 1;
    for (std::uint64_t track = firstTrack; track <= endTrack; ++track) {
        if (part.size() - at < kHeaderArea) return tracks;
        const auto area = part.subspan(at, kHeaderArea);
        const std::size_t blocks = std::min<std::size_t>(area[kHeaderArea - 1], kMaxHeaders);
        if ((part.size() - at - kHeaderArea) / kDataBytes < blocks) return tracks;
        at += kHeaderArea;
        const auto data = part.subspan(at, blocks * kDataBytes);
        at += data.size();

        const zip6_zone_t zone = zoneOfTrack(track);
        const zip6_track_t where = locateSectors(area, blocks, zone);
        const std::size_t trackStart = g64.size();
        g64.push_back(static_cast<std::uint8_t>(zone.trackBytes));
        g64.push_back(static_cast<std::uint8_t>(zone.trackBytes >> 8));
        for (std::size_t sector = 0; sector < zone.sectors; ++sector) {
            if (where.header[sector] != kNoPosition) {
                const auto header = area.subspan(where.header[sector] * kHeaderBytes, kHeaderBytes);
                appendRun(g64, 5, 0xFF);
                g64.insert(g64.end(), header.begin(), header.end());
                appendRun(g64, 9, 0x55);
            }
            if (where.data[sector] != kNoPosition) {
                const auto block = data.subspan(where.data[sector] * kDataBytes, kDataBytes);
                appendRun(g64, 5, 0xFF);
                g64.insert(g64.end(), block.begin() + kDataRotation, block.end());
                g64.insert(g64.end(), block.begin(), block.begin() + kDataRotation);
                appendRun(g64, 7, 0x55);
            }
        }
        // Every track fills its slot exactly, so the next starts at the offset its table
        // entry is given.
        appendRun(g64, trackStart + 2 + zone.trackBytes - g64.size(), 0xAA);
        ++tracks.written;
    }
    return tracks;
}

zip6_unpacked_t zip6ToG64(std::span<const std::vector<std::uint8_t>, 6> parts, std::vector<std::uint8_t>& g64) {
    zip6_unpacked_t unpacked;
    const auto first = std::find_if(parts.begin(), parts.end(), [](const auto& part) { return !part.empty(); });
    if (first == parts.end()) {
        unpacked.misfit = 1;
        return unpacked;
    }
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const std::vector<std::uint8_t>& part = parts[k];
        if (part.empty()) continue;
        if (part.size() <= kPartStart || part[0] != kLoadLow || part[1] != kLoadHigh ||
            part[kPartStart] != (*first)[kPartStart]) {
            unpacked.misfit = k + 1;
            return unpacked;
        }
    }
    const std::size_t frame = g64.size();
    g64.reserve(frame + kG64Capacity);
    appendG64Frame(g64);
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (parts[k].empty()) continue;
        std::size_t offset = g64.size() - frame;
        unpacked.parts[k] = unpackZip6Part(static_cast<unsigned>(k + 1), std::span(parts[k]).subspan(kPartStart), g64);
        for (std::uint64_t i = 0; i < unpacked.parts[k].written; ++i) {
            const std::uint64_t track = kPartFirstTrack[k] + i;
            setLe32(g64, frame + kOffsetTable + 8 * (track - 1), offset);
            setLe32(g64, frame + kSpeedTable + 8 * (track - 1), zoneOfTrack(track).speed);
            offset += 2u + zoneOfTrack(track).trackBytes;
        }
    }
    return unpacked;
}

}  // namespace platter
