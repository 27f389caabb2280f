#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "forge/raster_image.hpp"
#include "forge/save_file.hpp"
#include "platter/core/block_range_fault.hpp"
#include "platter/core/block_role.hpp"
#include "platter/core/convert_records.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/disk_damage.hpp"
#include "platter/core/entry_read.hpp"
#include "platter/core/entry_cursor.hpp"
#include "platter/core/export_options.hpp"
#include "platter/core/listing_output.hpp"
#include "platter/core/track_sector.hpp"
#include "platter/core/undo_journal.hpp"
#include "platter/core/zipcode_part.hpp"
#include "platter/ids/format_id.hpp"
#include "platter/petscii/file_type_names.hpp"

namespace platter {

class DataProvider;
class PetsciiWriter;
struct container_format_t;

// Last-error codes kept in an image.
enum disk_error : std::uint32_t {
    kErrNone = 0,
    kErrImportFailed = 1,
    kErrDiskFull = 2,
    kErrHostRead = 3,
    kErrStreamWrite = 4,
    kErrOpenFile = 5,
    kErrExtractRead = 6,
    kErrExtractWrite = 7,
    kErrImageWrite = 8,
    kErrPastImage = 9,
    kErrNoPartitionRoom = 12,
    kErrArchiveImport = 13,
    kErrDirectoryLoop = 17,
    kErrDrawFailed = 19,
    kErrNoDiskName = 20,
    kErrBadSize = 21,
    kErrUnreadableBlock = 22,
    kErrNotPartition = 23,
    kErrInsertEntry = 24,
    kErrNoPartitionSpace = 25,
};

// One entered subdirectory or partition on the directory stack.
struct dir_frame_t {
    track_sector_t savedStart{};
    std::uint32_t entryType = 0;
    track_sector_t headerBlock{};
    track_sector_t savedHeader{};
    std::uint64_t size = 0;
};

// Where an entry is stored: its directory block and the entry's byte offset in it.
struct entry_slot_t {
    track_sector_t block{};
    std::uint64_t offset = 0;
};

// The shape of an image, which its class sets with setGeometry and changes with resizeImage.
struct disk_geometry_t {
    std::uint64_t trackCount = 0;
    std::uint64_t sectorsPerTrack = 0;  // the most sectors any track holds
    std::uint64_t totalBlocks = 0;      // blocks of the image; the error table holds one byte each
    bool operator==(const disk_geometry_t&) const = default;
};

// Fields of a GEOS info block with their place and setter name.
enum class geos_info_field { LoadAddress, EndAddress, StartAddress, Class, Author, Creator, Description };

// The abstract container image: 256-byte blocks by track and sector over a
// DataProvider, the directory, file chains, the undo journal and the last
// error. A format class supplies geometry, BAM, directory order, allocation,
// name/id and formatting; everything else is written here in terms of those.
//
// Block pointers and views stay valid only until the provider is resized (extendDisk,
// resize, undo of those); never hold one across such calls.
//
// A format class sets its shape and fixed blocks through the protected setters; the state
// below is private to this base.
class Disk : public BlockRoles {
public:
    static constexpr std::uint64_t kBlockSize = 256;
    static constexpr std::uint64_t kEntriesPerBlock = 8;
    // Nested directory recursion stops here with kErrDirectoryLoop.
    static constexpr std::size_t kMaxDirectoryDepth = 64;

    using path = std::filesystem::path;
    using bytes_t = std::vector<std::uint8_t>;
    // Walk callback: (stored entry bytes, path of PETSCII names joined by '/').
    using walk_callback = std::function<void(const std::uint8_t* entry, const bytes_t& dirPath)>;
    using stop_predicate = std::function<bool()>;

    explicit Disk(format_id id);
    virtual ~Disk();
    Disk(const Disk&) = delete;
    Disk& operator=(const Disk&) = delete;

    // ---- Lifecycle (disk_model.cpp) ----
    virtual bool open(const path& file, bool existing, bool format = false, std::uint32_t formatArg = 0);
    // Opens `bytes`, read from `file` by the caller, as an existing image: the same as
    // `open(file, true)` without reading the file again, so it also serves pipes and
    // standard input. The bytes become the content of an owned provider without a copy;
    // an image that already has a provider gets them assigned instead. Both ways of
    // opening end in `parseImage`, the hook a class reads its layout in, and fail when it
    // found no image of the class at all.
    bool openBytes(const path& file, bytes_t bytes);
    // The same over a provider that holds the file `file` (one that reads it on demand).
    bool openProvider(const path& file, std::unique_ptr<DataProvider> provider);
    virtual void close() {}
    virtual bool loadImage(const path& file);
    virtual void parseImage() {}
    // Writes the image to where it came from, as saveAs does.
    virtual std::optional<forge::save_failure_t> save() { return saveAs(imagePath_); }
    // The extension of `target` chooses what is written: a listing document or picture of the
    // directory, or else the image's blocks (and error bytes) under the image's extension when
    // the registry knows none. Everything goes through the save routine (forge/save_file.hpp);
    // an image whose damage report does not allow it is refused (last error 8). Nothing on
    // success, else why not.
    virtual std::optional<forge::save_failure_t> saveAs(const path& target, const listing_request_t& request = {});
    virtual void setModified(bool on) { modified_ = on; }
    virtual bool resize(std::uint64_t bytes);

    // ---- Identity ----
    format_id formatId() const { return formatId_; }
    virtual bool isResizable() const { return true; }
    virtual bool hasCbmPartitions() const { return false; }
    virtual bool hasNativeSubdirectories() const { return false; }
    // A partition (type 5) on an image with CBM partitions, or a subdirectory (type 6) on one
    // with native subdirectories. Elsewhere, as on a 1541, such entries are chained files.
    virtual bool holdsDirectory(const dir_entry_t& entry) const {
        return (entry.fileType() == kTypeCbm && hasCbmPartitions()) ||
               (entry.fileType() == kTypeDir && hasNativeSubdirectories());
    }
    virtual bool hasPartitionTable() const { return false; }
    virtual bool isCbmDosImage() const { return true; }
    // The type names its DOS shows, and the type word of one entry in a listing.
    virtual type_name_table typeNameTable() const { return type_name_table::dos1541; }
    virtual std::string typeWord(const dir_entry_t& entry) const {
        return fileTypeName(typeNameTable(), entry.typeByte());
    }
    // Whether its listings end with a blocks-free line.
    virtual bool showsBlocksFree() const { return true; }
    // Whether its entries carry the CBM closed and locked flags (a partition table's do not).
    virtual bool showsEntryFlags() const { return true; }
    // The size of an entry in 256-byte blocks as a listing shows it.
    virtual std::uint64_t entryBlocks(const dir_entry_t& entry) const { return entry.blockCount(); }
    virtual bool makeGeosDisk() { return false; }
    virtual bool isGeosDisk() const { return false; }
    virtual bool canMakeGeosDisk() const { return false; }
    virtual bool sizeRange(std::uint64_t& min, std::uint64_t& max, std::uint64_t& current);
    virtual bool extendDisk(bool /*grow*/) { return false; }
    virtual std::uint64_t defaultSubdirectorySize() const { return 0; }
    virtual bool createSubdirectory(std::uint64_t /*index*/, std::uint64_t /*blocks*/) { return false; }

    // ---- What a format class supplies ----
    virtual std::uint64_t blocksFree() const = 0;
    virtual bool isValidBlock(const track_sector_t& block) const = 0;
    // Whether `block` lies in the current directory's area: a block of the image, and of the
    // partition entered (a kind whose partitions are entered answers for their area).
    virtual bool holdsBlock(const track_sector_t& block) const { return isValidBlock(block); }
    // What `block` is to a walk of `kind` in the current directory, the one answer every walk
    // of linked blocks asks (chain_walk.hpp): outside the area, the header of the image or of
    // a directory entered, a BAM block, one of the current directory's blocks (for a file's
    // chain), one the file ends before, one that holds no data, or data. A lookup: the
    // directory's blocks are those its last walk kept. A kind whose blocks are laid out
    // otherwise answers for its layout.
    block_role blockRole(const track_sector_t& block, walk_kind kind) const override;
    virtual bool isBlockFree(const track_sector_t& block) const = 0;
    // Flips the BAM bit (journals kind 10). Invalid blocks: false, nothing journalled.
    virtual bool toggleBlock(const track_sector_t& block) = 0;
    virtual bool isBamBlock(const track_sector_t& block) const = 0;
    virtual std::uint64_t blockOffset(const track_sector_t& block) const = 0;
    // The format's fixed directory order; a sector of kNoSector in gives the
    // first block, kNoSector out ends the directory.
    virtual bool nextDirectorySector(track_sector_t& block) = 0;
    // Next free block after `block` ({0,0}: the first block of a file) in the
    // format's order; stored back into `block`; null when the image is full.
    virtual std::uint8_t* allocateBlock(track_sector_t& block, bool markUsed) = 0;
    virtual const std::uint8_t* diskName() const = 0;  // 16 bytes, or null
    virtual const std::uint8_t* diskId() const = 0;    // id1 id2 0xA0 dos1 dos2, or null
    virtual void initBam() = 0;
    virtual bool formatImage(std::uint32_t formatArg) = 0;
    virtual void snapshotBam() = 0;

    // ---- Blocks (disk_blocks.cpp) ----
    // The block's 256 bytes; empty when the block is invalid or not all of it lies inside the data.
    std::span<std::uint8_t> blockBytes(const track_sector_t& block);
    std::span<const std::uint8_t> blockBytes(const track_sector_t& block) const;
    // Null unless the block is valid and all of its 256 bytes lie inside the provider.
    virtual std::uint8_t* blockPointer(const track_sector_t& block);
    virtual std::uint64_t maxSector(std::uint64_t track) const;
    // The sectors of `track`; none for a track the image does not have.
    std::uint64_t sectorCount(std::uint64_t track) const {
        return isValidBlock(makeBlock(track, 0)) ? maxSector(track) + 1 : 0;
    }
    std::uint8_t* sectorPointer(std::uint64_t track, std::uint64_t sector) {
        return blockPointer(makeBlock(track, sector));
    }
    std::uint8_t* sectorPointer(const track_sector_t& block) { return blockPointer(block); }
    bool readSector(const track_sector_t& block, std::span<std::uint8_t, kBlockSize> out);
    // False for a block whose provider could not decode it, or whose error byte records a read
    // the drive could not make; a kind that keeps its own bytes has every other block readable.
    bool isBlockReadable(const track_sector_t& block);
    // A block's bytes, or null when the image lacks the block or it holds no data.
    std::uint8_t* readableBlock(const track_sector_t& block) {
        std::uint8_t* data = blockPointer(block);
        return data && isBlockReadable(block) ? data : nullptr;
    }
    std::uint64_t providerSize() const;
    std::uint8_t* providerData(std::uint64_t offset);
    std::uint8_t* providerData(std::uint64_t offset, const track_sector_t& block);
    bool toggleBlockAt(std::uint64_t track, std::uint64_t sector) { return toggleBlock(makeBlock(track, sector)); }
    bool findFreeSector(std::uint64_t track, track_sector_t& block, std::uint64_t interleave,
                        std::uint64_t sectorsOnTrack);
    bool getDiskName(std::span<std::uint8_t, 16> out) const;
    bool getDiskId(std::span<std::uint8_t, 5> out) const;
    // Copies bytes into a block at an offset (cut at the block's end; nothing
    // from offset 256 on), journalled as kind 1 under `name`.
    bool setBlockBytes(const track_sector_t& block, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                       const std::string& name = "Set Bytes");

    // Uses a provider the caller keeps alive; `adoptDataProvider` hands ownership over.
    void setDataProvider(DataProvider* provider);
    void adoptDataProvider(std::unique_ptr<DataProvider> provider);
    // Adopts `provider` and hands back the one it replaces when this image owned that one.
    std::unique_ptr<DataProvider> replaceDataProvider(std::unique_ptr<DataProvider> provider);
    DataProvider* dataProvider() const { return provider_; }
    void setPathForFormat(const path& file);

    // ---- Error bytes (disk_errors.cpp) ----
    virtual bool toggleErrorCodeMode();
    virtual bool toggleErrorBytes();
    virtual std::uint8_t errorCode(const track_sector_t& block);
    virtual bool setErrorCode(const track_sector_t& block, std::uint32_t code);
    bool setErrorBytes(bool present, std::uint8_t fillCode);
    void loadErrorBytes(std::uint64_t count);
    std::uint8_t* errorBytePointer(const track_sector_t& block);
    const bytes_t& errorBytes() const;
    // Whether the block's error byte records a read the drive could not make, while its provider
    // holds its bytes: the image's own content, which a save keeps. Asks only the error bytes
    // loaded so far (a kind that loads them late answers through its provider until then).
    bool recordsFailedRead(const track_sector_t& block) const;
    // Whether error bytes are loaded, asked without completing the image: when none are, no
    // block records a failed read.
    bool errorBytesLoaded() const { return hasErrorBytes_ && !errorBytes_.empty(); }

    // ---- Directory (disk_directory.cpp) ----
    virtual std::uint64_t countDirectoryEntries();
    // Stored entry bytes (32) of the index-th entry, or null.
    virtual std::uint8_t* locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* block = nullptr,
                                      std::uint64_t* slot = nullptr);
    virtual std::uint8_t* entryAt(std::uint64_t index) { return locateEntry(index, includeEmpty_); }
    virtual bool getEntry(std::uint64_t index, bool includeEmpty, dir_entry_t& out);
    virtual bool getEntryAndLocation(std::uint64_t index, bool includeEmpty, dir_entry_t& out, track_sector_t& block,
                                     std::uint64_t& slot);
    virtual track_sector_t firstBlock(const dir_entry_t& entry) const { return entry.firstBlock(); }
    // The blocks of the current directory chain in order, up to a link past the image, a
    // block met before or a block that cannot be read; where the walk ended is kept.
    std::vector<track_sector_t> directoryChain() const;
    virtual bool openDirectory(const dir_entry_t& entry, track_sector_t& first, bool recordUndo);
    // The image a partition-table entry holds, shared with whoever has it open already; null for
    // an entry that holds none. The view never outlives this image's bytes: closing or destroying
    // the image empties every view still open.
    virtual std::shared_ptr<Disk> openPartition(const dir_entry_t& /*entry*/) { return nullptr; }
    bool closeDirectory(bool recordUndo);
    std::size_t directoryDepth() const { return dirStack_.size(); }
    // The subdirectory or partition entered last, or null at the top level.
    const dir_frame_t* directoryFrame() const { return dirStack_.empty() ? nullptr : &dirStack_.back(); }
    // Every one entered, outermost first.
    std::span<const dir_frame_t> directoryFrames() const { return dirStack_; }
    // Whether a directory starting at `first` is the current one or one enclosing it.
    bool startsEnclosingDirectory(const track_sector_t& first) const;
    // Calls `callback` for every entry whose name matches the 16-byte CBM
    // wildcard pattern, descending into subdirectories and partitions; true when any matched.
    bool walkDirectory(std::span<const std::uint8_t, 16> pattern, const walk_callback& callback,
                       const stop_predicate& stop = {});
    virtual std::uint16_t loadAddress(std::uint64_t index);
    virtual std::string fileInfoText(std::uint64_t /*index*/) { return {}; }
    virtual const container_format_t* fileTypeInfo(const dir_entry_t& entry) const;
    bool isGeosFile(const dir_entry_t& entry);
    std::uint16_t geosInfoWord(const dir_entry_t& entry, geos_info_field field);
    std::string geosInfoText(const dir_entry_t& entry, geos_info_field field);
    bool setGeosInfoWord(const dir_entry_t& entry, geos_info_field field, std::uint16_t value);
    bool setGeosInfoText(const dir_entry_t& entry, geos_info_field field, const std::string& text);

    // ---- File chains (disk_chain.cpp) ----
    // bamMode 0 leaves the BAM alone, 1 marks every block used, 2 marks it free. The walk
    // follows the chain rule (chain_walk.hpp) as a walk of `kind`; `stop`, when given, says
    // where it ended.
    virtual bool readChain(std::uint64_t track, std::uint64_t sector, std::uint32_t bamMode, std::uint64_t* size,
                           bytes_t* data = nullptr, track_sector_t* last = nullptr,
                           std::vector<track_sector_t>* blocks = nullptr, bool wholeLastBlock = false,
                           chain_stop_t* stop = nullptr, walk_kind kind = walk_kind::file);
    bool readChain(const track_sector_t& start, std::uint32_t bamMode, std::uint64_t* size) {
        return readChain(start.track, start.sector, bamMode, size);
    }
    // The `count` blocks from `track`/`sector` on in block order, across track ends; nothing
    // when blockRangeFault finds one (last error 9).
    bool readBlockRange(std::uint64_t track, std::uint64_t sector, std::uint64_t count, std::uint32_t bamMode,
                        bytes_t* out, std::vector<track_sector_t>* blocks = nullptr);
    // What keeps those blocks from all being blocks of this image, without reading them.
    block_range_fault blockRangeFault(std::uint64_t track, std::uint64_t sector, std::uint64_t count) const;
    // The fault of the area an entry reserves (a partition's blocks, a subdirectory's header):
    // the one rule by which such an entry is read, entered, opened and listed. A CBM partition's
    // here, and a subdirectory's whose header links back into a directory it is entered from;
    // a kind with areas of its own answers for them. None for every other entry.
    virtual block_range_fault partitionFault(const dir_entry_t& entry) const;
    // Every block of an entry's file, appended to `blocks`: its chains (a GEOS file's info
    // block, index and records), a REL file's side sectors, a partition's area; `bamMode` as
    // readChain's. Nothing for kinds whose files are no chains of blocks.
    bool readFileBlocks(const dir_entry_t& entry, std::uint32_t bamMode, std::vector<track_sector_t>& blocks);
    // An entry's file: a chained file's data, a GEOS file in the GEOS Convert form, a
    // partition's area; and whether that is all of it (an entry noted damaged is not).
    // `blocks`, when given, receives the blocks of the chains it read.
    entry_read_t readEntry(const dir_entry_t& entry, std::vector<track_sector_t>* blocks = nullptr);
    // The same read with the bytes handed to `sink` in order instead of kept: a partition's
    // area goes a megabyte at a time, so an area of any size costs that; a file its kind reads
    // whole is handed on whole.
    entry_read_t readEntry(const dir_entry_t& entry, const entry_sink_t& sink,
                           std::vector<track_sector_t>* blocks = nullptr);
    virtual bool readFileByIndex(std::uint64_t index, bool includeEmpty, bytes_t& out);
    virtual std::uint64_t fileSize(std::uint64_t index);
    // Follows a block's link; false at the chain's end or for an unreadable block.
    virtual bool nextBlock(track_sector_t& block);
    // Where the chain of linked blocks from `start` ends, by the chain rule; `blocks`, when
    // given, receives those it read.
    chain_stop_t chainStop(const track_sector_t& start, walk_kind kind,
                           std::vector<track_sector_t>* blocks = nullptr) const;
    // Where the walk of the current directory ends, as chainStop gives it for a chain of
    // linked blocks (an entered directory's from the link of its header): what the walk behind
    // directoryChain met, not a walk of its own. A kind whose directory is laid out otherwise
    // answers for its layout.
    virtual chain_stop_t directoryStop() const;

    // ---- Undo journal (disk_undo.cpp) ----
    bool pushUndoRecord(std::uint32_t kind, const track_sector_t& block, std::uint64_t value,
                        std::span<const std::uint8_t> bytes = {}, const std::string& name = {});
    bool pushUndo(std::uint32_t kind, std::uint64_t track, std::uint64_t sector, std::uint64_t value,
                  std::span<const std::uint8_t> bytes = {}, const std::string& name = {}) {
        return pushUndoRecord(kind, makeBlock(track, sector), value, bytes, name);
    }
    bool beginUndoGroup();
    bool endUndoGroup(const std::string& name);
    bool undo();
    std::string lastUndoName() const;
    const UndoJournal& journal() const { return journal_; }
    // While set, edits are not journalled (an image's initial contents).
    void setUndoSuspended(bool on) { journal_.setSuspended(on); }
    // A class's own reversal of a record; false = not handled.
    virtual bool undoRecord(const undo_record_t& /*record*/) { return false; }

    // Begins a group; commit(name) ends it, otherwise the destructor rolls it back.
    class UndoGroup {
    public:
        explicit UndoGroup(Disk& disk) : disk_(disk) { disk_.beginUndoGroup(); }
        ~UndoGroup();
        UndoGroup(const UndoGroup&) = delete;
        UndoGroup& operator=(const UndoGroup&) = delete;
        void commit(const std::string& name);

    private:
        Disk& disk_;
        bool done_ = false;
    };

    // ---- Entry editing (disk_edit.cpp, disk_entry_fields.cpp) ----
    virtual void setFileName(dir_entry_t& entry, std::span<const std::uint8_t, 16> name, std::uint64_t index);
    virtual void setFileType(dir_entry_t& entry, std::uint8_t type, std::uint64_t index);
    virtual void setLocked(dir_entry_t& entry, bool locked, std::uint64_t index);
    virtual void setSplat(dir_entry_t& entry, bool splat, std::uint64_t index);
    virtual void setFileSize(dir_entry_t& entry, std::uint16_t blocks, std::uint64_t index);
    virtual void setTime(dir_entry_t& entry, std::span<const std::uint8_t, 5> stamp, std::uint64_t index);
    virtual void setStartTrack(dir_entry_t& entry, std::uint8_t value, std::uint64_t index);
    virtual void setStartSector(dir_entry_t& entry, std::uint8_t value, std::uint64_t index);
    virtual void setSideTrack(dir_entry_t& entry, std::uint8_t value, std::uint64_t index);
    virtual void setSideSector(dir_entry_t& entry, std::uint8_t value, std::uint64_t index);
    virtual void setRecordLength(dir_entry_t& entry, std::uint8_t value, std::uint64_t index);
    virtual void setGeosType(dir_entry_t& entry, std::uint8_t value, std::uint64_t index);
    virtual void setGeosStructure(dir_entry_t& entry, std::uint8_t value, std::uint64_t index);
    void setDiskName(std::span<const std::uint8_t, 16> name);
    virtual void setDiskId(std::span<const std::uint8_t, 5> id);
    // Copies 16 name bytes into the stored entry without a record.
    virtual std::uint8_t* writeEntryName(std::uint64_t index, std::span<const std::uint8_t, 16> name);
    virtual void swapEntries(std::uint64_t a, std::uint64_t b);
    virtual std::uint64_t moveEntry(bool up, std::uint64_t index);
    // A negative index on an empty directory means the first slot; an index
    // past the end appends. Fails with kErrInsertEntry.
    virtual bool insertEntry(std::int64_t index, const dir_entry_t& entry, std::uint32_t word = 0);
    virtual void markDeleted(dir_entry_t& entry, std::uint64_t index, bool includeEmpty);
    virtual void deleteFile(std::uint64_t index, bool freeBlocks, bool wipe);
    virtual bool findFreeDirectoryBlock(track_sector_t& block);
    void updateParentDirectory();
    // Points the header of the subdirectory whose entry is stored in `slot` back at that slot;
    // nothing on images without native subdirectories or when the entry's first block is no
    // subdirectory header.
    bool setParentLink(const entry_slot_t& slot);
    // Moves the entries first..last so that they stand before entry `to`, as one group "Move File".
    virtual bool moveEntries(std::uint64_t first, std::uint64_t last, std::uint64_t to);
    // Reorders the visible entries by name (unsigned bytes) or block count, stably, along the
    // directory's own chain; the BAM is left alone. True on success.
    virtual bool sortDirectory(bool ascending, bool bySize);
    // Stores the block count the file's chains really take.
    virtual bool recalculateFileSize(std::uint64_t index);
    // Bytes and blocks of a VLIR file's records; false when its index or a record cannot be read.
    bool vlirFileSize(const dir_entry_t& entry, std::uint64_t& bytes, std::uint64_t& blocks);
    // Appends the 256 bytes of every readable block, track by track.
    void collectBlocks(bytes_t& out);

    // ---- Entry names (disk_entry_names.cpp) ----
    // Flips the case of the letters of a name: mode 0 lower (0x61-0x7A), 1 upper (0x41-0x5A),
    // 2 both. Without `apply` only says whether anything would change.
    bool changeFileNameCase(int mode, std::uint64_t index, bool apply);
    bool changeEntryNameCase(int mode, dir_entry_t& entry, std::uint64_t index, bool apply);
    // Trims a name and pads it: mode 0 left with 0xA0, 1 left with spaces, 2 right, 3 centred.
    bool expandFileName(int mode, std::uint64_t index);
    bool expandEntryName(dir_entry_t& entry, int mode, std::uint64_t index);
    // The index of the first entry whose name (up to its first 0xA0) equals `name`'s; with
    // `prgOnly` only PRG entries take part.
    bool findEntryByName(std::span<const std::uint8_t, 16> name, std::uint64_t& index, bool prgOnly);

    // ---- Maintenance (disk_maintenance.cpp) ----
    // Marks every block of the current directory chain free (release) or used, under a BAM snapshot.
    void markDirectoryChain(bool release);
    // Moves the used entries up over the empty slots and ends the chain after the last of them,
    // as one group "Compact Directory"; false when there was nothing to do.
    virtual bool compactDirectory();
    // Fills every unused block (free in the BAM and reached by nothing, see ReachableBlocks)
    // and the unused tail of each file's last block with `value`, as one group "Fill Free Blocks".
    bool fillFreeBlocks(std::uint8_t value);
    bool fillFileTails(std::uint8_t value);

    // ---- Zipcode parts (disk_zipcode.cpp) ----
    // Decodes part `number` (1-5) of a four/five-part set into this image's blocks; part 5
    // first makes the image 40 tracks. Nothing for a part that does not load as that part
    // (loadsAsZip4Part) or a number outside 1-5; else what its records left undone: the blocks
    // of its tracks they left empty, those whose run-length record does not decode to a block
    // (a run past its end), which are left empty, and the first record that no whole part
    // holds (a second one of a block, one of a block outside its tracks), which ends the
    // decoding as a record cut short by the end of the part does.
    std::optional<zip4_part_gaps_t> unpackZip4Part(std::span<const std::uint8_t> part, unsigned number);

    // ---- Listings (disk_listing_draw.cpp, disk_listing_documents.cpp) ----
    // One line of the CBM directory listing at a row of the writer, ended with its newline.
    virtual void drawEntry(const dir_entry_t& entry, std::uint32_t row, PetsciiWriter& writer, bool reverse);
    // The line of a partition-table entry.
    void drawPartitionEntry(const dir_entry_t& entry, std::uint32_t row, PetsciiWriter& writer, bool reverse);
    // "%d BLOCKS FREE."; empty for kinds whose listings show no such line.
    std::string blocksFreeText() const;
    // The listing of the current directory and, with `recurse`, of the
    // subdirectories and partitions of the selected entries, stacked.
    virtual forge::raster_image_t renderDirectoryTree(PetsciiWriter& writer, bool recurse,
                                                      std::span<const std::uint32_t> selection);
    // Documents of the directory. The CSV listing leaves the indices out; the
    // drawn ones show only them when there are any.
    virtual bool writeListingCsv(const listing_output_t& out, bool recurse, std::span<const std::uint32_t> skip);
    virtual bool writeListingText(const listing_output_t& out, bool recurse, std::span<const std::uint32_t> shown);
    virtual bool writeListingRtf(const listing_output_t& out, bool recurse, PetsciiWriter& writer,
                                 std::span<const std::uint32_t> shown, bool withTitles);
    virtual bool writeListingHtml(const listing_output_t& out, bool recurse, PetsciiWriter& writer,
                                  std::span<const std::uint32_t> shown, bool withTitles);

    // ---- Extracting files to the host (disk_export.cpp) ----
    // Writes an entry's data as the host file `hostPath`, in the form its extension names:
    // .p00/.s00/.r00/.u00 behind their 26-byte header; PETSCII text converted for .txt, .rtf
    // and .htm(l); a .bmp or .png picture of PETSCII text, a character set or a paint picture;
    // the data as it is otherwise. Saved through the save routine; last error 5 when the file
    // could not be made, 4 when writing it failed, 7 when the data has no picture.
    bool writeHostFile(const path& hostPath, std::span<const std::uint8_t> data, const dir_entry_t& entry,
                       const PetsciiWriter& writer);
    // The index-th entry's file as writeHostFile writes it, `name` standing for the entry's
    // name. Empty data writes nothing and succeeds. Last error 6 when the data cannot be
    // read, 7 when the host file cannot be written.
    bool extractEntryAs(std::uint64_t index, const path& hostPath, std::span<const std::uint8_t, 16> name,
                        const PetsciiWriter& writer);
    // Every file of the current directory into the host directory `target` (created as
    // needed), each subdirectory and partition into a directory of its own below it. Files are
    // named after their entries (hostEntryName) with the extension of their form; a name that
    // is taken gets "~2", "~3" ..., so nothing on the host is written over. The walk goes on
    // after a failed entry; false, with its last error, when any failed.
    virtual bool exportFiles(const path& target, const export_options_t& options);
    // A DEL or USR entry whose file starts on the header track; exports leave it out.
    virtual bool isHeaderTrackEntry(const dir_entry_t& entry) const;

    // ---- Writing files (disk_import.cpp) ----
    virtual bool importHostFile(const path& file, std::int64_t position);
    virtual bool importFile(std::span<const std::uint8_t, 16> name, std::int64_t position,
                            std::span<const std::uint8_t> data, std::uint8_t recordLength,
                            const container_format_t* row);
    // Rebuilds the GEOS file of a GEOS Convert file (info block, sequential data or VLIR
    // records and their index) as a new entry at `position`. Nothing stays on the image when
    // it fails: last error 2 or 24 when there was no room, 1 for a damaged file. Records the
    // file ends before are stored as far as it holds them (an empty record when it holds none),
    // data after the last record is left out, and a record whose last-block byte gives no size
    // keeps its blocks whole; `gaps`, when given, receives all three.
    bool importCvt(std::span<const std::uint8_t> data, std::int64_t position, convert_record_gaps_t* gaps = nullptr);
    bool writeChain(std::span<const std::uint8_t> data, track_sector_t& first);
    bool createSideSectors(const track_sector_t& first, std::uint8_t recordLength, track_sector_t& side);
    bool writeRawBlocks(std::span<const std::uint8_t> data, track_sector_t start);

    // ---- Damage ----
    // Everything known to be wrong with the image, told once by whoever reads it.
    // What the walk of the directory met is the one its listing made, kept until the image changes.
    disk_damage_t damage() const;
    // The report a save is decided on: the directory walked afresh, whatever was kept.
    disk_damage_t damageBeforeSave() const;
    // Damage that a reader is told of once, one text each, in its kind's own words (the tracks
    // a G64 ends before, a tape entry whose data run past the end of the file); none for a
    // whole image, and none for a cut image whose end is all it lacks.
    virtual std::vector<std::string> damageNotes() const { return {}; }
    // Whether an entry of the current directory reserves an area its kind cannot use
    // (partitionFault); the listing and the reading of that entry name it.
    virtual bool hasAreaFaults() const { return false; }
    // What its opener knows the image lacks, in its words (a zipcode part that is missing, an
    // archive's file that was cut short): a note of the damage report.
    void noteDamage(std::string text) { openerNotes_.push_back(std::move(text)); }
    // What its opener knows of one entry it made, whose file is not whole (an archive's file
    // cut short by the end of the archive, or missing from it): `readEntry` of that entry
    // gives `outcome`, named by the report, whose notes hold `text` (empty when the note of
    // another entry names this one too).
    void noteEntryDamage(const dir_entry_t& entry, read_outcome outcome, std::string text);
    // Blocks its opener could not fill (a zipcode part missing or not decoded) are empty: like
    // one that misses blocks, such an image is never saved.
    void markIncomplete() { incomplete_ = true; }

    // ---- State ----
    std::uint32_t lastError() const { return lastError_; }
    void setLastError(std::uint32_t code) { lastError_ = code; }
    bool isModified() const { return modified_; }
    bool includeEmpty() const { return includeEmpty_; }
    void setIncludeEmpty(bool on) { includeEmpty_ = on; }
    bool hasErrorBytes() const;
    bool errorCodeMode() const { return errorCodeMode_; }
    bool growsOnDemand() const { return growsOnDemand_; }
    const disk_geometry_t& geometry() const { return geometry_; }
    std::uint64_t trackCount() const { return geometry_.trackCount; }
    std::uint64_t sectorsPerTrack() const { return geometry_.sectorsPerTrack; }
    std::uint64_t totalBlocks() const { return geometry_.totalBlocks; }
    std::uint64_t defaultImageSize() const { return defaultImageSize_; }
    std::uint64_t directoryEntryCount() const { return entryCount_; }
    const track_sector_t& directoryStart() const { return dirStart_; }
    const track_sector_t& directoryHeader() const { return dirHeader_; }
    const track_sector_t& headerBlock() const { return headerBlock_; }
    const track_sector_t& auxiliaryBlock() const { return auxBlock_; }
    int highestFileType() const { return highestFileType_; }
    const path& imagePath() const { return imagePath_; }
    const path& sourcePath() const { return sourcePath_; }

protected:
    UndoJournal& undoJournal() { return journal_; }
    // The entry's file as its kind reads it, and whether that is all of it: the one hook by
    // which an entry is read. `blocks` as readEntry's; `sink`, when given, may take the bytes
    // as they are read (`entry_read_t::take`), and readEntry hands on those the result keeps.
    virtual entry_read_t readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* blocks,
                                       const entry_sink_t* sink);
    // Takes the image's bytes from `offset` up to `end` into `read` a megabyte at a time,
    // straight from the provider, which keeps none of them. Where it stopped: `end`, or the
    // start of the first piece the provider could not give whole.
    std::uint64_t readImageBytes(std::uint64_t offset, std::uint64_t end, entry_read_t& read, const entry_sink_t* sink);
    // A class that reads its blocks on first use reads the rest here and
    // loads its error bytes: called before the error table is looked at and
    // before the image is resized or written.
    virtual void completeImage() {}
    // The layout check of a fixed-geometry image: the default image size, or
    // that size followed by one error byte per block; any other size is
    // flagged as unknown (error 21).
    void parseFixedSizeImage();
    // The slots of the visible entries from `index` on up to the first free
    // slot after them, which comes last (a new directory block when needed).
    bool findEntrySlot(std::uint64_t index, std::vector<entry_slot_t>& slots);
    // Writes `newBytes` at `offset` of the stored entry and the caller's copy
    // when they differ (compared with the stored entry, or with the copy),
    // journalling the old bytes under an entry kind.
    void setEntryField(dir_entry_t& entry, std::uint64_t index, std::size_t offset,
                       std::span<const std::uint8_t> newBytes, std::uint32_t kind, const std::string& name,
                       bool compareStored = false);
    // Journals the stored entry's type byte as a kind-1 record.
    bool recordTypeByte(std::uint64_t index, const std::string& name);
    std::uint8_t* slotPointer(const entry_slot_t& slot);
    // Every entry slot of the current directory chain, eight a block.
    std::vector<entry_slot_t> directorySlots();
    // Writes `entries` (bytes 2-31) into the first slots and clears the others, journalling each
    // block that changes, and relinks moved subdirectories; true when anything changed.
    bool rewriteDirectorySlots(const std::vector<entry_slot_t>& slots, const std::vector<dir_entry_t>& entries);

    // The walk behind directoryChain and directoryStop: the current directory's blocks in order
    // into `blocks`, and where it ended. A kind whose directory chain links otherwise (a
    // partition table) walks it here.
    virtual chain_stop_t walkDirectoryChain(std::vector<track_sector_t>& blocks) const;
    // Where the last walk of the current directory ended, walking it when no walk since the
    // last change did.
    const chain_stop_t& directoryWalkStop() const;
    // The count countDirectoryEntries keeps, for a kind that counts its entries itself.
    void setDirectoryEntryCount(std::uint64_t count) { entryCount_ = count; }
    // The shape and the fixed blocks of the kind, set by a class (in its constructor and parseImage).
    void setGeometry(const disk_geometry_t& geometry) { geometry_ = geometry; }
    void setDefaultImageSize(std::uint64_t bytes) { defaultImageSize_ = bytes; }
    void setHeaderBlock(const track_sector_t& block) { headerBlock_ = block; }
    void setDirectoryStart(const track_sector_t& block) { dirStart_ = block; }
    void setHighestFileType(int type) { highestFileType_ = type; }
    void setGrowsOnDemand(bool on) { growsOnDemand_ = on; }
    // Some valid block lies (partly) past the end of the data: a truncated image. One look at
    // the last block, as blocks lie in the file in geometry order; a kind whose file can lack
    // blocks before its end says so too.
    virtual bool missesBlocks() const;
    // From parseImage: the bytes hold no image of the class at all (a packed file that does not
    // unpack), so opening fails.
    void markUnreadable() { unreadable_ = true; }
    // A size the class does not know: sets the flag and last error 21.
    void markSizeUnknown() {
        sizeUnknown_ = true;
        lastError_ = kErrBadSize;
    }
    // First directory block of a CBM/DIR entry, or false when it has none.
    virtual bool subdirectoryStart(const dir_entry_t& entry, track_sector_t& first);
    // A change of size: the data becomes `bytes` long and the shape `geometry`, journalled with
    // the old shape, size and the bytes cut off, so that undo restores all of them.
    bool resizeImage(const disk_geometry_t& geometry, std::uint64_t bytes);
    // The content of the image file that saveAs writes: every block in order, then the error
    // bytes. A kind whose file is not made of whole blocks writes its own bytes.
    virtual bool writeImage(forge::SaveSink& sink) const;
    // Saves `out` with the writer through the save routine; on a failure sets last error 5
    // (nothing was created) or 8 and gives the routine's failure.
    std::optional<forge::save_failure_t> saveThrough(const path& out,
                                                     const std::function<bool(forge::SaveSink&)>& writer);
    // Why the image may not be saved, as a save failure; nothing when its damage allows it.
    std::optional<forge::save_failure_t> refusedSave();
    // What `block` is to the structure of the image as the current directory sees it: its
    // header, a directory entered's header, a BAM block, or data. A kind whose BAM track holds
    // other blocks too answers for them.
    virtual block_role structureRole(const track_sector_t& block) const;
    // Reads through blockPointer from a query that changes nothing visible (a provider may
    // fetch a block on demand).
    const std::uint8_t* blockData(const track_sector_t& block) const;
    // The bytes of the block a walk is at, once the walk has read it: null when it holds no
    // data (not in the file, not readable), which ends the walk.
    const std::uint8_t* walkRead(ChainWalk& walk) const;
    // Where the last entry lookup stopped, for a kind that walks a directory of its own
    // (entry_cursor_t::find); the image forgets it with every change, as for its own walk.
    entry_cursor_t& entryCursor() { return entryCursor_; }
    const entry_cursor_t& entryCursor() const { return entryCursor_; }

private:
    // What every way of opening ends with, once the provider holds the image; false when the
    // class found no image in it.
    bool finishOpen();
    // The block's place in the error bytes loaded so far, or none.
    std::optional<std::size_t> errorByteIndex(const track_sector_t& block) const;
    // Whether the block's error byte, among those loaded so far, records a failed read.
    bool errorByteMarksBlockUnread(const track_sector_t& block) const;
    // The header and BAM blocks whose error bytes record a read the drive could not make.
    std::vector<recorded_error_t> unreadHeaderBlocks() const;
    // Where the last walk of a directory chain, from `start`, ended.
    struct directory_walk_t {
        bool valid = false;
        track_sector_t start{};
        chain_stop_t stop;
        std::vector<track_sector_t> blocks;  // its blocks, sorted once blockRole asks for them
        bool sorted = false;
    };
    // The blocks of the current directory, sorted, walking it when no walk is kept.
    const std::vector<track_sector_t>& directoryBlocks() const;
    // Every change of the image may change the directory: the next entry lookup starts at the
    // directory start again, and the next question about its chain walks it again.
    void forgetWalks() {
        entryCursor_.valid = false;
        directoryWalk_.valid = false;
    }
    bool walkDirectoryTree(std::span<const std::uint8_t, 16> pattern, const walk_callback& callback,
                           const bytes_t& dirPath, const stop_predicate& stop, std::size_t depth);
    // The walk of a partition table: every entry, then the directory tree of each partition.
    bool walkPartitions(std::span<const std::uint8_t, 16> pattern, const walk_callback& callback,
                        const stop_predicate& stop);
    void revertRecord(const undo_record_t& record);
    // readEntry's one body, with or without a sink.
    entry_read_t readEntryChecked(const dir_entry_t& entry, std::vector<track_sector_t>* blocks,
                                  const entry_sink_t* sink);
    void readGeosFile(const dir_entry_t& entry, entry_read_t& read, std::vector<track_sector_t>* blocks);
    std::uint8_t* geosInfoBlock(const dir_entry_t& entry);
    void restoreGeometry(const undo_record_t& record);

    format_id formatId_;
    std::uint64_t defaultImageSize_ = 0;
    bytes_t errorBytes_;
    DataProvider* provider_ = nullptr;
    std::unique_ptr<DataProvider> ownedProvider_;
    path imagePath_;
    path sourcePath_;
    std::uint64_t entryCount_ = 0;
    track_sector_t dirStart_{};
    track_sector_t dirHeader_{};
    track_sector_t auxBlock_{};
    track_sector_t headerBlock_{};
    int highestFileType_ = kTypeRel;
    std::uint32_t lastError_ = kErrNone;
    bool modified_ = false;
    bool hasErrorBytes_ = false;
    bool errorCodeMode_ = false;
    bool includeEmpty_ = false;
    bool growsOnDemand_ = false;
    bool sizeUnknown_ = false;
    bool incomplete_ = false;
    bool unreadable_ = false;
    disk_geometry_t geometry_;
    UndoJournal journal_;
    std::vector<dir_frame_t> dirStack_;
    std::vector<std::string> openerNotes_;
    // The entries noted damaged, by their stored bytes 2-31, and the outcome of reading each.
    std::vector<std::pair<dir_entry_t, read_outcome>> damagedEntries_;
    entry_cursor_t entryCursor_;
    // Kept by every walk of the chain (opening and a listing count the entries through one),
    // so that the damage report does not walk it again.
    mutable directory_walk_t directoryWalk_;
};

}  // namespace platter
