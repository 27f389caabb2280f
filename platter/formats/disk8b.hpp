#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platter/formats/disk81.hpp"

namespace platter {

// The BackBit image (D8B): 40 tracks of 136 sectors, optionally followed by
// one error byte per block. Header on 1/0, three BAM blocks 1/1-1/3 whose
// bytes 16-255 form one 720-byte map of 18 bytes a track, directory from 1/4.
// Its tracks are not 1581 tracks, so it makes no 1581 partitions.
class Disk8B : public Disk81 {
public:
    static constexpr std::uint64_t kSize = 1392640;
    static constexpr std::uint64_t kBlocks = 5440;
    static constexpr std::uint64_t kSectors = 136;
    static constexpr std::uint64_t kTracks = 40;

    Disk8B();

    std::uint64_t blocksFree() const override;
    type_name_table typeNameTable() const override { return type_name_table::dos1541; }
    std::uint64_t defaultSubdirectorySize() const override { return 0; }
    bool isBamBlock(const track_sector_t& block) const override;
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool sizeRange(std::uint64_t&, std::uint64_t&, std::uint64_t&) override { return false; }
    bool createSubdirectory(std::uint64_t, std::uint64_t) override { return false; }
    std::uint8_t* allocateBlock(track_sector_t& block, bool markUsed) override;
    void initBam() override;
    bool formatImage(std::uint32_t formatArg) override;
    void snapshotBam() override;

protected:
    // Free count and map of a track in the map over 1/1-1/3.
    std::optional<BamTrack> bamEntry(std::uint64_t track) const override;
};

}  // namespace platter
