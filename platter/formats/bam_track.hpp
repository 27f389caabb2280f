#pragma once

#include <cstdint>
#include <span>

#include "platter/core/track_sector.hpp"

namespace platter {

class Disk;

// Where a track's free count is stored: its BAM block and the byte in it.
struct count_place_t {
    track_sector_t block{};
    std::size_t offset = 0;
};

// One track of a CBM block-availability map: a free count and a bit map in
// which bit n mod 8 of byte n div 8 stands for sector n, set meaning free.
// The map may continue in a second span (a D8B track whose entry crosses into
// the next BAM block).
class BamTrack {
public:
    // Over the BAM bytes as the const block queries read them: they are the
    // provider's writable bytes, which `toggle` and `setAllFree` change.
    BamTrack(const std::uint8_t* block, count_place_t place, std::span<const std::uint8_t> map,
             std::span<const std::uint8_t> rest = {})
        : count_(const_cast<std::uint8_t&>(block[place.offset])),
          place_(place),
          map_(const_cast<std::uint8_t*>(map.data()), map.size()),
          rest_(const_cast<std::uint8_t*>(rest.data()), rest.size()) {}

    bool isFree(std::uint64_t sector) const;
    // Marks the first `sectors` free and the rest of the map used.
    void setAllFree(std::uint64_t sectors);
    // Flips the sector's bit as a format's toggleBlock does and journals it
    // (kind 10). The count becomes the free sectors the map shows among the
    // first `sectors`, so a wrong stored count is mended instead of wrapping
    // past 0 or 255; such a count is journalled first, so that undo restores
    // the image byte for byte.
    void toggle(Disk& disk, const track_sector_t& block, std::uint64_t sectors);

private:
    std::uint8_t* byte(std::uint64_t index) const;
    std::uint8_t freeInMap(std::uint64_t sectors) const;

    std::uint8_t& count_;
    count_place_t place_;
    std::span<std::uint8_t> map_;
    std::span<std::uint8_t> rest_;
};

}  // namespace platter
