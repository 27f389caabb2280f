// Partitions of a CMD image: opening them as views, finding room, and adding new ones.

#include <algorithm>
#include <array>

#include "platter/core/data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/formats/disk_cmd.hpp"
#include "platter/formats/part_view.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

constexpr std::uint8_t kNativeType = 1;
constexpr std::uint8_t kLastImageType = 4;  // 1581: types 1-4 hold images of their kind

struct extent_t {
    std::uint64_t first;
    std::uint64_t end;
};

template <class View>
std::shared_ptr<Disk> openView(PartitionHost& host, DataProvider& bytes, const cmd_partition_t& partition,
                               const std::filesystem::path& path, bool format, std::uint32_t formatArg) {
    std::shared_ptr<View> view = attachView<View>(host, bytes, partition.startByte(), partition.bytes(), path);
    if (format && !view->formatInPlace(formatArg)) return nullptr;
    return view;
}

// The DNP tracks a new native partition of `formatArg` tracks gets.
std::uint64_t nativeTracks(std::uint32_t formatArg) {
    return std::clamp<std::uint64_t>(formatArg, DiskNP::kMinTracks, DiskNP::kMaxTracks);
}

}  // namespace

std::uint64_t DiskD2M::usableEndUnit() const {
    const std::uint64_t blocks = imageBytes() / kBlockSize;
    const std::uint64_t end = blocks > layout_.driveSectors ? blocks - layout_.driveSectors : 0;
    return end / cmd_partition_t::kBlocksPerUnit;
}

std::span<const std::uint8_t> DiskD2M::blockAtByte(std::uint64_t offset) const {
    return blockBytes(makeBlock(offset / kTrackBytes + 1, offset % kTrackBytes / kBlockSize));
}

std::uint64_t DiskD2M::bytesNeeded(std::uint8_t type, std::uint64_t startByte) const {
    switch (type) {
        case kNativeType: {
            const std::uint64_t tracks = DiskNP::tracksRecorded(blockAtByte(startByte + DiskNP::kBamHeadAt));
            return std::max<std::uint64_t>(tracks, 1) * DiskNP::kTrackBytes;
        }
        case 2: return Disk41::kSize35;
        case 3: return Disk71::kSize;
        case 4: return Disk81::kSize;
        default: return 0;
    }
}

bool DiskD2M::startsWithHeader(std::uint8_t type, std::uint64_t startByte) const {
    const std::uint64_t header1541 = Disk41::firstBlockOfTrack(Disk41::kDirectoryTrack);
    constexpr std::uint64_t k1581Bam = (Disk81::kDirectoryTrack - 1) * Disk81::kSectors + 1;
    switch (type) {
        case kNativeType: return DiskNP::isBamHead(blockAtByte(startByte + DiskNP::kBamHeadAt));
        case 2:
        case 3: return Disk41::isHeaderBlock(blockAtByte(startByte + header1541 * kBlockSize));
        case 4: return Disk81::isFirstBam(blockAtByte(startByte + k1581Bam * kBlockSize));
        default: return true;
    }
}

std::vector<dir_entry_t> DiskD2M::tableSlots() const {
    std::vector<dir_entry_t> slots;
    for (const track_sector_t& block : directoryChain()) {
        const std::span<const std::uint8_t> data = blockBytes(block);
        for (std::size_t at = 0; at + dir_entry_t::kSize <= data.size(); at += dir_entry_t::kSize)
            slots.push_back(dir_entry_t::fromBytes(data.subspan(at, dir_entry_t::kSize)));
    }
    return slots;
}

block_range_fault DiskD2M::overlapFault(const dir_entry_t& entry, const cmd_partition_t& partition) const {
    bool passedItself = false;
    for (const dir_entry_t& slot : tableSlots()) {
        if (!passedItself && std::equal(slot.bytes.begin() + 2, slot.bytes.end(), entry.bytes.begin() + 2)) {
            passedItself = true;
            continue;
        }
        const cmd_partition_t other = cmd_partition_t::of(slot);
        if (other.type == 0 || other.units == 0 || other.startUnit >= partition.endUnit() ||
            partition.startUnit >= other.endUnit())
            continue;
        return other.type == cmd_partition_t::kSystemType ? block_range_fault::systemArea
                                                          : block_range_fault::overlapsPartition;
    }
    return block_range_fault::none;
}

block_range_fault DiskD2M::partitionFault(const dir_entry_t& entry) const {
    const cmd_partition_t partition = cmd_partition_t::of(entry);
    if (partition.type == 0 || partition.type == cmd_partition_t::kSystemType) return block_range_fault::none;
    const bool holdsImage = partition.type >= kNativeType && partition.type <= kLastImageType;
    if (partition.units == 0) return holdsImage ? block_range_fault::smallerThanKind : block_range_fault::none;
    // A cut file ends the image where it ends.
    const std::uint64_t end = std::min(imageBytes(), providerSize());
    if (partition.startByte() >= end) return block_range_fault::outsideImage;
    if (partition.startByte() + partition.bytes() > end) return block_range_fault::pastEnd;
    if (partition.startUnit < layout_.firstUnit || partition.endUnit() > usableEndUnit())
        return block_range_fault::systemArea;
    if (holdsImage && partition.bytes() < bytesNeeded(partition.type, partition.startByte()))
        return block_range_fault::smallerThanKind;
    if (const block_range_fault overlap = overlapFault(entry, partition); overlap != block_range_fault::none)
        return overlap;
    if (holdsImage && !startsWithHeader(partition.type, partition.startByte())) return block_range_fault::noHeader;
    return block_range_fault::none;
}

bool DiskD2M::hasAreaFaults() const {
    const std::vector<dir_entry_t> slots = tableSlots();
    return std::any_of(slots.begin(), slots.end(),
                       [this](const dir_entry_t& slot) { return partitionFault(slot) != block_range_fault::none; });
}

// Only an area the partition's kind can use opens: the view never shows a part of an image as
// a whole one.
std::shared_ptr<Disk> DiskD2M::openPartition(const dir_entry_t& entry) {
    const cmd_partition_t partition = cmd_partition_t::of(entry);
    if (partition.type == cmd_partition_t::kSystemType || partitionFault(entry) != block_range_fault::none)
        return nullptr;
    if (std::shared_ptr<Disk> open = partitions_.find(partition.startByte())) return open;
    return attachPartition(partition, entry.name(), false, 0);
}

// Its kind decides the view.
std::shared_ptr<Disk> DiskD2M::attachPartition(const cmd_partition_t& partition, std::span<const std::uint8_t, 16> name,
                                               bool format, std::uint32_t formatArg) {
    DataProvider* bytes = dataProvider();
    if (!bytes) return nullptr;
    const path where = imagePath() / petsciiNameToString(name, true);
    switch (partition.type) {
        case kNativeType: return openView<PartNP>(partitions_, *bytes, partition, where, format, formatArg);
        case 2: return openView<Part41>(partitions_, *bytes, partition, where, format, formatArg);
        case 3: return openView<Part71>(partitions_, *bytes, partition, where, format, formatArg);
        case 4: return openView<Part81>(partitions_, *bytes, partition, where, format, formatArg);
        default: return nullptr;
    }
}

bool DiskD2M::findPartitionSpace(std::uint64_t units, std::uint64_t& largest, std::uint64_t& startUnit) {
    std::vector<extent_t> free = {{layout_.firstUnit, usableEndUnit()}};
    for (std::uint64_t index = 0;; ++index) {
        const std::uint8_t* stored = locateEntry(index, false);
        if (!stored) break;
        const cmd_partition_t taken = cmd_partition_t::of(std::span<const std::uint8_t>(stored, dir_entry_t::kSize));
        if (!taken.occupiesSpace()) continue;
        std::vector<extent_t> rest;
        for (const extent_t& e : free) {
            if (taken.endUnit() <= e.first || taken.startUnit >= e.end) {
                rest.push_back(e);
                continue;
            }
            if (taken.startUnit > e.first) rest.push_back({e.first, taken.startUnit});
            if (taken.endUnit() < e.end) rest.push_back({taken.endUnit(), e.end});
        }
        free.swap(rest);
    }
    largest = 0;
    const extent_t* best = nullptr;
    for (const extent_t& e : free) {
        const std::uint64_t length = e.end - e.first;
        largest = std::max(largest, length);
        if (length >= units && (!best || length < best->end - best->first)) best = &e;
    }
    if (!best || units == 0) return false;
    startUnit = best->first;
    return true;
}

bool DiskD2M::addPartition(std::uint8_t type, std::span<const std::uint8_t, 16> name, std::uint64_t units,
                           std::int64_t index, std::uint32_t noRoom, cmd_partition_t& added) {
    std::uint64_t largest = 0;
    std::uint64_t start = 0;
    if (!findPartitionSpace(units, largest, start)) {
        setLastError(noRoom);
        return false;
    }
    const std::array<std::uint8_t, 32> entry = cmdPartitionEntry(type, name, start, units);
    if (!insertEntry(index, dir_entry_t::fromBytes(entry))) return false;
    added = cmd_partition_t::of(entry);
    return true;
}

bool DiskD2M::writeArea(const cmd_partition_t& partition, std::span<const std::uint8_t> data, bool journal) {
    std::array<std::uint8_t, kBlockSize> bytes{};
    for (std::uint64_t done = 0; done < partition.bytes(); done += kBlockSize) {
        const std::uint64_t offset = partition.startByte() + done;
        const track_sector_t block = makeBlock(offset / kTrackBytes + 1, offset % kTrackBytes / kBlockSize);
        std::uint8_t* target = blockPointer(block);
        if (!target) {
            setLastError(kErrPastImage);
            return false;
        }
        bytes.fill(0);
        if (done < data.size()) {
            const std::uint64_t length = std::min<std::uint64_t>(kBlockSize, data.size() - done);
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(done), length, bytes.begin());
        }
        if (std::equal(bytes.begin(), bytes.end(), target)) continue;
        if (journal) pushUndoRecord(kUndoBytes, block, 0, std::span<const std::uint8_t>(target, kBlockSize));
        std::copy(bytes.begin(), bytes.end(), target);
    }
    return true;
}

bool DiskD2M::createPartition(format_id id, std::int64_t index, std::uint32_t formatArg) {
    setLastError(kErrNone);
    const auto type = static_cast<std::uint8_t>(cmdPartitionTypeOf(id));
    if (type == 0) {
        setLastError(kErrNotPartition);
        return false;
    }
    const std::uint64_t blocks =
        type == kNativeType ? nativeTracks(formatArg) * DiskNP::kSectors : partitionSizeBlocks(id, 0);
    std::array<std::uint8_t, 16> name;
    name.fill(0xa0);
    UndoGroup group(*this);
    cmd_partition_t added;
    if (!addPartition(type, name, unitsForBlocks(blocks), index, kErrPastImage, added)) {
        setLastError(kErrPastImage);
        return false;
    }
    // The new partition's bytes were free space: they are not journalled.
    if (!writeArea(added, {}, false) || !attachPartition(added, name, true, formatArg)) {
        setLastError(kErrPastImage);
        return false;
    }
    group.commit("Create Partition");
    setModified(true);
    return true;
}

// Every block of the image in its order, the missing ones as zeros, so that each block keeps
// its place in the partition.
bool DiskD2M::insertImage(const Disk& image, std::span<const std::uint8_t, 16> name, std::int64_t index) {
    setLastError(kErrNone);
    format_id id = image.formatId();
    // Raw-track images open as the 1541 disk their tracks hold.
    if (id == format_id::g64 || id == format_id::nib || id == format_id::nbz) id = format_id::d64;
    bytes_t data;
    for (std::uint64_t track = 1; track <= image.trackCount(); ++track) {
        for (std::uint64_t sector = 0; image.isValidBlock(makeBlock(track, sector)); ++sector) {
            const std::span<const std::uint8_t> block = image.blockBytes(makeBlock(track, sector));
            if (block.empty())
                data.resize(data.size() + kBlockSize, 0);
            else
                data.insert(data.end(), block.begin(), block.end());
        }
    }
    return addImagePartition(id, name, data, index, kErrNoPartitionSpace);
}

bool DiskD2M::importFile(std::span<const std::uint8_t, 16> name, std::int64_t position,
                         std::span<const std::uint8_t> data, std::uint8_t /*recordLength*/,
                         const container_format_t* row) {
    setLastError(kErrNone);
    return addImagePartition(row ? row->id : format_id::none, name, data, position, kErrDiskFull);
}

// An image larger than a partition of its kind is refused rather than cut.
bool DiskD2M::addImagePartition(format_id id, std::span<const std::uint8_t, 16> name,
                                std::span<const std::uint8_t> data, std::int64_t index, std::uint32_t noRoom) {
    const auto type = static_cast<std::uint8_t>(cmdPartitionTypeOf(id));
    if (type == 0) {
        setLastError(kErrNotPartition);
        return false;
    }
    const std::uint64_t blocks = partitionSizeBlocks(id, data.size());
    if (blocks == 0) {
        setLastError(kErrNoPartitionSpace);
        return false;
    }
    if (data.size() > blocks * kBlockSize) {
        setLastError(kErrNotPartition);
        return false;
    }
    UndoGroup group(*this);
    cmd_partition_t added;
    if (!addPartition(type, name, unitsForBlocks(blocks), index, noRoom, added) || !writeArea(added, data, true))
        return false;
    group.commit("Insert File");
    setModified(true);
    return true;
}

}  // namespace platter
