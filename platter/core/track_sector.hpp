#pragma once

#include <compare>
#include <cstdint>

namespace platter {

// A block address. Tracks count from 1; sector kNoSector means "no block"
// (end of a chain or of the directory, or "first" for nextDirectorySector).
struct track_sector_t {
    static constexpr std::uint64_t kNoSector = 0x7fffffff;

    std::uint64_t sector = 0;
    std::uint64_t track = 0;

    constexpr bool isNone() const { return sector == kNoSector; }

    friend constexpr bool operator==(const track_sector_t&, const track_sector_t&) = default;
    friend constexpr auto operator<=>(const track_sector_t& a, const track_sector_t& b) {
        if (auto c = a.track <=> b.track; c != 0) return c;
        return a.sector <=> b.sector;
    }
};

constexpr track_sector_t makeBlock(std::uint64_t track, std::uint64_t sector) { return track_sector_t{sector, track}; }

constexpr track_sector_t noBlock() { return track_sector_t{track_sector_t::kNoSector, 0}; }

}  // namespace platter
