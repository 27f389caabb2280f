#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "platter/formats/disk_ide64.hpp"

namespace platter {

// A CFS partition of an IDE64 image. Its directories are chains of 576-byte blocks of 16
// entries, shown as CBM entries; a file's sectors are named by block-list sectors and stored
// interleaved. It reads the image's bytes directly, sector numbers being the image's own.
class PartCFS : public DiskIDE64 {
public:
    PartCFS();

    // Opens the partition [start, end) (byte offsets) with its root directory at `rootSector`
    // over the image's bytes.
    void attach(DataProvider& image, std::uint64_t start, std::uint64_t end, std::uint64_t rootSector,
                const path& where);
    PartitionTie& tie() { return tie_; }

    void close() override { tie_.untie(); }
    void parseImage() override;
    bool hasPartitionTable() const override { return false; }
    // Type 5 is a CFS directory.
    bool holdsDirectory(const dir_entry_t& entry) const override { return entry.fileType() == kTypeCbm; }
    bool showsEntryFlags() const override { return true; }
    std::string typeWord(const dir_entry_t& entry) const override;
    std::uint64_t entryBlocks(const dir_entry_t& entry) const override { return entry.blockCount(); }
    std::shared_ptr<Disk> openPartition(const dir_entry_t& /*entry*/) override { return nullptr; }

    bool isValidBlock(const track_sector_t& block) const override;
    bool isBlockFree(const track_sector_t& block) const override;
    track_sector_t firstBlock(const dir_entry_t& entry) const override;
    // A DIR entry whose first directory block lies outside the partition, or starts the
    // current directory or one enclosing it.
    block_range_fault partitionFault(const dir_entry_t& entry) const override;

    // A directory walk's blocks lie wholly inside the area, a block list's sectors inside it;
    // either lacks what the image file ends before.
    block_role blockRole(const track_sector_t& block, walk_kind kind) const override;
    chain_stop_t directoryStop() const override;
    std::uint64_t countDirectoryEntries() override;
    std::uint8_t* locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* block = nullptr,
                              std::uint64_t* slot = nullptr) override;
    entry_read_t readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* blocks,
                               const entry_sink_t* sink) override;
    std::uint64_t fileSize(std::uint64_t index) override;

protected:
    // A DIR entry's first directory block.
    bool subdirectoryStart(const dir_entry_t& entry, track_sector_t& first) override;

private:
    // The current directory as the chain an entry lookup walks (entry_cursor_t::find).
    struct directory_chain_t;

    // Calls `visit` with each block of the current directory in chain order, each once, until it
    // answers true; where the walk stopped, by the chain rule.
    template <class Visit>
    chain_stop_t walkDirectory(const directory_chain_t& chain, Visit&& visit) const;
    // Calls `visit` with each raw 36-byte entry of the current directory (those in use, and
    // with `all` those with a name) until it answers true; each directory block once.
    template <class Visit>
    bool forEachRawEntry(bool all, Visit&& visit) const;
    // The raw entry a synthesized one was made from, or empty.
    std::span<const std::uint8_t> rawEntryOf(const dir_entry_t& entry) const;
    // The file's size in bytes, as its size field says.
    static std::uint64_t sizeField(std::span<const std::uint8_t> raw);
    // That size capped at the partition's size.
    std::uint64_t sizeOf(std::span<const std::uint8_t> raw) const;
    // The file's bytes through its block lists, as far as they go up to `wanted` bytes.
    entry_read_t readBlockLists(std::uint64_t firstList, std::uint64_t wanted) const;
    // A whole sector of the partition's area, whether or not the image file still holds it.
    bool inArea(std::uint64_t sector) const;
    // A whole sector of the partition that the image file holds.
    bool holdsSector(std::uint64_t sector) const;

    std::uint64_t start_ = 0;
    std::uint64_t end_ = 0;
    PartitionTie tie_{*this};
};

}  // namespace platter
