#include <algorithm>

#include "platter/core/disk.hpp"

namespace platter {

namespace {

constexpr std::size_t kMaxRevertBytes = 8192;

}  // namespace

bool Disk::pushUndoRecord(std::uint32_t kind, const track_sector_t& block, std::uint64_t value,
                          std::span<const std::uint8_t> bytes, const std::string& name) {
    // Every edit journals what it changes, also while the journal is suspended.
    forgetWalks();
    return journal_.push(kind, block, value, bytes, name, includeEmpty_);
}

bool Disk::beginUndoGroup() { return pushUndoRecord(kUndoGroupStart, track_sector_t{}, 0); }

bool Disk::endUndoGroup(const std::string& name) {
    return pushUndoRecord(kUndoGroupEnd, track_sector_t{}, 0, {}, name);
}

std::string Disk::lastUndoName() const {
    const undo_record_t* newest = journal_.newest();
    return newest ? newest->name : std::string();
}

bool Disk::undo() {
    std::unique_ptr<undo_record_t> record = journal_.pop();
    if (!record) return false;
    // Both flags come back as they were, also after a nested group undo.
    const bool wasIncludeEmpty = includeEmpty_;
    const bool wasSuspended = journal_.suspended();
    journal_.setSuspended(true);
    includeEmpty_ = record->includeEmpty != 0;
    bool result = true;
    if (!undoRecord(*record)) {
        if (record->kind == kUndoGroupStart)
            result = false;
        else
            revertRecord(*record);
    }
    includeEmpty_ = wasIncludeEmpty;
    journal_.setSuspended(wasSuspended);
    forgetWalks();
    if (result && journal_.empty()) setModified(false);
    return result;
}

void Disk::revertRecord(const undo_record_t& r) {
    const std::uint64_t index = r.entryIndex;
    auto savedByte = [&r]() -> std::uint8_t { return r.saved.empty() ? 0 : r.saved[0]; };
    auto storedCopy = [this, index](dir_entry_t& copy) {
        const std::uint8_t* stored = entryAt(index);
        if (!stored) return false;
        copy = dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, dir_entry_t::kSize));
        return true;
    };
    dir_entry_t entry;
    switch (r.kind) {
        case kUndoBytes:
        case kUndoBamSnapshot: {
            if (r.saved.size() > kMaxRevertBytes || r.value >= kBlockSize) break;
            if (r.value + r.saved.size() > kBlockSize) break;
            if (std::uint8_t* data = blockPointer(r.block)) std::copy(r.saved.begin(), r.saved.end(), data + r.value);
            break;
        }
        case kUndoMoveDown: moveEntry(true, index); break;
        case kUndoMoveUp: moveEntry(false, index); break;
        case kUndoEntryRemoved:
            if (r.saved.size() >= dir_entry_t::kSize) {
                const dir_entry_t saved = dir_entry_t::fromBytes(r.saved);
                insertEntry(static_cast<std::int64_t>(index), saved,
                            static_cast<std::uint32_t>(saved.bytes[2] * 256 + saved.bytes[3]));
            }
            break;
        case kUndoEntryInserted: deleteFile(index, false, false); break;
        case kUndoErrorByte: setErrorCode(r.block, savedByte()); break;
        case kUndoGeometry: restoreGeometry(r); break;
        case kUndoExtendErrors: toggleErrorBytes(); break;
        case kUndoToggleBlock: toggleBlock(r.block); break;
        case kUndoRun:
            for (std::uint64_t i = 0; i < r.value; ++i) undo();
            break;
        case kUndoGroupEnd:
            while (undo()) {}
            break;
        case kUndoSplat:
            if (storedCopy(entry)) setSplat(entry, savedByte() != 0, index);
            break;
        case kUndoLock:
            if (storedCopy(entry)) setLocked(entry, savedByte() != 0, index);
            break;
        case kUndoFileType:
            if (r.saved.size() == 1) {
                if (storedCopy(entry)) setFileType(entry, savedByte(), index);
            } else if (std::uint8_t* stored = entryAt(index)) {
                std::copy_n(r.saved.begin(), std::min<std::size_t>(r.saved.size(), 30), stored + 2);
            }
            break;
        case kUndoSize:
            if (std::uint8_t* stored = entryAt(index); stored && r.saved.size() >= 2) {
                stored[30] = r.saved[0];
                stored[31] = r.saved[1];
            }
            break;
        case kUndoFileName: {
            std::array<std::uint8_t, 16> name;
            name.fill(0xa0);
            std::copy_n(r.saved.begin(), std::min<std::size_t>(r.saved.size(), 16), name.begin());
            writeEntryName(index, name);
            break;
        }
        case kUndoDiskName:
            if (r.saved.size() >= 16) setDiskName(std::span<const std::uint8_t, 16>(r.saved.data(), 16));
            break;
        case kUndoDiskId:
            if (r.saved.size() >= 5) setDiskId(std::span<const std::uint8_t, 5>(r.saved.data(), 5));
            break;
        case kUndoGeosType:
            if (storedCopy(entry)) setGeosType(entry, savedByte(), index);
            break;
        case kUndoTime:
            if (r.saved.size() >= 5 && storedCopy(entry))
                setTime(entry, std::span<const std::uint8_t, 5>(r.saved.data(), 5), index);
            break;
        case kUndoTrack:
            if (storedCopy(entry)) setStartTrack(entry, savedByte(), index);
            break;
        case kUndoSector:
            if (storedCopy(entry)) setStartSector(entry, savedByte(), index);
            break;
        case kUndoSideTrack:
            if (storedCopy(entry)) setSideTrack(entry, savedByte(), index);
            break;
        case kUndoSideSector:
            if (storedCopy(entry)) setSideSector(entry, savedByte(), index);
            break;
        case kUndoGeosStructure:
            if (storedCopy(entry)) setGeosStructure(entry, savedByte(), index);
            break;
        case kUndoOpenDir: closeDirectory(false); break;
        case kUndoCloseDir: {
            track_sector_t first;
            if (storedCopy(entry)) openDirectory(entry, first, false);
            break;
        }
        case kUndoRecordLength:
            if (storedCopy(entry)) setRecordLength(entry, savedByte(), index);
            break;
        default: break;  // kinds 29-32 belong to classes; others are never pushed
    }
}

Disk::UndoGroup::~UndoGroup() {
    if (done_) return;
    // Roll back only a group that was journalled (nothing is while suspended).
    if (disk_.endUndoGroup("")) disk_.undo();
}

void Disk::UndoGroup::commit(const std::string& name) {
    if (done_) return;
    done_ = true;
    disk_.endUndoGroup(name);
}

}  // namespace platter
