#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platter/formats/gcr_blocks.hpp"

namespace platter {

// What a first look at one track dump found: whether it can hold sectors, the
// track and sector its first plausible header names (the track a dump is
// filed under comes from there, not from the file's table) and, for a dump of
// more than one revolution, the one revolution that starts at that header.
struct gcr_scan_t {
    gcr_code code = kGcrGood;
    std::span<const std::uint8_t> track;
    std::uint8_t headerTrack = 0;
    std::uint8_t headerSector = 0;
    // Not one run of ten one bits: a track never formatted, not a damaged one.
    bool noSyncMark = false;
};

gcr_scan_t scanTrack(std::span<const std::uint8_t> track);

// scanTrack from the dump's first `known` bytes alone, the others never read: nullopt
// when they do not settle it. They settle nothing for an 8192-byte dump, whose cut is
// looked for at its end, nor for a dump that does not begin with ten one bits (a sync
// there may begin at the end of the dump).
std::optional<gcr_scan_t> scanTrackStart(std::span<const std::uint8_t> track, std::size_t known);

}  // namespace platter
