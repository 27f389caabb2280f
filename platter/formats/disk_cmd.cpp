#include "platter/formats/disk_cmd.hpp"

#include <algorithm>
#include <array>
#include <set>
#include <utility>

#include "platter/core/data_provider.hpp"
#include "platter/core/format_registry.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kMaxHardDiskTracks = 0x8ffff;
constexpr std::uint64_t kFloppyTableBlocks = 4;
constexpr std::size_t kIdAfterName = 17;
constexpr std::array<std::uint8_t, 16> kHeaderText = {'C', 'M', 'D', ' ', 'F', 'D', ' ', 'S',
                                                      'E', 'R', 'I', 'E', 'S', ' ', ' ', ' '};
constexpr std::array<std::uint8_t, 16> kSystemName = {'S',  'Y',  'S',  'T',  'E',  'M',  0xa0, 0xa0,
                                                      0xa0, 0xa0, 0xa0, 0xa0, 0xa0, 0xa0, 0xa0, 0xa0};

// On the floppies the system header is drive track 81 sector 5 and the table starts at its
// sector 8; partitions end where that track begins.
constexpr cmd_layout_t kD2mLayout{
    format_id::d2m, 0x195000, 80, makeBlock(25, 8), makeBlock(26, 5), 240, kFloppyTableBlocks, 0, 12, 128};
constexpr cmd_layout_t kD1mLayout{
    format_id::d1m, 829440, 40, makeBlock(12, 136), makeBlock(13, 133), 240, kFloppyTableBlocks, 0, 25, 0};
constexpr cmd_layout_t kD4mLayout{
    format_id::d4m, 0x32a000, 160, makeBlock(50, 8), makeBlock(51, 5), 240, kFloppyTableBlocks, 0, 25, 0};

// The table block after the one of `data`: its link is relative to the table base, and a zero
// track ends the table.
track_sector_t nextTableBlock(const track_sector_t& base, const std::uint8_t* data) {
    return data[0] == 0 ? noBlock() : makeBlock(base.track + data[0], base.sector + data[1]);
}

// The table as the chain an entry lookup walks: eight entries a block, at most `maxBlocks`.
struct partition_table_chain_t {
    static constexpr std::size_t kEntries = Disk::kEntriesPerBlock;
    static constexpr std::size_t kEntryBytes = dir_entry_t::kSize;
    static constexpr std::size_t kBlockBytes = Disk::kBlockSize;
    Disk& disk;
    track_sector_t base;
    std::size_t maxBlocks;
    bool includeEmpty;

    // Null where the chain rule ends the walk: a block outside the image, a header or BAM
    // block, or one the image lacks or cannot read.
    std::uint8_t* block(const track_sector_t& at) {
        return disk.blockRole(at, walk_kind::directory) == block_role::data ? disk.blockPointer(at) : nullptr;
    }
    track_sector_t next(const std::uint8_t* data) const { return nextTableBlock(base, data); }
    bool counts(const std::uint8_t* entry) const { return includeEmpty || entry[cmd_partition_t::kTypeAt] != 0; }
};

}  // namespace

DiskD2M::DiskD2M() : DiskD2M(kD2mLayout) {}
DiskD1M::DiskD1M() : DiskD2M(kD1mLayout) {}
DiskD4M::DiskD4M() : DiskD2M(kD4mLayout) {}

DiskD2M::DiskD2M(const cmd_layout_t& layout) : Disk(layout.id), layout_(layout) {
    setHeaderBlock(layout.systemHeader);
    setDirectoryStart(makeBlock(layout.tableBase.track + 1, layout.tableBase.sector));
    setDefaultImageSize(layout.imageBytes);
    const std::uint64_t blocks = layout.imageBytes / kBlockSize;
    setGeometry({(layout.imageBytes + kTrackBytes - 1) / kTrackBytes, kSectors, blocks});
}

DiskD2M::~DiskD2M() = default;

void DiskD2M::close() { partitions_.cutAll(); }

void DiskD2M::setModified(bool on) {
    Disk::setModified(on);
    if (!on) partitions_.clearModified();
}

// A floppy is its exact size, or that size with one error byte a block; the hard disk takes
// the file's whole tracks.
void DiskD2M::parseImage() {
    setLastError(kErrNone);
    const std::uint64_t size = providerSize();
    if (layout_.imageBytes == 0) {
        const std::uint64_t tracks = std::min((imageBytes() + kTrackBytes - 1) / kTrackBytes, kMaxHardDiskTracks);
        setGeometry({tracks, kSectors, 0});
        return;
    }
    if (size == layout_.imageBytes + totalBlocks())
        loadErrorBytes(totalBlocks());
    else if (size != layout_.imageBytes)
        markSizeUnknown();
}

std::uint64_t DiskD2M::imageBytes() const {
    if (layout_.imageBytes != 0) return layout_.imageBytes;
    return std::max(providerSize(), blockOffset(layout_.systemHeader) + kBlockSize);
}

std::string DiskD2M::typeWord(const dir_entry_t& entry) const { return cmdPartitionTypeWord(entry.typeByte()); }

std::uint64_t DiskD2M::entryBlocks(const dir_entry_t& entry) const { return cmd_partition_t::of(entry).blocks(); }

const container_format_t* DiskD2M::fileTypeInfo(const dir_entry_t& entry) const {
    return formatById(formatOfCmdPartitionType(entry.typeByte()));
}

bool DiskD2M::isValidBlock(const track_sector_t& block) const {
    if (block.track == 0 || block.track > trackCount() || block.sector >= kSectors) return false;
    return blockOffset(block) + kBlockSize <= imageBytes();
}

std::uint64_t DiskD2M::blockOffset(const track_sector_t& block) const {
    return (block.track - 1) * kTrackBytes + block.sector * kBlockSize;
}

const std::uint8_t* DiskD2M::diskName() const {
    const std::uint8_t* header = blockData(layout_.systemHeader);
    return header ? header + layout_.nameOffset : nullptr;
}

const std::uint8_t* DiskD2M::diskId() const {
    const std::uint64_t at = layout_.nameOffset + kIdAfterName;
    const track_sector_t block = makeBlock(layout_.systemHeader.track, layout_.systemHeader.sector + at / kBlockSize);
    const std::uint8_t* data = blockData(block);
    return data ? data + at % kBlockSize : nullptr;
}

bool DiskD2M::formatImage(std::uint32_t /*formatArg*/) {
    // A hard-disk image has no size of its own to be made in.
    if (layout_.imageBytes == 0) return false;
    UndoSuspension quiet(undoJournal());
    if (!dataProvider()) adoptDataProvider(std::make_unique<DataProvider>());
    Disk::resize(layout_.imageBytes);
    if (!writeSystemArea()) return false;
    countDirectoryEntries();
    setModified(false);
    return true;
}

bool DiskD2M::writeSystemArea() {
    std::uint8_t* header = blockPointer(layout_.systemHeader);
    if (!header) return false;
    std::fill(header, header + kBlockSize, std::uint8_t{0xff});
    header[56] = header[57] = 0;
    header[112] = 0;
    header[113] = layout_.headerByte113;
    header[168] = 0;
    header[169] = layout_.headerByte169;
    std::fill(header + 224, header + 240, std::uint8_t{0});
    header[226] = header[227] = 1;
    std::copy(kHeaderText.begin(), kHeaderText.end(), header + 240);
    for (std::uint64_t k = 0; k < kFloppyTableBlocks; ++k) {
        std::uint8_t* table = blockPointer(makeBlock(directoryStart().track, directoryStart().sector + k));
        if (!table) return false;
        std::fill(table, table + kBlockSize, std::uint8_t{0});
        const bool last = k + 1 == kFloppyTableBlocks;
        table[0] = last ? 0 : 1;
        table[1] = static_cast<std::uint8_t>(last ? 0xff : k + 1);
    }
    std::uint8_t* first = blockPointer(directoryStart());
    first[cmd_partition_t::kTypeAt] = cmd_partition_t::kSystemType;
    std::copy(kSystemName.begin(), kSystemName.end(), first + cmd_partition_t::kNameAt);
    return true;
}

// The chain of table blocks by the chain rule: relative links added to the table base, a zero
// track ends it; a link beyond the layout's count of blocks leaves the table.
chain_stop_t DiskD2M::walkDirectoryChain(std::vector<track_sector_t>& blocks) const {
    ChainWalk walk(*this, walk_kind::directory, directoryStart(), layout_.tableBlocks);
    while (walk.going()) {
        const track_sector_t block = walk.block();
        const std::uint8_t* data = walkRead(walk);
        if (!data) break;
        blocks.push_back(block);
        walk.follow(nextTableBlock(layout_.tableBase, data));
    }
    return walk.stop();
}

std::uint64_t DiskD2M::countDirectoryEntries() {
    std::uint64_t count = 0;
    for (const track_sector_t& block : directoryChain()) {
        const std::uint8_t* data = blockData(block);
        for (std::uint64_t k = 0; k < kEntriesPerBlock; ++k) {
            if (includeEmpty() || data[k * dir_entry_t::kSize + cmd_partition_t::kTypeAt] != 0) ++count;
        }
    }
    setDirectoryEntryCount(count);
    return count;
}

// The table is walked as directoryChain gives it, going on from the entry found last.
std::uint8_t* DiskD2M::locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* outBlock,
                                   std::uint64_t* outSlot) {
    partition_table_chain_t chain{*this, layout_.tableBase, layout_.tableBlocks, includeEmpty};
    entry_cursor_t& at = entryCursor();
    std::uint8_t* entry = at.find(directoryStart(), includeEmpty, index, chain);
    if (entry) at.tellPlace(outBlock, outSlot);
    return entry;
}

// The entry goes into the slot of the index-th visible entry; the entries from there move one
// slot on into the first empty slot behind, or, when there is none, one slot back into the
// last empty slot before. Link bytes stay where they are.
bool DiskD2M::insertEntry(std::int64_t index, const dir_entry_t& entry, std::uint32_t /*word*/) {
    constexpr std::size_t kBody = dir_entry_t::kSize - 2;
    std::vector<std::uint8_t*> slots;
    for (const track_sector_t& block : directoryChain()) {
        std::uint8_t* data = blockPointer(block);
        for (std::uint64_t k = 0; k < kEntriesPerBlock; ++k) slots.push_back(data + k * dir_entry_t::kSize);
    }
    const auto isEmpty = [](const std::uint8_t* slot) { return slot[cmd_partition_t::kTypeAt] == 0; };
    std::size_t position = slots.size();
    if (includeEmpty() && index >= 0) {
        position = std::min(static_cast<std::size_t>(index), slots.size());
    } else {
        std::size_t afterLast = 0;
        std::int64_t visible = 0;
        for (std::size_t k = 0; k < slots.size() && position == slots.size(); ++k) {
            if (isEmpty(slots[k])) continue;
            if (index >= 0 && visible++ == index) position = k;
            afterLast = k + 1;
        }
        if (position == slots.size()) position = afterLast;
    }
    std::size_t free = position;
    while (free < slots.size() && !isEmpty(slots[free])) ++free;
    std::size_t target = position;
    if (free == slots.size()) {
        free = position;
        while (free > 0 && !isEmpty(slots[free - 1])) --free;
        if (free == 0) {
            setLastError(kErrInsertEntry);
            return false;
        }
        --free;
        target = position - 1;
    }

    UndoGroup group(*this);
    for (const track_sector_t& block : directoryChain()) {
        pushUndoRecord(kUndoBytes, block, 0, std::as_const(*this).blockBytes(block), "Insert Partition");
    }
    if (free > target) {
        for (std::size_t k = free; k > target; --k) std::copy_n(slots[k - 1] + 2, kBody, slots[k] + 2);
    } else {
        for (std::size_t k = free; k < target; ++k) std::copy_n(slots[k + 1] + 2, kBody, slots[k] + 2);
    }
    std::copy_n(entry.bytes.begin() + 2, kBody, slots[target] + 2);
    group.commit("Insert Partition");
    countDirectoryEntries();
    setModified(true);
    return true;
}

void DiskD2M::markDeleted(dir_entry_t& entry, std::uint64_t index, bool includeEmpty) {
    track_sector_t block;
    std::uint64_t slot = 0;
    if (!locateEntry(index, includeEmpty, &block, &slot)) return;
    const std::array<std::uint8_t, dir_entry_t::kSize - 2> cleared{};
    setBlockBytes(block, (slot % kEntriesPerBlock) * dir_entry_t::kSize + 2, cleared, "DEL");
    std::fill(entry.bytes.begin() + 2, entry.bytes.end(), std::uint8_t{0});
}

// The partition's bytes (its area is the image's: readEntry checked it); a block that a file
// read on demand no longer holds cuts it short.
entry_read_t DiskD2M::readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* /*blocks*/,
                                    const entry_sink_t* sink) {
    entry_read_t read;
    const cmd_partition_t partition = cmd_partition_t::of(entry);
    if (partition.units == 0 || partition.type == cmd_partition_t::kSystemType) {
        read.outcome = read_outcome::unreadable;
        return read;
    }
    const std::uint64_t end = partition.startByte() + partition.bytes();
    // A piece at a time straight from the provider; from a piece it cannot give whole on, block
    // by block.
    for (std::uint64_t offset = readImageBytes(partition.startByte(), end, read, sink); offset < end;
         offset += kBlockSize) {
        const std::span<const std::uint8_t> block =
            std::as_const(*this).blockBytes(makeBlock(offset / kTrackBytes + 1, offset % kTrackBytes / kBlockSize));
        if (block.empty()) {
            read.outcome = read.size() == 0 ? read_outcome::unreadable : read_outcome::cutShort;
            read.expected = partition.bytes();
            return read;
        }
        read.take(block, sink);
    }
    return read;
}

}  // namespace platter
