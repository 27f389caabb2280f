#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platter/core/disk.hpp"

namespace platter {

// The T64 tape archive: a 64-byte header, a table of 32-byte entries and the files' data,
// each a program stored without its load address. Every used entry is shown as a CBM
// directory entry built on demand; the data sizes come from the order of the data offsets,
// not from the end addresses, which tapes often get wrong: an end address only leaves out
// zero padding after the data. The file is no sequence of whole blocks: it is saved byte for
// byte, and blocks (256-byte cuts of it) serve only reading.
class DiskT64 : public Disk {
public:
    static constexpr std::uint64_t kHeaderSize = 64;
    static constexpr std::uint64_t kEntrySize = 32;
    static constexpr std::uint64_t kNewTapeSize = 96;

    DiskT64();

    void parseImage() override;
    bool showsBlocksFree() const override { return false; }
    bool isCbmDosImage() const override { return false; }

    // No BAM and no block chains.
    std::uint64_t blocksFree() const override { return 0; }
    bool isValidBlock(const track_sector_t& block) const override;
    bool isBlockFree(const track_sector_t&) const override { return false; }
    bool toggleBlock(const track_sector_t&) override { return false; }
    bool isBamBlock(const track_sector_t&) const override { return false; }
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool nextDirectorySector(track_sector_t&) override { return false; }
    std::uint8_t* allocateBlock(track_sector_t&, bool) override { return nullptr; }
    void snapshotBam() override {}
    const std::uint8_t* diskName() const override;
    const std::uint8_t* diskId() const override;
    // Validation: the used count from the entries, the end addresses from the data sizes.
    void initBam() override;
    bool formatImage(std::uint32_t formatArg) override;

    std::uint64_t countDirectoryEntries() override;
    std::uint8_t* locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* block = nullptr,
                              std::uint64_t* slot = nullptr) override;
    // The load address and the data the file holds; an entry whose data run past the end of
    // the file gives what is there, cut short.
    entry_read_t readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* blocks,
                               const entry_sink_t* sink) override;
    std::uint64_t fileSize(std::uint64_t index) override;
    // A directory larger than the file holds, the entries whose data run past its end, lie in
    // its header and directory, share an offset, or do not end where their end addresses say.
    std::vector<std::string> damageNotes() const override;
    std::uint16_t loadAddress(std::uint64_t index) override;

    bool importFile(std::span<const std::uint8_t, 16> name, std::int64_t position, std::span<const std::uint8_t> data,
                    std::uint8_t recordLength, const container_format_t* row) override;
    bool insertEntry(std::int64_t index, const dir_entry_t& entry, std::uint32_t loadAddress = 0) override;
    void markDeleted(dir_entry_t& entry, std::uint64_t index, bool includeEmpty) override;
    // Marks the entry deleted; with `cutData` its data leaves the file too.
    bool removeTapeFile(std::uint64_t index, bool cutData);
    void setFileName(dir_entry_t& entry, std::span<const std::uint8_t, 16> name, std::uint64_t index) override;
    std::uint8_t* writeEntryName(std::uint64_t index, std::span<const std::uint8_t, 16> name) override;
    void swapEntries(std::uint64_t a, std::uint64_t b) override;
    // Moves the run by exchanging neighbouring entries, so that every slot keeps its data.
    bool moveEntries(std::uint64_t first, std::uint64_t last, std::uint64_t to) override;
    // Orders the listed entries by name or data size, each written back into a listed slot.
    bool sortDirectory(bool ascending, bool bySize) override;
    bool undoRecord(const undo_record_t& record) override;

    // A tape entry has none of these fields.
    void setFileType(dir_entry_t&, std::uint8_t, std::uint64_t) override {}
    void setLocked(dir_entry_t&, bool, std::uint64_t) override {}
    void setSplat(dir_entry_t&, bool, std::uint64_t) override {}
    void setFileSize(dir_entry_t&, std::uint16_t, std::uint64_t) override {}
    void setTime(dir_entry_t&, std::span<const std::uint8_t, 5>, std::uint64_t) override {}
    void setStartTrack(dir_entry_t&, std::uint8_t, std::uint64_t) override {}
    void setStartSector(dir_entry_t&, std::uint8_t, std::uint64_t) override {}
    void setSideTrack(dir_entry_t&, std::uint8_t, std::uint64_t) override {}
    void setSideSector(dir_entry_t&, std::uint8_t, std::uint64_t) override {}
    void setRecordLength(dir_entry_t&, std::uint8_t, std::uint64_t) override {}
    void setGeosType(dir_entry_t&, std::uint8_t, std::uint64_t) override {}
    void setGeosStructure(dir_entry_t&, std::uint8_t, std::uint64_t) override {}

protected:
    bool writeImage(forge::SaveSink& sink) const override;

private:
    // One used entry and the extent of its data.
    struct tape_file_t {
        std::uint64_t slot = 0;
        std::uint64_t offset = 0;
        std::uint64_t size = 0;    // the bytes of its data that the file holds, padding left out
        std::uint64_t stored = 0;  // the bytes up to the next entry's data, padding included
        bool cutShort = false;     // its data start or run past the end of the file
        bool overshoots = false;  // its end address gives more than the next entry's data leave it
        bool endAgrees = false;   // its end address gives the extent its data have
        std::uint8_t faults = 0;  // what its entry and the others' do not account for
    };
    // Faults of a tape file: its data lie in the header and directory, start where another
    // entry's do, its end address and the data offsets disagree, or another entry's data are
    // not placed and its own end address does not tell where it ends.
    static constexpr std::uint8_t kInsideDirectory = 1;
    static constexpr std::uint8_t kSharesData = 2;
    static constexpr std::uint8_t kDisagrees = 4;
    static constexpr std::uint8_t kUnplaced = 8;

    std::uint64_t tapeSize() const;
    // `length` bytes of the file from `offset`, or an empty span when they are not all there.
    std::span<std::uint8_t> tapeBytes(std::uint64_t offset, std::uint64_t length) const;
    // Writes bytes into the file, journalling the old ones.
    bool setTapeBytes(std::uint64_t offset, std::span<const std::uint8_t> bytes, const std::string& name);
    bool setWord(std::uint64_t offset, std::uint64_t value, std::size_t length, const std::string& name);
    // The entries of the directory, and those its header promises.
    std::uint64_t slotCount() const;
    std::uint64_t headerSlots() const;
    // The directory: the slots the header promises up to where the file ends or the data of
    // an entry read so far begin, and the used entries after them up to there.
    std::uint64_t slotsBeforeData(std::uint64_t promised) const;
    std::span<std::uint8_t> slotBytes(std::uint64_t slot) const;
    // The entries whose type says they hold a file.
    std::uint64_t usedSlots() const;
    // The slot of the index-th entry, counting used ones only unless `includeEmpty`.
    std::optional<std::uint64_t> slotOfIndex(std::uint64_t index, bool includeEmpty) const;
    // Where a CBM view's data offset (its low 24 bits) and name lead: an index into the files.
    struct view_key_t {
        std::uint64_t offset = 0;
        std::array<std::uint8_t, 16> name{};
        std::size_t file = 0;
        auto operator<=>(const view_key_t&) const = default;
    };
    // The used entries: their slots in order, and their files by data offset, each with its
    // data size. Kept until the tape's bytes change (every write below forgets it; a size
    // change that undo makes is seen by the size).
    struct tape_index_t {
        bool valid = false;
        std::uint64_t size = 0;
        std::uint64_t slots = 0;
        std::vector<std::uint64_t> used;
        std::vector<tape_file_t> files;
        std::vector<std::size_t> fileOfSlot;  // index into files, or kNoFile
        std::vector<view_key_t> byView;       // in order
    };
    static constexpr std::size_t kNoFile = static_cast<std::size_t>(-1);
    const tape_index_t& tapeIndex() const;
    // Sizes a file whose data end where the next entry's data begin (`bound`); `shared` when
    // other entries start their data at its offset, `last` when none start theirs further on.
    void measureFile(tape_file_t& file, std::uint64_t bound, bool shared, bool last) const;
    void forgetIndex() { index_.valid = false; }
    std::optional<tape_file_t> fileOfSlot(std::uint64_t slot) const;
    // The file whose data start at `offset`, as a CBM view keeps it; of several, the one with
    // the entry's name.
    std::optional<tape_file_t> fileAtOffset(std::uint64_t offset, const dir_entry_t* named = nullptr) const;
    // The file a directory entry the tape handed out names.
    std::optional<tape_file_t> fileOfEntry(const dir_entry_t& entry) const;
    void appendFileData(const tape_file_t& file, bytes_t& out) const;
    // Adds a 32-byte tape entry at a slot position: into the nearest free slot, else into a
    // new one, which moves all data 32 bytes on.
    bool addTapeEntry(std::uint64_t position, std::span<const std::uint8_t, kEntrySize> tapeEntry);
    bool resizeTape(std::uint64_t bytes);
    // Moves the file's bytes from `from` on by `distance` toward its end, or toward its start.
    void shiftTail(std::uint64_t from, std::uint64_t distance, bool up);

    std::array<std::uint8_t, kEntrySize> view_{};
    mutable tape_index_t index_;
};

}  // namespace platter
