#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platter/core/disk.hpp"
#include "platter/formats/cmd_partition_entry.hpp"
#include "platter/formats/partition_host.hpp"

namespace platter {

// Where a CMD image keeps its system header and partition table, and which of its 512-byte
// units partitions may use.
struct cmd_layout_t {
    format_id id;
    std::uint64_t imageBytes;     // 0: as large as the file (the hard disk)
    std::uint64_t driveSectors;   // sectors of a floppy's drive track (its system track); 0: a hard disk
    track_sector_t tableBase;     // added to the table's relative links; the table starts one track on
    track_sector_t systemHeader;  // the block holding the disk name
    std::uint64_t nameOffset;     // of the disk name in that block; the id follows 17 bytes on
    std::uint64_t tableBlocks;    // the most blocks the table chain has
    std::uint64_t firstUnit;      // the first unit a partition may start at
    std::uint8_t headerByte113;   // two bytes of a new system header that tell the FD models apart
    std::uint8_t headerByte169;
};

// A CMD FD2000 image (D2M), and the base of the other CMD images: tracks of 256 sectors, no
// files of its own but a partition table, whose entries open as images of their own kind
// (1541, 1571, 1581 or native) over the image's bytes. Listing the image lists the table.
class DiskD2M : public Disk {
public:
    static constexpr std::uint64_t kTrackBytes = 65536;
    static constexpr std::uint64_t kSectors = 256;

    DiskD2M();
    ~DiskD2M() override;

    void close() override;
    void setModified(bool on) override;
    void parseImage() override;
    bool hasPartitionTable() const override { return true; }
    bool showsBlocksFree() const override { return false; }
    bool showsEntryFlags() const override { return false; }
    std::string typeWord(const dir_entry_t& entry) const override;
    std::uint64_t entryBlocks(const dir_entry_t& entry) const override;
    const container_format_t* fileTypeInfo(const dir_entry_t& entry) const override;

    // There is no BAM and no file at this level.
    std::uint64_t blocksFree() const override { return 0; }
    bool isValidBlock(const track_sector_t& block) const override;
    bool isBlockFree(const track_sector_t& /*block*/) const override { return false; }
    bool toggleBlock(const track_sector_t& /*block*/) override { return false; }
    bool isBamBlock(const track_sector_t& /*block*/) const override { return false; }
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool nextDirectorySector(track_sector_t& /*block*/) override { return false; }
    std::uint8_t* allocateBlock(track_sector_t& /*block*/, bool /*markUsed*/) override { return nullptr; }
    const std::uint8_t* diskName() const override;
    const std::uint8_t* diskId() const override;
    void initBam() override {}
    bool formatImage(std::uint32_t formatArg) override;
    void snapshotBam() override {}

    // The table as the directory.
    std::uint64_t countDirectoryEntries() override;
    std::uint8_t* locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* block = nullptr,
                              std::uint64_t* slot = nullptr) override;
    bool insertEntry(std::int64_t index, const dir_entry_t& entry, std::uint32_t word = 0) override;
    void markDeleted(dir_entry_t& entry, std::uint64_t index, bool includeEmpty) override;
    // An entry's data is its partition's bytes.
    entry_read_t readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* blocks,
                               const entry_sink_t* sink) override;
    // A partition must lie inside the image, outside its system area and every other entry's
    // area, and hold its kind's image from its first block on.
    block_range_fault partitionFault(const dir_entry_t& entry) const override;
    bool hasAreaFaults() const override;

    // Partitions. A partition opens as a view of its kind; the same start gives the same view
    // while it lives.
    std::shared_ptr<Disk> openPartition(const dir_entry_t& entry) override;
    std::shared_ptr<Disk> findOpenPartition(std::uint64_t startByte) const { return partitions_.find(startByte); }
    std::size_t openPartitionCount() const { return partitions_.openCount(); }
    // The best-fitting free run of `units` units (the smallest that holds them, the first of
    // equals); false when none does. `largest` is the longest free run either way.
    bool findPartitionSpace(std::uint64_t units, std::uint64_t& largest, std::uint64_t& startUnit);
    // A new partition of the image kind `id` (DNP: `formatArg` tracks) holding an empty file
    // system of its kind, with an empty name at `index`.
    bool createPartition(format_id id, std::int64_t index, std::uint32_t formatArg);
    // Another image, block by block, as a new partition named `name`.
    bool insertImage(const Disk& image, std::span<const std::uint8_t, 16> name, std::int64_t index);
    // A host image file (D64, G64 or NIB as a 1541 partition; D71, D81, DNP) as a new partition
    // named after its disk. Last error 5 when it does not open, 23 for any other kind.
    bool importHostFile(const path& file, std::int64_t position) override;
    // The bytes of an image file of the row's kind as a new partition.
    bool importFile(std::span<const std::uint8_t, 16> name, std::int64_t position, std::span<const std::uint8_t> data,
                    std::uint8_t recordLength, const container_format_t* row) override;

protected:
    explicit DiskD2M(const cmd_layout_t& layout);
    const cmd_layout_t& layout() const { return layout_; }
    // The table blocks in chain order, each once, at most the layout's count.
    chain_stop_t walkDirectoryChain(std::vector<track_sector_t>& blocks) const override;

private:
    // The byte size of the image: its kind's, or the file's for the hard disk (at least up to
    // the end of its system header: a file that ends before is cut short).
    std::uint64_t imageBytes() const;
    // The bytes a partition of `type` (1-4) at `startByte` needs for the image of its kind: a
    // native partition the tracks its BAM names, at least one.
    std::uint64_t bytesNeeded(std::uint8_t type, std::uint64_t startByte) const;
    // Whether the area of a partition of `type` at `startByte` starts as an image of its kind
    // does: with the header or BAM where its drive looks for them.
    bool startsWithHeader(std::uint8_t type, std::uint64_t startByte) const;
    // The fault of the area of table entry `entry` where it shares units with another entry's:
    // the system partition's or another partition's, which makes both unsure.
    block_range_fault overlapFault(const dir_entry_t& entry, const cmd_partition_t& partition) const;
    // Every slot of the table, empty ones included, in chain order.
    std::vector<dir_entry_t> tableSlots() const;
    // The block at a byte offset of the image; empty where it holds none.
    std::span<const std::uint8_t> blockAtByte(std::uint64_t offset) const;
    // Writes the system header and the table of a new image.
    bool writeSystemArea();
    // Units [first, end) partitions may use.
    std::uint64_t usableEndUnit() const;
    // Fills a partition area from `data` (zeros past its end), journalled when asked.
    bool writeArea(const cmd_partition_t& partition, std::span<const std::uint8_t> data, bool journal);
    // A new table entry for a partition of `type` and `units`, placed best-fit; the start chosen.
    // No room: last error `noRoom`.
    bool addPartition(std::uint8_t type, std::span<const std::uint8_t, 16> name, std::uint64_t units,
                      std::int64_t index, std::uint32_t noRoom, cmd_partition_t& added);
    // An image's bytes as a new partition of the kind `id`, journalled.
    bool addImagePartition(format_id id, std::span<const std::uint8_t, 16> name, std::span<const std::uint8_t> data,
                           std::int64_t index, std::uint32_t noRoom);
    // The view of a partition, formatted anew when asked.
    std::shared_ptr<Disk> attachPartition(const cmd_partition_t& partition, std::span<const std::uint8_t, 16> name,
                                          bool format, std::uint32_t formatArg);

    cmd_layout_t layout_;
    PartitionHost partitions_{*this};
};

// CMD FD1000 (D1M) and FD4000 (D4M) images: the D2M with their own size and header bytes.
class DiskD1M : public DiskD2M {
public:
    DiskD1M();
};

class DiskD4M : public DiskD2M {
public:
    DiskD4M();
};

}  // namespace platter
