#include <algorithm>
#include <map>

#include "platter/core/disk.hpp"

namespace platter {

namespace {

bool nameBefore(const dir_entry_t& a, const dir_entry_t& b) {
    return std::lexicographical_compare(a.name().begin(), a.name().end(), b.name().begin(), b.name().end());
}

bool sizeBefore(const dir_entry_t& a, const dir_entry_t& b) { return a.blockCount() < b.blockCount(); }

}  // namespace

bool Disk::moveEntries(std::uint64_t first, std::uint64_t last, std::uint64_t to) {
    if (last < first || last >= entryCount_) return false;
    if (to == first || to == first + 1 || (first < to && to < last)) return true;
    UndoGroup group(*this);
    pushUndoRecord(kUndoMarker, track_sector_t{}, first);
    std::uint64_t position = to > first ? to - 1 : to;
    std::uint64_t source = first;
    for (std::uint64_t moved = first; moved <= last; ++moved) {
        dir_entry_t entry;
        if (!getEntry(source, includeEmpty_, entry)) return false;
        // markDeleted clears the type byte of the copy it is given; the moved entry keeps it.
        dir_entry_t deleted = entry;
        markDeleted(deleted, source, includeEmpty_);
        if (!insertEntry(static_cast<std::int64_t>(position), entry)) return false;
        // Moving up, each entry lands before the rest of the run; moving down the run closes
        // up behind it.
        if (position < source) {
            ++position;
            ++source;
        }
    }
    group.commit("Move File");
    return true;
}

bool Disk::sortDirectory(bool ascending, bool bySize) {
    std::vector<dir_entry_t> entries;
    for (std::uint64_t i = 0;; ++i) {
        const std::uint8_t* stored = entryAt(i);
        if (!stored) break;
        entries.push_back(dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, dir_entry_t::kSize)));
    }
    if (entries.empty()) return true;
    std::stable_sort(entries.begin(), entries.end(), bySize ? sizeBefore : nameBefore);
    if (!ascending) std::reverse(entries.begin(), entries.end());

    // The entries go back into the slots of the directory's own chain, which held them all;
    // the slots after them are cleared. No block is added, freed or relinked.
    const std::vector<entry_slot_t> slots = directorySlots();
    if (slots.size() < entries.size()) return false;
    UndoGroup group(*this);
    if (!rewriteDirectorySlots(slots, entries)) return true;
    setModified(true);
    countDirectoryEntries();
    group.commit("Sort");
    return true;
}

bool Disk::rewriteDirectorySlots(const std::vector<entry_slot_t>& slots, const std::vector<dir_entry_t>& entries) {
    std::map<track_sector_t, bytes_t> rewritten;
    for (std::size_t k = 0; k < slots.size(); ++k) {
        auto [it, added] = rewritten.try_emplace(slots[k].block);
        if (added) {
            const std::uint8_t* data = blockPointer(slots[k].block);
            if (!data) return false;
            it->second.assign(data, data + kBlockSize);
        }
        std::uint8_t* target = it->second.data() + slots[k].offset;
        if (k < entries.size())
            std::copy(entries[k].bytes.begin() + 2, entries[k].bytes.end(), target + 2);
        else
            std::fill(target + 2, target + dir_entry_t::kSize, std::uint8_t{0});
    }
    bool changed = false;
    for (const auto& [block, bytes] : rewritten) {
        std::uint8_t* data = blockPointer(block);
        if (std::equal(bytes.begin(), bytes.end(), data)) continue;
        pushUndoRecord(kUndoBytes, block, 0, std::span<const std::uint8_t>(data, kBlockSize));
        std::copy(bytes.begin(), bytes.end(), data);
        changed = true;
    }
    if (!changed) return false;
    for (std::size_t k = 0; k < entries.size() && k < slots.size(); ++k) setParentLink(slots[k]);
    return true;
}

}  // namespace platter
