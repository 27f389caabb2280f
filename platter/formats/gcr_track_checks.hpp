#pragma once
// Byte-level looks at a raw 1541 track, exact for its bits too: whether it is
// nothing but sync, and where one revolution of a longer dump ends.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platter {

// Every byte is 0xFF: a track of nothing but sync.
bool isAllSync(std::span<const std::uint8_t> track);

struct track_period_t {
    std::size_t start = 0;
    std::size_t length = 0;
};

// For a dump longer than one revolution: compares the first L bytes with the
// last L bytes for every L below 2048 and keeps the longest run of equal bytes;
// the revolution runs from that run's first byte to where its window begins.
// nullopt when no two bytes agree.
std::optional<track_period_t> findTrackPeriod(std::span<const std::uint8_t> track);

}  // namespace platter
