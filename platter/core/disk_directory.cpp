#include <algorithm>
#include <limits>

#include "platter/core/disk.hpp"
#include "platter/core/cbm_wildcard.hpp"
#include "platter/core/format_registry.hpp"

namespace platter {

namespace {

// An entry that has ever been used: type set, or a deleted entry whose bytes
// 16-31 still hold something. Slots of 32 zero bytes never count.
bool slotCounts(const std::uint8_t* entry, bool includeEmpty) {
    if (entry[2] != 0) return true;
    return includeEmpty && std::any_of(entry + 16, entry + 32, [](std::uint8_t b) { return b != 0; });
}

// A directory chain of CBM blocks: eight entries a block, linked by its first two bytes.
struct cbm_directory_chain_t {
    static constexpr std::size_t kEntries = Disk::kEntriesPerBlock;
    static constexpr std::size_t kEntryBytes = dir_entry_t::kSize;
    static constexpr std::size_t kBlockBytes = Disk::kBlockSize;
    static constexpr std::size_t maxBlocks = std::numeric_limits<std::size_t>::max();
    Disk& disk;
    bool includeEmpty;

    // Null where the chain rule ends the walk: a block outside the image or the partition
    // entered, a header or BAM block, or one the image lacks or cannot read.
    std::uint8_t* block(const track_sector_t& at) {
        return disk.blockRole(at, walk_kind::directory) == block_role::data ? disk.blockPointer(at) : nullptr;
    }
    static track_sector_t next(const std::uint8_t* data) {
        return data[0] == 0 ? noBlock() : makeBlock(data[0], data[1]);
    }
    bool counts(const std::uint8_t* entry) const { return slotCounts(entry, includeEmpty); }
};

struct geos_field_info_t {
    std::size_t offset;
    std::size_t length;
    const char* setterName;
};

constexpr geos_field_info_t geosFieldInfo(geos_info_field field) {
    switch (field) {
        case geos_info_field::LoadAddress: return {71, 2, "GEOS Load Address"};
        case geos_info_field::EndAddress: return {73, 2, "GEOS End Address"};
        case geos_info_field::StartAddress: return {75, 2, "GEOS Start Address"};
        case geos_info_field::Class: return {77, 20, "GEOS Class"};
        case geos_info_field::Author: return {97, 20, "GEOS Author"};
        case geos_info_field::Creator: return {117, 20, "GEOS Creator"};
        case geos_info_field::Description: break;
    }
    return {160, 96, "GEOS Description"};
}

}  // namespace

std::uint64_t Disk::countDirectoryEntries() {
    std::uint64_t count = 0;
    for (const track_sector_t& block : directoryChain()) {
        const std::uint8_t* data = blockPointer(block);
        if (!data) break;
        for (std::uint64_t k = 0; k < kEntriesPerBlock; ++k) {
            if (includeEmpty_ || data[k * 32 + 2] != 0) ++count;
        }
    }
    entryCount_ = count;
    return count;
}

std::vector<track_sector_t> Disk::directoryChain() const {
    std::vector<track_sector_t> blocks;
    const chain_stop_t stop = walkDirectoryChain(blocks);
    directoryWalk_ = {true, dirStart_, stop, blocks, false};
    return blocks;
}

const std::vector<track_sector_t>& Disk::directoryBlocks() const {
    if (!directoryWalk_.valid || directoryWalk_.start != dirStart_) directoryChain();
    if (!directoryWalk_.sorted) {
        std::sort(directoryWalk_.blocks.begin(), directoryWalk_.blocks.end());
        directoryWalk_.sorted = true;
    }
    return directoryWalk_.blocks;
}

const chain_stop_t& Disk::directoryWalkStop() const {
    if (!directoryWalk_.valid || directoryWalk_.start != dirStart_) directoryChain();
    return directoryWalk_.stop;
}

chain_stop_t Disk::walkDirectoryChain(std::vector<track_sector_t>& blocks) const {
    return chainStop(dirStart_, walk_kind::directory, &blocks);
}

std::vector<entry_slot_t> Disk::directorySlots() {
    std::vector<entry_slot_t> slots;
    for (const track_sector_t& block : directoryChain()) {
        for (std::uint64_t k = 0; k < kEntriesPerBlock; ++k) slots.push_back(entry_slot_t{block, k * 32});
    }
    return slots;
}

// Goes on from the entry found last when it can (entry_cursor_t), else from the directory start;
// either way the same blocks count, in the same order, with the same loop check.
std::uint8_t* Disk::locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* outBlock,
                                std::uint64_t* outSlot) {
    cbm_directory_chain_t chain{*this, includeEmpty};
    std::uint8_t* entry = entryCursor_.find(dirStart_, includeEmpty, index, chain);
    if (entry) entryCursor_.tellPlace(outBlock, outSlot);
    return entry;
}

bool Disk::getEntry(std::uint64_t index, bool includeEmpty, dir_entry_t& out) {
    track_sector_t block;
    std::uint64_t slot = 0;
    return getEntryAndLocation(index, includeEmpty, out, block, slot);
}

bool Disk::getEntryAndLocation(std::uint64_t index, bool includeEmpty, dir_entry_t& out, track_sector_t& block,
                               std::uint64_t& slot) {
    const std::uint8_t* entry = locateEntry(index, includeEmpty, &block, &slot);
    if (!entry) return false;
    out = dir_entry_t::fromBytes(std::span<const std::uint8_t>(entry, dir_entry_t::kSize));
    return true;
}

bool Disk::subdirectoryStart(const dir_entry_t& entry, track_sector_t& first) {
    if (!holdsDirectory(entry) || partitionFault(entry) != block_range_fault::none) return false;
    // A 1581 partition is entered only when it starts a track.
    if (entry.fileType() == kTypeCbm && entry.bytes[4] != 0) return false;
    const std::uint8_t* header = blockPointer(entry.firstBlock());
    if (!header) return false;
    first = makeBlock(header[0], header[1]);
    return true;
}

bool Disk::startsEnclosingDirectory(const track_sector_t& first) const {
    return first == dirStart_ || std::any_of(dirStack_.begin(), dirStack_.end(),
                                             [&](const dir_frame_t& frame) { return frame.savedStart == first; });
}

bool Disk::openDirectory(const dir_entry_t& entry, track_sector_t& first, bool recordUndo) {
    if (!subdirectoryStart(entry, first)) return false;
    // A first block the image lacks is entered: the walk of the directory says where it leads.
    dirStack_.push_back(dir_frame_t{dirStart_, entry.fileType(), entry.firstBlock(), dirHeader_, entry.blockCount()});
    dirStart_ = first;
    dirHeader_ = entry.firstBlock();
    countDirectoryEntries();
    if (recordUndo) pushUndoRecord(kUndoOpenDir, track_sector_t{}, 0, {}, "Open Dir");
    return true;
}

bool Disk::closeDirectory(bool recordUndo) {
    if (dirStack_.empty()) return false;
    const dir_frame_t frame = dirStack_.back();
    dirStack_.pop_back();
    dirStart_ = frame.savedStart;
    dirHeader_ = frame.savedHeader;
    countDirectoryEntries();
    if (recordUndo) {
        // Remember which entry was entered, so that undo re-enters it.
        std::uint64_t entered = 0;
        for (std::uint64_t i = 0;; ++i) {
            const std::uint8_t* e = locateEntry(i, includeEmpty_);
            if (!e) break;
            if (makeBlock(e[3], e[4]) == frame.headerBlock && (e[2] & 7) == frame.entryType) {
                entered = i;
                break;
            }
        }
        pushUndoRecord(kUndoCloseDir, track_sector_t{}, entered, {}, "Open Dir");
    }
    return true;
}

bool Disk::walkDirectory(std::span<const std::uint8_t, 16> pattern, const walk_callback& callback,
                         const stop_predicate& stop) {
    if (hasPartitionTable()) return walkPartitions(pattern, callback, stop);
    return walkDirectoryTree(pattern, callback, bytes_t{}, stop, 0);
}

// A partition is a directory tree of its own, walked with its name in front of its paths. The
// walk holds each partition only while it walks it; one that is open elsewhere stays open.
bool Disk::walkPartitions(std::span<const std::uint8_t, 16> pattern, const walk_callback& callback,
                          const stop_predicate& stop) {
    lastError_ = kErrNone;
    bool result = false;
    const std::uint64_t count = countDirectoryEntries();
    for (std::uint64_t index = 0; index < count; ++index) {
        const std::uint8_t* stored = locateEntry(index, includeEmpty_);
        if (!stored) break;
        const dir_entry_t entry = dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, dir_entry_t::kSize));
        if (cbmWildcardMatch(pattern, entry.name())) {
            callback(stored, bytes_t{});
            result = true;
        }
        if (const std::shared_ptr<Disk> partition = openPartition(entry)) {
            const bytes_t name(entry.name().begin(), entry.name().end());
            const auto inner = [&](const std::uint8_t* found, const bytes_t& innerPath) {
                bytes_t full = name;
                if (!innerPath.empty()) full.push_back('/');
                full.insert(full.end(), innerPath.begin(), innerPath.end());
                callback(found, full);
            };
            result = partition->walkDirectory(pattern, inner, stop) || result;
        }
        if (stop && stop()) break;
    }
    return result;
}

bool Disk::walkDirectoryTree(std::span<const std::uint8_t, 16> pattern, const walk_callback& callback,
                             const bytes_t& dirPath, const stop_predicate& stop, std::size_t depth) {
    lastError_ = kErrNone;
    bool result = false;
    for (std::uint64_t index = 0;; ++index) {
        const std::uint8_t* stored = locateEntry(index, includeEmpty_);
        if (!stored) break;
        const dir_entry_t entry = dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, dir_entry_t::kSize));
        if (cbmWildcardMatch(pattern, entry.name())) {
            callback(stored, dirPath);
            result = true;
        }
        // One that leads back into a directory it is entered from is its area's fault.
        if (partitionFault(entry) == block_range_fault::enclosingStart) {
            lastError_ = kErrDirectoryLoop;
            return false;
        }
        track_sector_t first;
        if (subdirectoryStart(entry, first)) {
            if (depth + 1 >= kMaxDirectoryDepth) {
                lastError_ = kErrDirectoryLoop;
                return false;
            }
            if (openDirectory(entry, first, true)) {
                bytes_t subPath = dirPath;
                if (!subPath.empty()) subPath.push_back('/');
                subPath.insert(subPath.end(), entry.name().begin(), entry.name().end());
                const bool sub = walkDirectoryTree(pattern, callback, subPath, stop, depth + 1);
                const std::uint32_t subError = lastError_;
                closeDirectory(true);
                if (subError == kErrDirectoryLoop) {
                    lastError_ = subError;
                    return false;
                }
                result = result || sub;
                // Entries of this directory may have moved while the
                // subdirectory was open; the current entry index still holds.
            }
        }
        if (stop && stop()) break;
    }
    return result;
}

std::uint16_t Disk::loadAddress(std::uint64_t index) {
    const std::uint8_t* stored = entryAt(index);
    if (!stored || (stored[2] & 7) != kTypePrg) return 0;
    const track_sector_t first = makeBlock(stored[3], stored[4]);
    if (!isBlockReadable(first)) return 0;
    const std::uint8_t* data = blockPointer(first);
    if (!data) return 0;
    return static_cast<std::uint16_t>(data[2] | (data[3] << 8));
}

const container_format_t* Disk::fileTypeInfo(const dir_entry_t& entry) const {
    return formatByCbmType(entry.fileType());
}

bool Disk::isGeosFile(const dir_entry_t& entry) {
    if (!entry.saysGeos() || (entry.bytes[21] == 0 && entry.bytes[22] == 0)) return false;
    return blockPointer(entry.sideBlock()) != nullptr;
}

std::uint8_t* Disk::geosInfoBlock(const dir_entry_t& entry) { return blockPointer(entry.sideBlock()); }

std::uint16_t Disk::geosInfoWord(const dir_entry_t& entry, geos_info_field field) {
    const std::uint8_t* info = geosInfoBlock(entry);
    const geos_field_info_t f = geosFieldInfo(field);
    if (!info || f.length != 2) return 0;
    return static_cast<std::uint16_t>(info[f.offset] | (info[f.offset + 1] << 8));
}

std::string Disk::geosInfoText(const dir_entry_t& entry, geos_info_field field) {
    const std::uint8_t* info = geosInfoBlock(entry);
    const geos_field_info_t f = geosFieldInfo(field);
    if (!info || f.length == 2) return {};
    const std::uint8_t* begin = info + f.offset;
    const std::uint8_t* end = std::find(begin, begin + f.length, std::uint8_t{0});
    return std::string(begin, end);
}

bool Disk::setGeosInfoWord(const dir_entry_t& entry, geos_info_field field, std::uint16_t value) {
    const geos_field_info_t f = geosFieldInfo(field);
    if (f.length != 2) return false;
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value & 0xff), static_cast<std::uint8_t>(value >> 8)};
    return setBlockBytes(entry.sideBlock(), f.offset, bytes, f.setterName);
}

bool Disk::setGeosInfoText(const dir_entry_t& entry, geos_info_field field, const std::string& text) {
    const geos_field_info_t f = geosFieldInfo(field);
    if (f.length == 2) return false;
    bytes_t bytes(f.length, 0);
    std::copy_n(text.begin(), std::min(text.size(), f.length), bytes.begin());
    return setBlockBytes(entry.sideBlock(), f.offset, bytes, f.setterName);
}

}  // namespace platter
