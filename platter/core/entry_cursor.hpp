#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platter/core/block_set.hpp"
#include "platter/core/track_sector.hpp"

namespace platter {

// Where the last lookup of a directory entry by index stopped: a lookup of the same or a later
// entry of the same directory goes on from there instead of walking the chain from its start
// again, so walking a directory by index reads each of its blocks once. It holds only while
// the directory is unchanged: the image forgets it with every change it makes, and a lookup
// compares the block it stopped in, which a caller may have written through the entry it got.
struct entry_cursor_t {
    bool valid = false;
    track_sector_t start{};  // the directory start the walk began at
    bool includeEmpty = false;
    track_sector_t block{};           // the block of the entry found last
    std::uint64_t next = 0;           // the entry of that block after it
    std::uint64_t counted = 0;        // entries counted up to and with it
    std::uint64_t slot = 0;           // slots passed from the directory start, it included
    BlockSet seen;                    // the blocks walked, for the loop check
    std::vector<std::uint8_t> bytes;  // `block` as it was when the entry was found

    // Entry `index` of the directory chain from `dirStart`, going on from the entry found last
    // when it can; null past the last entry, at a block that cannot be read or one seen before.
    // The chain describes one kind of directory:
    //   kEntries, kEntryBytes, kBlockBytes   entries a block, their size, the bytes compared;
    //   maxBlocks                            the most blocks a chain has;
    //   block(b)     the bytes of block b, null where the chain cannot go on;
    //   next(data)   the block after the one of these bytes, noBlock() for none;
    //   counts(e)    whether the entry at e is one of those counted.
    // After a hit, `block` is the entry's block and `slot - 1` its slot.
    template <class Chain>
    auto find(const track_sector_t& dirStart, bool withEmpty, std::uint64_t index, Chain& chain)
        -> decltype(chain.block(dirStart));

    // The entry found last, while it is still the one of the directory from `dirStart` and its
    // block is unchanged; else null.
    template <class Chain>
    auto lastFound(const track_sector_t& dirStart, Chain& chain) const -> decltype(chain.block(dirStart));

    // The block and slot of the entry found last into those of the pointers given.
    void tellPlace(track_sector_t* outBlock, std::uint64_t* outSlot) const {
        if (outBlock) *outBlock = block;
        if (outSlot) *outSlot = slot - 1;
    }

    // Whether a lookup of entry `index` in the directory from `dirStart` goes on from here;
    // `current` is `block` as it is now (null when it cannot be read), `size` bytes of it.
    bool resumes(const track_sector_t& dirStart, bool withEmpty, std::uint64_t index, const std::uint8_t* current,
                 std::size_t size) const;
    // Before the first entry of the directory from `dirStart`.
    void restart(const track_sector_t& dirStart, bool withEmpty);
};

template <class Chain>
auto entry_cursor_t::find(const track_sector_t& dirStart, bool withEmpty, std::uint64_t index, Chain& chain)
    -> decltype(chain.block(dirStart)) {
    auto data = valid ? chain.block(block) : nullptr;
    if (!resumes(dirStart, withEmpty, index, data, Chain::kBlockBytes)) {
        restart(dirStart, withEmpty);
        data = nullptr;
    }
    if (data && index + 1 == counted) return data + (next - 1) * Chain::kEntryBytes;
    bool held = data != nullptr;  // `bytes` is `block` as it is now
    for (;;) {
        if (!data) {
            if (block.isNone() || seen.size() >= chain.maxBlocks || !seen.insert(block) ||
                !(data = chain.block(block))) {
                valid = false;
                return nullptr;
            }
            held = false;
            next = 0;
        }
        while (next < Chain::kEntries) {
            auto entry = data + next * Chain::kEntryBytes;
            ++next;
            ++slot;
            if (!chain.counts(entry) || counted++ != index) continue;
            valid = true;
            if (!held) bytes.assign(data, data + Chain::kBlockBytes);
            return entry;
        }
        block = chain.next(data);
        data = nullptr;
    }
}

template <class Chain>
auto entry_cursor_t::lastFound(const track_sector_t& dirStart, Chain& chain) const -> decltype(chain.block(dirStart)) {
    auto data = valid && start == dirStart ? chain.block(block) : nullptr;
    if (!data || bytes.size() != Chain::kBlockBytes || !std::equal(bytes.begin(), bytes.end(), data)) return nullptr;
    return data + (next - 1) * Chain::kEntryBytes;
}

}  // namespace platter
