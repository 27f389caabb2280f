#include "platter/formats/gcr_track_checks.hpp"

#include <algorithm>

namespace platter {

namespace {

constexpr std::size_t kLongestTail = 2047;

}  // namespace

bool isAllSync(std::span<const std::uint8_t> track) {
    return std::all_of(track.begin(), track.end(), [](std::uint8_t b) { return b == 0xFF; });
}

bool hasSyncMark(std::span<const std::uint8_t> track) {
    for (std::size_t i = 0; i + 1 < track.size(); ++i) {
        const std::uint8_t here = track[i];
        const std::uint8_t next = track[i + 1];
        if (next < 0xC0 || ((here & 0x0F) != 0x0F && here < 0xEF)) continue;
        if (here == 0xFF) return true;
        if (here == 0x7F && next >= 0xE0) return true;
        if (next == 0xFF && (here & 1) != 0 && i + 2 < track.size() && track[i + 2] >= 0x80) return true;
    }
    return false;
}

bool hasHeaderByte(std::span<const std::uint8_t> track) {
    return std::find(track.begin(), track.end(), std::uint8_t{0x52}) != track.end();
}

std::optional<track_period_t> findTrackPeriod(std::span<const std::uint8_t> track) {
    const std::size_t size = track.size();
    // Up to half the dump, so a run always starts before its window.
    const std::size_t longestWindow = std::min(kLongestTail, size / 2);
    std::size_t bestRun = 0;
    track_period_t best;
    for (std::size_t window = 1; window <= longestWindow; ++window) {
        const std::size_t windowStart = size - window;
        std::size_t run = 0;
        for (std::size_t i = 0; i < window; ++i) {
            if (track[i] != track[windowStart + i]) {
                run = 0;
                continue;
            }
            if (++run > bestRun) {
                bestRun = run;
                best = {i + 1 - run, windowStart - (i + 1 - run)};
            }
        }
    }
    if (bestRun == 0) return std::nullopt;
    return best;
}

}  // namespace platter
