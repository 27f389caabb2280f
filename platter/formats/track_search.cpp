#include "platter/formats/track_search.hpp"

#include "platter/core/library_options.hpp"

namespace platter {

std::uint64_t allocationInterleave(std::uint64_t standard) {
    const library_options_t& options = libraryOptions();
    if (options.useCustomInterleave && options.customInterleave > 0)
        return static_cast<std::uint64_t>(options.customInterleave);
    return standard;
}

bool TrackSearch::tryTrack(std::uint64_t track) {
    if (found_) return true;
    const std::uint64_t sector = sector_;
    sector_ = 0;
    if (track == 0 || track > disk_.trackCount()) return false;
    track_sector_t candidate = makeBlock(track, sector);
    found_ = disk_.findFreeSector(track, candidate, interleave_, disk_.maxSector(track) + 1);
    if (found_) block_ = candidate;
    return found_;
}

bool TrackSearch::tryRange(std::uint64_t from, std::uint64_t to) {
    if (from <= to) {
        for (std::uint64_t t = from; t <= to; ++t)
            if (tryTrack(t)) return true;
    } else {
        for (std::uint64_t t = from; t >= to && t > 0; --t)
            if (tryTrack(t)) return true;
    }
    return found_;
}

std::uint8_t* takeBlock(Disk& disk, const track_sector_t& found, track_sector_t& block, bool markUsed) {
    std::uint8_t* data = disk.blockPointer(found);
    if (!data) return nullptr;
    block = found;
    if (markUsed) disk.toggleBlock(block);
    return data;
}

std::uint8_t* takeFoundBlock(Disk& disk, const TrackSearch& search, track_sector_t& block, bool markUsed) {
    return search.found() ? takeBlock(disk, search.block(), block, markUsed) : nullptr;
}

}  // namespace platter
