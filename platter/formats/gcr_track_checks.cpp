#include "platter/formats/gcr_track_checks.hpp"

#include <algorithm>

namespace platter {

namespace {

constexpr std::size_t kLongestTail = 2047;

}  // namespace

bool isAllSync(std::span<const std::uint8_t> track) {
    return std::all_of(track.begin(), track.end(), [](std::uint8_t b) { return b == 0xFF; });
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
