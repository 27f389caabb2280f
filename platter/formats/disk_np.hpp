#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platter/core/disk.hpp"

namespace platter {

// A CMD native partition (DNP): up to 255 tracks of 256 sectors, the header on 1/1, a BAM of
// one bit per block on 1/2-1/33 and DIR subdirectories with header blocks of their own.
class DiskNP : public Disk {
public:
    static constexpr std::uint64_t kTrackBytes = 65536;
    static constexpr std::uint64_t kSectors = 256;
    static constexpr std::uint64_t kMinTracks = 2;  // the smallest image that formats and resizes
    static constexpr std::uint64_t kMaxTracks = 255;
    static constexpr std::uint64_t kBamHeadAt = 2 * kBlockSize;  // byte offset of the BAM head 1/2

    DiskNP();

    // The track count a BAM head records (0 when `bamHead` is too short to hold one).
    static std::uint64_t tracksRecorded(std::span<const std::uint8_t> bamHead);
    // Whether a block is a BAM head (1/2): the DOS version 'H' and that byte's complement.
    static bool isBamHead(std::span<const std::uint8_t> block);

    void parseImage() override;
    bool resize(std::uint64_t bytes) override;
    type_name_table typeNameTable() const override { return type_name_table::dos1581; }
    std::string typeWord(const dir_entry_t& entry) const override;
    bool hasNativeSubdirectories() const override { return true; }
    std::uint64_t defaultSubdirectorySize() const override { return 2; }
    bool sizeRange(std::uint64_t& min, std::uint64_t& max, std::uint64_t& current) override;
    bool createSubdirectory(std::uint64_t index, std::uint64_t blocks) override;
    // A subdirectory's header must be a block of the image and no enclosing directory's header.
    block_range_fault partitionFault(const dir_entry_t& entry) const override;
    // A directory header that links to no directory block: every directory has one.
    std::vector<std::string> damageNotes() const override;

    std::uint64_t blocksFree() const override;
    bool isValidBlock(const track_sector_t& block) const override;
    bool isBlockFree(const track_sector_t& block) const override;
    bool toggleBlock(const track_sector_t& block) override;
    bool isBamBlock(const track_sector_t& block) const override { return block.track == 1; }
    // Of the BAM track, the blocks before the root directory: what follows them is not structure.
    block_role structureRole(const track_sector_t& block) const override;
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool nextDirectorySector(track_sector_t& block) override;
    std::uint8_t* allocateBlock(track_sector_t& block, bool markUsed) override;
    bool findFreeDirectoryBlock(track_sector_t& block) override;
    const std::uint8_t* diskName() const override;
    const std::uint8_t* diskId() const override;
    void initBam() override;
    bool formatImage(std::uint32_t tracks) override;
    void snapshotBam() override;

private:
    // The map bits of a track, 32 bytes, or null when its BAM block is missing.
    const std::uint8_t* trackMap(std::uint64_t track) const;
    // The header block of the directory entered last (1/1 at the root).
    track_sector_t currentHeader() const;
    // The highest track holding a used block (0 when none or the BAM is missing).
    std::uint64_t highestUsedTrack() const;
};

}  // namespace platter
