#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platter/formats/bam_track.hpp"
#include "platter/formats/disk41.hpp"

namespace platter {

// The 1571 image (D71): two 1541 sides, tracks 1-35 and 36-70, optionally
// followed by one error byte per block. 18/0 holds the first side's BAM and
// the second side's free counts; 53/0 holds the second side's maps.
class Disk71 : public Disk41 {
public:
    static constexpr std::uint64_t kSize = 349696;
    static constexpr std::uint64_t kBlocks = 1366;
    static constexpr std::uint64_t kTracks = 70;
    static constexpr std::uint64_t kBamTrack = 53;

    Disk71();

    void parseImage() override { parseFixedSizeImage(); }
    std::uint64_t blocksFree() const override;
    bool isBamBlock(const track_sector_t& block) const override;
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool extendDisk(bool) override { return false; }
    std::uint8_t* allocateBlock(track_sector_t& block, bool markUsed) override;
    void initBam() override;
    bool formatImage(std::uint32_t formatArg) override;
    void snapshotBam() override;

    // Sectors of a track of either side (0 outside 1-70).
    static std::uint64_t sectorsOnSide(std::uint64_t track);
    // Whether a header block (18/0) is a 1571's of both sides: the double-sided flag set, and
    // each free count of the second side within its track.
    static bool namesTwoSides(std::span<const std::uint8_t> header);

protected:
    std::uint64_t sectorsOf(std::uint64_t track) const override { return sectorsOnSide(track); }
    // A second-side track (36-70) has its count in 18/0 and its map in 53/0.
    std::optional<BamTrack> bamEntry(std::uint64_t track) const override;
};

}  // namespace platter
