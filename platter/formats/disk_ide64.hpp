#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platter/core/disk.hpp"
#include "platter/formats/partition_host.hpp"

namespace platter {

// An IDE64 hard-disk image (".hdd"): 512-byte sectors, a header naming the partition list,
// and that list as the image's directory, whose CFS partitions open as images of their own.
// It is read only: nothing formats, grows, allocates in or saves such an image.
class DiskIDE64 : public Disk {
public:
    static constexpr std::uint64_t kSectorBytes = 512;
    static constexpr std::uint64_t kHeaderBytes = 48;

    DiskIDE64();
    ~DiskIDE64() override;

    void close() override;
    void parseImage() override;
    bool isCbmDosImage() const override { return false; }
    bool hasPartitionTable() const override { return true; }
    bool showsBlocksFree() const override { return false; }
    bool showsEntryFlags() const override { return false; }
    std::string typeWord(const dir_entry_t& entry) const override;
    std::uint64_t entryBlocks(const dir_entry_t& entry) const override;

    // Every write refuses; listing documents are written.
    std::optional<forge::save_failure_t> saveAs(const path& target, const listing_request_t& request = {}) override;
    bool resize(std::uint64_t bytes) override;
    bool isResizable() const override { return false; }
    bool toggleBlock(const track_sector_t& /*block*/) override { return false; }
    std::uint8_t* allocateBlock(track_sector_t& /*block*/, bool /*markUsed*/) override { return nullptr; }
    bool formatImage(std::uint32_t /*formatArg*/) override { return false; }
    void initBam() override {}
    void snapshotBam() override {}
    bool insertEntry(std::int64_t index, const dir_entry_t& entry, std::uint32_t word = 0) override;
    void markDeleted(dir_entry_t& /*entry*/, std::uint64_t /*index*/, bool /*includeEmpty*/) override {}
    bool importFile(std::span<const std::uint8_t, 16> name, std::int64_t position, std::span<const std::uint8_t> data,
                    std::uint8_t recordLength, const container_format_t* row) override;

    // Sectors: block {sector, track} is sector number track x 256 + sector.
    std::uint64_t blocksFree() const override { return 0; }
    bool isValidBlock(const track_sector_t& block) const override;
    bool isBlockFree(const track_sector_t& /*block*/) const override { return false; }
    bool isBamBlock(const track_sector_t& /*block*/) const override { return false; }
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool nextDirectorySector(track_sector_t& /*block*/) override { return false; }
    const std::uint8_t* diskName() const override;
    const std::uint8_t* diskId() const override { return nullptr; }

    // The partition list: one run of sectors, no chain. It leaves the image when the file ends
    // before it, and misses what the file ends inside; no other block is the list's.
    block_role blockRole(const track_sector_t& block, walk_kind kind) const override;
    chain_stop_t directoryStop() const override;
    // The list slots and the sectors of partitions in use that the file ends before.
    std::vector<std::string> damageNotes() const override { return notes_; }
    std::uint64_t countDirectoryEntries() override;
    std::uint8_t* locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* block = nullptr,
                              std::uint64_t* slot = nullptr) override;
    entry_read_t readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* blocks,
                               const entry_sink_t* sink) override;
    std::shared_ptr<Disk> openPartition(const dir_entry_t& entry) override;
    std::shared_ptr<Disk> findOpenPartition(std::uint64_t startByte) const { return partitions_.find(startByte); }

    static track_sector_t blockOfSector(std::uint64_t sector) { return makeBlock(sector >> 8, sector & 0xff); }
    static std::uint64_t sectorOfBlock(const track_sector_t& block) { return block.track * 256 + block.sector; }

protected:
    // `length` bytes at a byte offset of the image, or empty when they are not all there.
    std::span<const std::uint8_t> bytesAt(std::uint64_t offset, std::uint64_t length) const;
    // A 16-byte name ended by a 0 byte when shorter, padded with 0xA0.
    static std::array<std::uint8_t, 16> paddedName(std::span<const std::uint8_t> name);
    // The synthesized CBM entry that locateEntry hands out.
    std::array<std::uint8_t, dir_entry_t::kSize>& entryBuffer() { return entry_; }
    // The disk name; empty for none.
    void setName(std::span<const std::uint8_t> name);

private:
    // The partition list's slots the file holds whole.
    std::uint64_t listSlots() const;
    std::span<const std::uint8_t> listBytes() const;
    // What the file lacks of the list and of the partitions it names, as the notes say it.
    std::vector<std::string> listDamage() const;

    std::uint64_t listSector_ = 0;
    std::vector<std::string> notes_;  // from the parse: the image is never resized
    bool named_ = false;
    std::array<std::uint8_t, 16> name_{};
    std::array<std::uint8_t, dir_entry_t::kSize> entry_{};
    PartitionHost partitions_{*this};
};

}  // namespace platter
