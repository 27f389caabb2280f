#include "platter/core/undo_journal.hpp"

namespace platter {

bool isEntryUndoKind(std::uint32_t kind) {
    constexpr std::uint64_t kEntryKinds = 0xC0FE7C07CULL;
    return kind < 64 && ((kEntryKinds >> kind) & 1) != 0;
}

bool UndoJournal::push(std::uint32_t kind, const track_sector_t& block, std::uint64_t value,
                       std::span<const std::uint8_t> bytes, const std::string& name, bool includeEmpty) {
    if (suspended_ || bytes.size() >= kMaxSavedBytes) return false;
    const bool entryKind = isEntryUndoKind(kind);
    // A run of single-byte edits of the same byte keeps the value from before the first.
    if (kind == kUndoBytes && bytes.size() == 1 && !records_.empty()) {
        const undo_record_t& last = *records_.back();
        if (last.kind == kUndoBytes && last.block == block && last.value == value && !last.saved.empty()) return true;
    }
    auto record = std::make_unique<undo_record_t>();
    record->kind = kind;
    record->includeEmpty = includeEmpty ? 1 : 0;
    record->name = name;
    if (entryKind) {
        record->entryIndex = static_cast<std::uint16_t>(value);
    } else {
        record->block = block;
        record->value = value;
    }
    record->saved.assign(bytes.begin(), bytes.end());
    records_.push_back(std::move(record));
    return true;
}

std::unique_ptr<undo_record_t> UndoJournal::pop() {
    if (records_.empty()) return nullptr;
    auto record = std::move(records_.back());
    records_.pop_back();
    return record;
}

}  // namespace platter
