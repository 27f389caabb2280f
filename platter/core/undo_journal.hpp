#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

// Kinds of journal records (what was changed; see Disk::undo for the reversal).
enum undo_kind : std::uint32_t {
    kUndoBytes = 1,  // block bytes replaced: block, offset, old bytes
    kUndoMoveDown = 2,
    kUndoMoveUp = 3,
    kUndoEntryRemoved = 4,  // old 32 entry bytes
    kUndoEntryInserted = 5,
    kUndoMarker = 6,
    kUndoErrorByte = 7,
    kUndoGeometry = 8,  // size change: old and new geometry and size, the bytes cut off
    kUndoExtendErrors = 9,
    kUndoToggleBlock = 10,
    kUndoRun = 11,  // value = number of further records
    kUndoGroupStart = 12,
    kUndoGroupEnd = 13,
    kUndoSplat = 14,
    kUndoLock = 15,
    kUndoFileType = 16,
    kUndoSize = 17,
    kUndoFileName = 18,
    kUndoDiskName = 19,
    kUndoDiskId = 20,
    kUndoGeosType = 21,
    kUndoTime = 22,
    kUndoTrack = 23,
    kUndoSector = 24,
    kUndoSideTrack = 25,
    kUndoSideSector = 26,
    kUndoGeosStructure = 27,
    kUndoBamSnapshot = 28,
    kUndoClassFirst = 29,  // 29-32: class-specific records
    kUndoClassLast = 32,
    kUndoOpenDir = 33,
    kUndoCloseDir = 34,
    kUndoRecordLength = 35,
};

// True for the kinds whose value is an entry index rather than a block address.
bool isEntryUndoKind(std::uint32_t kind);

struct undo_record_t {
    std::uint32_t kind = 0;
    std::uint8_t includeEmpty = 0;
    std::uint16_t entryIndex = 0;
    track_sector_t block{};
    std::uint64_t value = 0;
    std::string name;
    std::vector<std::uint8_t> saved;
};

// The stack of records of one image. It applies the push rules; reverting a
// record is the image's business (Disk::undo).
class UndoJournal {
public:
    static constexpr std::uint64_t kMaxSavedBytes = 0x10000;

    // False (nothing recorded) while suspended or for kMaxSavedBytes or more.
    bool push(std::uint32_t kind, const track_sector_t& block, std::uint64_t value, std::span<const std::uint8_t> bytes,
              const std::string& name, bool includeEmpty);

    bool empty() const { return records_.empty(); }
    std::size_t size() const { return records_.size(); }
    const undo_record_t* newest() const { return records_.empty() ? nullptr : records_.back().get(); }
    std::unique_ptr<undo_record_t> pop();
    void clear() { records_.clear(); }

    bool suspended() const { return suspended_; }
    void setSuspended(bool on) { suspended_ = on; }

private:
    std::vector<std::unique_ptr<undo_record_t>> records_;
    bool suspended_ = false;
};

// Sets the journal's suspended flag for a scope and restores the previous state.
class UndoSuspension {
public:
    explicit UndoSuspension(UndoJournal& journal) : journal_(journal), was_(journal.suspended()) {
        journal_.setSuspended(true);
    }
    ~UndoSuspension() { journal_.setSuspended(was_); }
    UndoSuspension(const UndoSuspension&) = delete;
    UndoSuspension& operator=(const UndoSuspension&) = delete;

private:
    UndoJournal& journal_;
    bool was_;
};

}  // namespace platter
