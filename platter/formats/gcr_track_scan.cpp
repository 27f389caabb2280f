#include "platter/formats/gcr_track_scan.hpp"

#include <algorithm>
#include <array>

#include "platter/formats/gcr_bit_reader.hpp"
#include "platter/formats/gcr_track_checks.hpp"
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

bool plausibleHeader(const std::array<std::uint8_t, 8>& header) {
    return header[0] == kGcrHeaderMarker && header[3] >= 1 && header[3] <= kHighestTrack;
}

// The byte offset of the repeat of `raw` (read at `headerByte`) one revolution
// on, or 0 when the dump's tail does not hold it.
std::size_t findRepeat(std::span<const std::uint8_t> track, std::size_t headerByte,
                       const std::array<std::uint8_t, kHeaderGcrBytes>& raw) {
    const std::size_t size = track.size();
    if (size < kHeaderGcrBytes + kRepeatSearchBytes) return 0;
    const std::size_t earliest =
        std::max(headerByte + kShortestRevolution, size - kHeaderGcrBytes - kRepeatSearchBytes + 1);
    for (std::size_t at = size - kHeaderGcrBytes; at >= earliest; --at) {
        if (std::equal(raw.begin(), raw.end(), track.begin() + static_cast<std::ptrdiff_t>(at))) return at;
    }
    return 0;
}

std::span<const std::uint8_t> oneRevolution(std::span<const std::uint8_t> track) {
    const std::optional<track_period_t> period = findTrackPeriod(track);
    if (!period || period->length < kGcrMinimumTrackBytes) return track;
    return track.subspan(period->start, period->length);
}

}  // namespace

// Walks the syncs of the dump until a plausible header (marker 8, a track from
// 1 to 42). A G64 track holds one revolution and ends the scan there; an
// 8192-byte NIB dump holds more and is cut at the repeat of that header.
gcr_scan_t scanTrack(std::span<const std::uint8_t> track) {
    if (isAllSync(track)) return {kGcrNoSync, track};
    if (!hasSyncMark(track)) return {.code = kGcrNoSync, .track = track, .noSyncMark = true};
    if (!hasHeaderByte(track)) return {kGcrHeaderNotFound, track};

    GcrBitReader reader(track);
    unsigned budget = kGcrHeaderBudget;
    bool seenPlausible = false;
    gcr_scan_t found{kGcrGood, track};
    // Past the first plausible header of a dump without its repeat.
    const auto byPeriod = [&] {
        found.track = oneRevolution(track);
        return found;
    };
    for (;;) {
        const GcrBitReader::position_t here = reader.position();
        bool plausible = false;
        if (reader.peekRawByte() == kGcrHeaderFirstByte) {
            std::array<std::uint8_t, 8> header;
            for (std::uint8_t& byte : header) byte = reader.readGcrByte();
            reader.seek(here);
            plausible = plausibleHeader(header);
            if (plausible) {
                found.headerTrack = header[3];
                found.headerSector = header[2];
            }
        }
        if (!plausible) {
            if (--budget == 0 || reader.wrapped()) {
                if (!seenPlausible) return {kGcrHeaderNotFound, track};
                return byPeriod();
            }
        } else {
            if (track.size() != kNibTrackBytes) return found;
            std::array<std::uint8_t, kHeaderGcrBytes> raw;
            for (std::uint8_t& byte : raw) byte = reader.readRawByte();
            const std::size_t repeat = findRepeat(track, here.byte, raw);
            if (repeat != 0) {
                found.track = track.subspan(here.byte, repeat - here.byte);
                return found;
            }
            if (seenPlausible) return byPeriod();
            seenPlausible = true;
            reader.seek({here.byte + kSkipPastHeader, 0, here.wrapped});
        }
        while (reader.findSync() < GcrBitReader::kSyncMinimumOnes) {
            if (seenPlausible) return byPeriod();
            if (--budget == 0) return {kGcrNoSync, track};
        }
    }
}

}  // namespace platter
