#include "platter/formats/bam_snapshot.hpp"

#include "platter/core/disk.hpp"

namespace platter {

void snapshotBamBlocks(Disk& disk, std::span<const track_sector_t> blocks) {
    Disk::UndoGroup group(disk);
    for (const track_sector_t& bam : blocks) {
        if (const std::uint8_t* data = disk.blockPointer(bam))
            disk.pushUndoRecord(kUndoBamSnapshot, bam, 0, std::span<const std::uint8_t>(data, Disk::kBlockSize), "BAM");
    }
    group.commit("BAM");
}

}  // namespace platter
