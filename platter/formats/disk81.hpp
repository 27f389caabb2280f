#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platter/formats/bam_disk.hpp"

namespace platter {

// The 1581 image (D81): 80 tracks of 40 sectors, header, two BAM blocks and
// the directory on track 40, optionally followed by one error byte per block.
// 1581 partitions (CBM entries) are whole-track runs with their own header,
// BAM and directory; while one is entered, every BAM operation works on the
// current directory track, the partition's first.
class Disk81 : public BamDisk {
public:
    static constexpr std::uint64_t kSize = 819200;
    static constexpr std::uint64_t kBlocks = 3200;
    static constexpr std::uint64_t kSectors = 40;
    static constexpr std::uint64_t kTracks = 80;
    static constexpr std::uint64_t kDirectoryTrack = 40;
    static constexpr std::uint64_t kSmallestPartition = 120;

    Disk81();

    // Whether a block is a 1581's first BAM block (40/1): its DOS version 'D' and that byte's
    // complement.
    static bool isFirstBam(std::span<const std::uint8_t> block);

    void parseImage() override { parseFixedSizeImage(); }
    bool hasCbmPartitions() const override { return true; }
    type_name_table typeNameTable() const override { return type_name_table::dos1581; }
    std::uint64_t blocksFree() const override;
    std::uint64_t defaultSubdirectorySize() const override;
    bool isBamBlock(const track_sector_t& block) const override;
    // Inside an entered partition, only the blocks of its tracks.
    bool holdsBlock(const track_sector_t& block) const override;
    // Also a partition that is not whole tracks from a track's first sector, or is smaller
    // than the 120 blocks that hold its own header, BAM and directory: no 1581 enters it.
    block_range_fault partitionFault(const dir_entry_t& entry) const override;
    bool hasAreaFaults() const override;
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool nextDirectorySector(track_sector_t& block) override;
    bool sizeRange(std::uint64_t& min, std::uint64_t& max, std::uint64_t& current) override;
    bool createSubdirectory(std::uint64_t index, std::uint64_t blocks) override;
    std::uint8_t* allocateBlock(track_sector_t& block, bool markUsed) override;
    const std::uint8_t* diskName() const override;
    const std::uint8_t* diskId() const override;
    void initBam() override;
    bool formatImage(std::uint32_t formatArg) override;
    void snapshotBam() override;
    // Also copies the two ID bytes into the BAM blocks of the header track.
    void setDiskId(std::span<const std::uint8_t, 5> id) override;

protected:
    explicit Disk81(format_id id);

    // The track of the current directory: 40 at the top level, the first
    // track of an entered partition.
    std::uint64_t currentTrack() const { return directoryStart().track; }
    // Every track holds the same number of sectors.
    std::uint64_t sectorsOf(std::uint64_t /*track*/) const override { return sectorsPerTrack(); }
    // In the BAM of the current directory track.
    std::optional<BamTrack> bamEntry(std::uint64_t track) const override;

    // BAM blocks after the header block on its track.
    std::uint64_t bamBlocks_ = 2;

private:
    // A run of free blocks from sector 0 of its first track on.
    struct run_t {
        std::uint64_t firstTrack = 0;
        std::uint64_t blocks = 0;
    };
    // The free count and map of a track in the BAM kept on `bamTrack`.
    std::optional<BamTrack> bamEntryOn(std::uint64_t bamTrack, std::uint64_t track) const;
    // Writes the BAM of `bamTrack` with tracks `firstFree` to `lastFree` free,
    // then marks its header and BAM blocks used (without journalling).
    void writeEmptyBam(std::uint64_t bamTrack, std::uint64_t firstFree, std::uint64_t lastFree);
    // The longest run of free blocks, and the run with the smallest surplus
    // over `wanted` blocks (the earliest on a tie; none when none holds them).
    void findRuns(std::uint64_t wanted, run_t& longest, std::optional<run_t>& best) const;
    std::uint64_t longestRun() const;
};

}  // namespace platter
