#pragma once

#include <cstdint>
#include <optional>

#include "platter/core/disk.hpp"
#include "platter/formats/bam_track.hpp"

namespace platter {

// A CBM floppy kind whose BAM keeps a free count and a bit map for every track (1541, 1571,
// 8050, 8250, 1581 and their relatives): a block is valid when its track is one of the image's
// and its sector one of that track's, and it is looked up and toggled in its track's entry.
class BamDisk : public Disk {
public:
    using Disk::Disk;

    bool isValidBlock(const track_sector_t& block) const override;
    bool isBlockFree(const track_sector_t& block) const override;
    bool toggleBlock(const track_sector_t& block) override;

protected:
    // Sectors of a track of this image's geometry.
    virtual std::uint64_t sectorsOf(std::uint64_t track) const = 0;
    // The free count and map of a track in the current BAM, or nothing.
    virtual std::optional<BamTrack> bamEntry(std::uint64_t track) const = 0;
};

}  // namespace platter
