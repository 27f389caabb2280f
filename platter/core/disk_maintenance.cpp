#include <algorithm>

#include "platter/core/disk.hpp"
#include "platter/core/reachable_blocks.hpp"

namespace platter {

void Disk::markDirectoryChain(bool release) {
    if (!journal_.suspended()) snapshotBam();
    UndoSuspension quiet(journal_);
    for (const track_sector_t& block : directoryChain()) {
        if (isBlockFree(block) != release) toggleBlock(block);
    }
}

bool Disk::compactDirectory() {
    const std::vector<entry_slot_t> slots = directorySlots();
    if (slots.empty()) return false;
    std::vector<dir_entry_t> used;
    for (const entry_slot_t& slot : slots) {
        const std::uint8_t* stored = slotPointer(slot);
        if (stored[2] != 0) used.push_back(dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, 32)));
    }
    // The chain ends at the block of the last used entry (the first block when none is used).
    const track_sector_t last = used.empty() ? slots.front().block : slots[used.size() - 1].block;
    const bool shortens = slots.back().block != last;

    UndoGroup group(*this);
    const bool moved = rewriteDirectorySlots(slots, used);
    if (!moved && !shortens) return false;
    // Free the old chain before cutting it and mark the new one after, so that the blocks cut
    // off end up free and every block still in the directory stays used.
    markDirectoryChain(true);
    const std::uint8_t end[2] = {0, 0xff};
    setBlockBytes(last, 0, end, "");
    markDirectoryChain(false);
    updateParentDirectory();
    setModified(true);
    countDirectoryEntries();
    group.commit("Compact Directory");
    return true;
}

bool Disk::fillFreeBlocks(std::uint8_t value) {
    const ReachableBlocks reachable(*this);
    UndoGroup group(*this);
    bool changed = false;
    for (std::uint64_t track = 1; blockPointer(makeBlock(track, 0)); ++track) {
        for (std::uint64_t sector = 0;; ++sector) {
            const track_sector_t block = makeBlock(track, sector);
            std::uint8_t* data = blockPointer(block);
            if (!data) break;
            if (!reachable.isUnused(block) ||
                std::all_of(data, data + kBlockSize, [&](std::uint8_t b) { return b == value; }))
                continue;
            pushUndoRecord(kUndoBytes, block, 0, std::span<const std::uint8_t>(data, kBlockSize));
            std::fill(data, data + kBlockSize, value);
            changed = true;
        }
    }
    changed = fillFileTails(value) || changed;
    if (!changed) return false;
    setModified(true);
    group.commit("Fill Free Blocks");
    return true;
}

bool Disk::fillFileTails(std::uint8_t value) {
    bool changed = false;
    for (std::uint64_t index = 0;; ++index) {
        const std::uint8_t* stored = entryAt(index);
        if (!stored) break;
        const std::uint8_t type = stored[2] & 7;
        if (type != kTypeSeq && type != kTypePrg && type != kTypeUsr) continue;
        std::uint64_t size = 0;
        track_sector_t last;
        if (!readChain(stored[3], stored[4], 0, &size, nullptr, &last) || stored[3] == 0) continue;
        std::uint8_t* data = blockPointer(last);
        if (!data || data[1] == 0xff) continue;
        // The link bytes stay whatever the last-used index says, even 0 or 1.
        const std::size_t from = std::max<std::size_t>(data[1] + 1u, 2);
        if (std::all_of(data + from, data + kBlockSize, [&](std::uint8_t b) { return b == value; })) continue;
        pushUndoRecord(kUndoBytes, last, from, std::span<const std::uint8_t>(data + from, kBlockSize - from));
        std::fill(data + from, data + kBlockSize, value);
        changed = true;
    }
    return changed;
}

}  // namespace platter
