#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platter/formats/bam_disk.hpp"

namespace platter {

// The 8050 image (D80): 77 tracks of 23-29 sectors, header on 39/0, BAM
// blocks on track 38 (50 tracks each), directory on 39/1-39/28.
class Disk80 : public BamDisk {
public:
    static constexpr std::uint64_t kSize = 533248;
    static constexpr std::uint64_t kBlocks = 2083;
    static constexpr std::uint64_t kTracks = 77;
    static constexpr std::uint64_t kBamTrack = 38;
    static constexpr std::uint64_t kDirectoryTrack = 39;

    Disk80();

    void parseImage() override { parseFixedSizeImage(); }
    std::uint64_t blocksFree() const override;
    std::uint64_t maxSector(std::uint64_t track) const override;
    bool isBamBlock(const track_sector_t& block) const override;
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool nextDirectorySector(track_sector_t& block) override;
    std::uint8_t* allocateBlock(track_sector_t& block, bool markUsed) override;
    const std::uint8_t* diskName() const override;
    const std::uint8_t* diskId() const override;
    void initBam() override;
    bool formatImage(std::uint32_t formatArg) override;
    void snapshotBam() override;

    // Sectors of a track of an 8050 or 8250 disk (0 outside 1-154).
    static std::uint64_t sectorsOnTrack(std::uint64_t track);
    // Byte offset of a block of an 8050 or 8250 image.
    static std::uint64_t offsetOf(const track_sector_t& block);
    // Whether the second BAM block (38/3) is an 8250's: it covers tracks 51-100, where an
    // 8050's covers 51-77.
    static bool namesDoubleSidedTracks(std::span<const std::uint8_t> secondBam);
    // Whether the first BAM block (38/0) is an 8050's or 8250's: it covers tracks 1-50.
    static bool namesFirstTracks(std::span<const std::uint8_t> firstBam);

protected:
    Disk80(format_id id, std::uint64_t tracks, std::uint64_t size, std::uint64_t blocks);

    std::uint64_t sectorsOf(std::uint64_t track) const override { return sectorsOnTrack(track); }
    std::optional<BamTrack> bamEntry(std::uint64_t track) const override;

private:
    // BAM blocks on track 38: one for every 50 tracks.
    std::uint64_t bamBlocks() const { return (trackCount() + 49) / 50; }
};

// The 8250 image (D82): the 8050 layout for 154 tracks, four BAM blocks.
class Disk82 : public Disk80 {
public:
    static constexpr std::uint64_t kSize = 1066496;
    static constexpr std::uint64_t kBlocks = 4166;
    static constexpr std::uint64_t kTracks = 154;

    Disk82();
};

}  // namespace platter
