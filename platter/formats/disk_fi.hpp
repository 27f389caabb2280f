#pragma once

#include <cstdint>

#include "platter/core/disk.hpp"

namespace platter {

// The Dreamload file archive (DFI): 64 KiB tracks of 256 sectors that grow one track at a
// time as files are added, up to 255 tracks (the count byte's range). A text header on
// 1/0, a disk header on 1/1, the directory chain from 1/2 and a one-bit-per-block map on
// 1/16-1/47 in which a set bit means used.
class DiskFI : public Disk {
public:
    static constexpr std::uint64_t kTrackBytes = 65536;
    static constexpr std::uint64_t kSectors = 256;
    static constexpr std::uint64_t kMaxTracks = 255;

    DiskFI();

    void parseImage() override;
    bool extendDisk(bool grow) override;
    std::uint64_t blocksFree() const override;
    bool isValidBlock(const track_sector_t& block) const override;
    bool isBlockFree(const track_sector_t& block) const override;
    bool toggleBlock(const track_sector_t& block) override;
    bool isBamBlock(const track_sector_t& block) const override;
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool nextDirectorySector(track_sector_t& block) override;
    std::uint8_t* allocateBlock(track_sector_t& block, bool markUsed) override;
    const std::uint8_t* diskName() const override;
    const std::uint8_t* diskId() const override;
    void initBam() override;
    bool formatImage(std::uint32_t formatArg) override;
    void snapshotBam() override;

private:
    // The 32 map bytes of a present track, or null.
    const std::uint8_t* trackMap(std::uint64_t track) const;
    // The disk header block that 1/0 names, or null.
    const std::uint8_t* diskHeader() const;
    // The first free block at or after `from` in block order, or nothing.
    std::optional<track_sector_t> firstFreeFrom(track_sector_t from) const;
};

}  // namespace platter
