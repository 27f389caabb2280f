#include <algorithm>

#include "platter/core/disk.hpp"
#include "platter/core/library_options.hpp"

namespace platter {

namespace {

constexpr std::size_t kEntryBody = 30;  // bytes 2-31: what moving an entry copies

}  // namespace

std::uint8_t* Disk::slotPointer(const entry_slot_t& slot) {
    std::uint8_t* block = blockPointer(slot.block);
    return block ? block + slot.offset : nullptr;
}

std::uint8_t* Disk::writeEntryName(std::uint64_t index, std::span<const std::uint8_t, 16> name) {
    std::uint8_t* stored = entryAt(index);
    if (stored) std::copy(name.begin(), name.end(), stored + dir_entry_t::kNameOffset);
    forgetWalks();
    return stored;
}

void Disk::swapEntries(std::uint64_t a, std::uint64_t b) {
    std::uint8_t* first = entryAt(a);
    std::uint8_t* second = entryAt(b);
    if (!first || !second || first == second) return;
    std::swap_ranges(first + 2, first + 32, second + 2);
    forgetWalks();
}

std::uint64_t Disk::moveEntry(bool up, std::uint64_t index) {
    if (up ? index == 0 : index + 1 >= entryCount_) return index;
    const std::uint64_t neighbour = up ? index - 1 : index + 1;
    if (!entryAt(index) || !entryAt(neighbour)) return index;
    setModified(true);
    pushUndoRecord(up ? kUndoMoveUp : kUndoMoveDown, track_sector_t{}, neighbour, {}, up ? "Move Up" : "Move Down");
    swapEntries(index, neighbour);
    return neighbour;
}

bool Disk::findFreeDirectoryBlock(track_sector_t& block) {
    track_sector_t candidate = noBlock();
    // The directory order is finite; the bound guards a format whose order cycles.
    const std::uint64_t limit =
        std::max<std::uint64_t>(geometry_.trackCount * std::max<std::uint64_t>(geometry_.sectorsPerTrack, 1), 1);
    for (std::uint64_t step = 0; step < limit; ++step) {
        if (!nextDirectorySector(candidate) || candidate.isNone()) return false;
        if (isValidBlock(candidate) && isBlockFree(candidate)) {
            block = candidate;
            return true;
        }
    }
    return false;
}

bool Disk::findEntrySlot(std::uint64_t index, std::vector<entry_slot_t>& slots) {
    slots.clear();
    std::uint64_t passed = 0;
    track_sector_t lastBlock{};
    // A directory that does not end whole has no slot to give: it is not written to.
    ChainWalk walk(*this, walk_kind::directory, dirStart_.track == 0 ? noBlock() : dirStart_);
    while (walk.going()) {
        const track_sector_t block = walk.block();
        const std::uint8_t* data = walkRead(walk);
        if (!data) return false;
        for (std::uint64_t k = 0; k < kEntriesPerBlock; ++k) {
            const std::uint8_t type = data[k * 32 + 2];
            const bool visible = includeEmpty_ || type != 0;
            if (passed >= index && type == 0) {
                slots.push_back(entry_slot_t{block, k * 32});
                if (isBlockFree(block)) toggleBlock(block);
                return true;
            }
            if (visible) {
                if (passed >= index) slots.push_back(entry_slot_t{block, k * 32});
                ++passed;
            }
        }
        lastBlock = block;
        walk.follow(data[0] == 0 ? noBlock() : makeBlock(data[0], data[1]));
    }
    if (!walk.stop().whole()) return false;
    // Every block is full: link a new directory block after the last one.
    track_sector_t fresh;
    if (!findFreeDirectoryBlock(fresh)) return false;
    std::uint8_t* data = blockPointer(fresh);
    if (!data) return false;
    pushUndoRecord(kUndoBytes, fresh, 0, std::span<const std::uint8_t>(data, kBlockSize));
    std::fill(data, data + kBlockSize, std::uint8_t{0});
    data[1] = 0xff;
    if (lastBlock.track != 0) {
        const std::uint8_t link[2] = {static_cast<std::uint8_t>(fresh.track), static_cast<std::uint8_t>(fresh.sector)};
        setBlockBytes(lastBlock, 0, link, "");
    }
    toggleBlock(fresh);
    updateParentDirectory();
    slots.push_back(entry_slot_t{fresh, 0});
    return true;
}

bool Disk::insertEntry(std::int64_t index, const dir_entry_t& entry, std::uint32_t /*word*/) {
    UndoGroup group(*this);
    const std::uint64_t count = countDirectoryEntries();
    auto fillSlot = [&](const entry_slot_t& slot, const std::uint8_t* from) {
        std::uint8_t* target = slotPointer(slot);
        if (!target) return false;
        pushUndoRecord(kUndoBytes, slot.block, slot.offset + 2, std::span<const std::uint8_t>(target + 2, kEntryBody));
        std::copy_n(from + 2, kEntryBody, target + 2);
        return true;
    };
    if (count == 0 && index < 0) {
        setModified(true);
        if (!fillSlot(entry_slot_t{dirStart_, 0}, entry.bytes.data())) return false;
        countDirectoryEntries();
        group.commit("Insert");
        return true;
    }
    // An index past the end (or negative) appends after the last entry
    // instead of opening a new directory block for every file.
    const std::uint64_t position =
        index < 0 ? count : std::min<std::uint64_t>(static_cast<std::uint64_t>(index), count);
    std::vector<entry_slot_t> slots;
    if (!findEntrySlot(position, slots)) {
        lastError_ = kErrInsertEntry;
        return false;
    }
    pushUndoRecord(kUndoMarker, track_sector_t{}, position);
    // Shift the entries between the position and the free slot one slot on.
    for (std::size_t i = slots.size() - 1; i > 0; --i) {
        const std::uint8_t* from = slotPointer(slots[i - 1]);
        if (!from || !fillSlot(slots[i], from)) return false;
        setParentLink(slots[i]);
    }
    setModified(true);
    if (!fillSlot(slots.front(), entry.bytes.data())) return false;
    countDirectoryEntries();
    pushUndoRecord(kUndoClassFirst, track_sector_t{}, position);
    group.commit("Insert");
    return true;
}

bool Disk::setParentLink(const entry_slot_t& slot) {
    if (!hasNativeSubdirectories() || slot.offset % dir_entry_t::kSize != 0 || slot.offset >= kBlockSize) return false;
    const std::uint8_t* data = blockPointer(slot.block);
    if (!data) return false;
    const std::uint8_t* entry = data + slot.offset;
    if ((entry[2] & 7) != kTypeDir) return false;
    // Only a real subdirectory header takes the link: "H" at byte 2 and its own address at 32-33.
    const track_sector_t header = makeBlock(entry[3], entry[4]);
    const std::uint8_t* headerData = blockPointer(header);
    if (!headerData || headerData[2] != 'H' || makeBlock(headerData[32], headerData[33]) != header) return false;
    const std::uint8_t link[3] = {static_cast<std::uint8_t>(slot.block.track),
                                  static_cast<std::uint8_t>(slot.block.sector),
                                  static_cast<std::uint8_t>(slot.offset + 2)};
    return setBlockBytes(header, 36, link, "");
}

void Disk::updateParentDirectory() {
    if (dirStack_.empty() || dirStack_.back().entryType != kTypeDir) return;
    const std::uint8_t* header = blockPointer(dirStack_.back().headerBlock);
    if (!header) return;
    const track_sector_t parent = makeBlock(header[36], header[37]);
    const std::uint8_t typeOffset = header[38];
    // Byte 38 must name the type byte of an entry, or the write would land
    // anywhere in the parent block.
    if (typeOffset % 32 != 2) return;
    std::uint64_t bytes = 0;
    const track_sector_t& start = dirStack_.back().headerBlock;
    if (!readChain(start.track, start.sector, 0, &bytes, nullptr, nullptr, nullptr, false, nullptr, walk_kind::raw))
        return;
    const std::uint64_t blocks = (bytes + 253) / 254;
    const std::uint8_t count[2] = {static_cast<std::uint8_t>(blocks & 0xff), static_cast<std::uint8_t>(blocks >> 8)};
    setBlockBytes(parent, typeOffset + 28u, count, "Update Parent Directory");
}

void Disk::markDeleted(dir_entry_t& entry, std::uint64_t index, bool includeEmpty) {
    track_sector_t block;
    std::uint64_t slot = 0;
    std::uint8_t* stored = locateEntry(index, includeEmpty, &block, &slot);
    if (!stored) return;
    pushUndoRecord(kUndoBytes, block, (slot % kEntriesPerBlock) * 32 + 2, std::span<const std::uint8_t>(stored + 2, 1),
                   "DEL");
    entry.bytes[2] = 0;
    stored[2] = 0;
}

void Disk::deleteFile(std::uint64_t index, bool freeBlocks, bool wipe) {
    track_sector_t block;
    std::uint64_t slot = 0;
    const std::uint8_t* stored = locateEntry(index, includeEmpty_, &block, &slot);
    if (!stored) return;
    dir_entry_t entry = dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, dir_entry_t::kSize));
    UndoGroup group(*this);
    std::vector<track_sector_t> freed;
    if (freeBlocks) {
        snapshotBam();
        UndoSuspension quiet(journal_);
        readFileBlocks(entry, 2, freed);
    }
    if (!wipe) {
        markDeleted(entry, index, includeEmpty_);
        setModified(true);
        group.commit("Remove File");
    } else {
        const std::uint8_t fill = libraryOptions().fillByte;
        for (const track_sector_t& b : freed) {
            std::uint8_t* data = readableBlock(b);
            if (!data) continue;
            pushUndoRecord(kUndoBytes, b, 0, std::span<const std::uint8_t>(data, kBlockSize), "erase sectors");
            std::fill(data, data + kBlockSize, fill);
        }
        // The entry's place in its own block; the link bytes stay.
        if (std::uint8_t* data = blockPointer(block)) {
            const std::uint64_t at = (slot % kEntriesPerBlock) * 32;
            pushUndoRecord(kUndoBytes, block, at + 2, std::span<const std::uint8_t>(data + at + 2, kEntryBody),
                           "rewrite dir");
            std::fill(data + at + 2, data + at + 32, std::uint8_t{0});
        }
        setModified(true);
        group.commit("Erase File");
    }
    if (!includeEmpty_ && entryCount_ > 0) --entryCount_;
}

}  // namespace platter
