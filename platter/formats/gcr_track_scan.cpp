#include "platter/formats/gcr_track_scan.hpp"

#include <algorithm>
#include <cstdint>
#include <array>
#include <optional>

#include "platter/formats/gcr_bit_reader.hpp"
#include "platter/formats/gcr_track_checks.hpp"
#include "platter/formats/gcr_track_syncs.hpp"
#include "platter/formats/gcr_track_table.hpp"

namespace platter {

namespace {

constexpr std::uint8_t kHighestTrack = 42;
constexpr std::size_t kHeaderGcrBytes = 10;
// A revolution is 6250 (outer zone) to 7692 bytes; the repeat of a header
// nearer than this is not the next turn of the disk.
constexpr std::size_t kShortestRevolution = 6000;
// How far back from the end of a dump the repeat of its first header is looked for.
constexpr std::size_t kRepeatSearchBytes = 2048;
// Past a header whose repeat was not found, the next one is looked for this far on.
constexpr std::size_t kSkipPastHeader = 20;
// A header read at a bit of byte n reads bytes up to n + 11; a sync search word at a bit of
// byte n reads bytes from n - 2 up to n + 5.
constexpr std::size_t kHeaderReach = 12;
constexpr std::size_t kSearchReach = 6;
// The bits of a header's ten GCR bytes past the first 64.
constexpr unsigned kTailShift = 64 - (8 * kHeaderGcrBytes - 64);

bool plausibleHeader(const std::array<std::uint8_t, 8>& header) {
    return header[0] == kGcrHeaderMarker && header[3] >= 1 && header[3] <= kHighestTrack;
}

// The bit offset of the repeat of the header's GCR bytes (read at bit `header`)
// one revolution on, at any bit of the dump's tail, or 0 when the tail does
// not hold it.
std::size_t findRepeat(std::span<const std::uint8_t> track, std::size_t header) {
    const std::size_t size = track.size();
    if (size < kHeaderGcrBytes + kRepeatSearchBytes) return 0;
    const std::uint64_t head = rawBitsAt(track, header);
    const std::uint64_t tail = rawBitsAt(track, header + 64) >> kTailShift;
    const std::size_t earliest =
        8 * std::max(header / 8 + kShortestRevolution, size - kHeaderGcrBytes - kRepeatSearchBytes + 1);
    const auto firstByte = static_cast<unsigned>(head >> 56);
    for (std::size_t at = 8 * (size - kHeaderGcrBytes); at >= earliest; --at) {
        // The byte at `at` first: it lies within the dump, as does the byte after it.
        const std::size_t byte = at / 8;
        const unsigned pair = (unsigned{track[byte]} << 8) | track[byte + 1];
        if (((pair << (at % 8)) >> 8 & 0xFF) != firstByte) continue;
        if (rawBitsAt(track, at) == head && rawBitsAt(track, at + 64) >> kTailShift == tail) return at;
    }
    return 0;
}

std::span<const std::uint8_t> oneRevolution(std::span<const std::uint8_t> track) {
    const std::optional<track_period_t> period = findTrackPeriod(track);
    if (!period || period->length < kGcrMinimumTrackBytes) return track;
    return track.subspan(period->start, period->length);
}

// The header's first eight GCR bytes when its first raw byte is 0x52.
std::optional<std::array<std::uint8_t, 8>> headerAt(std::span<const std::uint8_t> track, std::size_t bit) {
    GcrBitReader reader(track);
    reader.seek({bit / 8, static_cast<unsigned>(bit % 8)});
    if (reader.peekRawByte() != kGcrHeaderFirstByte) return std::nullopt;
    std::array<std::uint8_t, 8> header;
    reader.readGcrBytes(header);
    return header;
}

}  // namespace

// Walks the syncs of the dump until a plausible header (marker 8, a track from
// 1 to 42), at any bit offset; the first bit of the dump counts as one after a
// sync. A G64 track holds one revolution and ends the scan there; an 8192-byte
// NIB dump holds more and is cut at the repeat of that header, within the sync
// before it. Positions are bits from the dump's start, counted on past its end.
// Looking at part of the dump, every read stays within it, and a search that
// would read past it settles nothing.
std::optional<gcr_scan_t> scanTrackStart(std::span<const std::uint8_t> track, std::size_t known) {
    const bool part = known < track.size();
    if (part && (track.size() == kNibTrackBytes || known <= kHeaderReach || track[0] != 0xFF || track[1] < 0xC0))
        return std::nullopt;
    if (isAllSync(track.first(part ? known : track.size()))) {
        if (part) return std::nullopt;
        return gcr_scan_t{kGcrNoSync, track};
    }
    const std::size_t ringBits = 8 * track.size();
    // A search of part of the dump ends where its next word would read past it.
    const std::size_t searchEnd = part ? 8 * (known - kSearchReach) : SIZE_MAX;
    const std::size_t firstSync = std::min(ringBits, searchEnd);
    const std::size_t firstEnd = findSyncEnd(track, 0, firstSync);
    if (firstEnd == firstSync) {
        if (part) return std::nullopt;
        return gcr_scan_t{.code = kGcrNoSync, .track = track, .noSyncMark = true};
    }

    unsigned budget = kGcrHeaderBudget;
    bool seenPlausible = false;
    gcr_scan_t found{kGcrGood, track};
    // Past the first plausible header of a dump without its repeat.
    const auto byPeriod = [&] {
        found.track = oneRevolution(track);
        return found;
    };
    std::size_t at = 0;
    for (;;) {
        if (part && at / 8 + kHeaderReach > known) return std::nullopt;
        const std::optional<std::array<std::uint8_t, 8>> header = headerAt(track, at);
        if (!header || !plausibleHeader(*header)) {
            if (--budget == 0 || at >= ringBits) {
                if (!seenPlausible) return gcr_scan_t{kGcrHeaderNotFound, track};
                return byPeriod();
            }
        } else {
            found.headerTrack = (*header)[3];
            found.headerSector = (*header)[2];
            if (track.size() != kNibTrackBytes) return found;
            const std::size_t start = at % ringBits / 8;
            const std::size_t repeat = findRepeat(track, at % ringBits);
            if (repeat != 0) {
                found.track = track.subspan(start, repeat / 8 - start);
                return found;
            }
            if (seenPlausible) return byPeriod();
            seenPlausible = true;
            at = 8 * (at / 8 + kSkipPastHeader);
        }
        for (;;) {
            const std::size_t limit = at + kGcrSyncBitBudget;
            const std::size_t to = std::min(limit, searchEnd);
            const std::size_t end = findSyncEnd(track, at + kGcrSyncMinimumOnes, to);
            if (end == to && to < limit) return std::nullopt;
            at = limit;
            if (end < at) {
                at = end;
                break;
            }
            if (seenPlausible) return byPeriod();
            if (--budget == 0) return gcr_scan_t{kGcrNoSync, track};
        }
    }
}

gcr_scan_t scanTrack(std::span<const std::uint8_t> track) { return *scanTrackStart(track, track.size()); }

}  // namespace platter
