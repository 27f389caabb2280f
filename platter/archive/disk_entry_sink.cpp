#include "platter/archive/disk_entry_sink.hpp"

#include <algorithm>
#include <array>

#include "platter/archive/archive_damage.hpp"
#include "platter/core/disk.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kBlockData = 254;
constexpr std::uint64_t kPointersPerSideSector = 120;
constexpr std::size_t kTailAt = 23;

std::uint64_t blocksFor(std::uint64_t bytes) { return (bytes + kBlockData - 1) / kBlockData; }

// The bytes of the file an entry hands on: its data, or a VLIR file's records.
std::uint64_t heldBytes(const archive_entry_t& entry) {
    std::uint64_t held = entry.data.size();
    for (const vlir_record_t& record : entry.records) held += record.bytes.size();
    return held;
}

void setBlock(std::uint8_t* at, const track_sector_t& block) {
    at[0] = static_cast<std::uint8_t>(block.track);
    at[1] = static_cast<std::uint8_t>(block.sector);
}

// The data chain of a plain file and, for a REL file, its side sectors; an
// empty file gets no blocks at all.
bool writePlainFile(Disk& disk, const archive_entry_t& entry, dir_entry_t& stored, std::uint64_t& blocks) {
    if (entry.data.empty()) return true;
    track_sector_t first{};
    if (!disk.writeChain(entry.data, first)) return false;
    setBlock(&stored.bytes[3], first);
    blocks = blocksFor(entry.data.size());
    if ((entry.typeByte & 7) != kTypeRel) return true;
    track_sector_t side{};
    if (!disk.createSideSectors(first, entry.entryTail[0], side)) {
        // Without a free block for them, the file does not fit; a file too long for six
        // side sectors cannot be a REL file on any image.
        if (disk.blocksFree() == 0) disk.setLastError(kErrDiskFull);
        return false;
    }
    setBlock(&stored.bytes[21], side);
    blocks += (blocks + kPointersPerSideSector - 1) / kPointersPerSideSector;
    return true;
}

// The info block, then the data chain of a sequential file or every record
// and the record index of a VLIR file.
bool writeGeosFile(Disk& disk, const archive_entry_t& entry, dir_entry_t& stored, std::uint64_t& blocks) {
    track_sector_t block{};
    if (!disk.writeChain(entry.infoBlock, block)) return false;
    setBlock(&stored.bytes[21], block);
    blocks = 1;
    if (entry.recordIndex.empty()) {
        if (entry.data.empty()) return true;
        if (!disk.writeChain(entry.data, block)) return false;
        setBlock(&stored.bytes[3], block);
        blocks += blocksFor(entry.data.size());
        return true;
    }
    std::array<std::uint8_t, kBlockData> index{};
    std::copy_n(entry.recordIndex.begin(), std::min<std::size_t>(entry.recordIndex.size(), index.size()),
                index.begin());
    for (std::size_t i = 0; i < entry.records.size() && 2 * i + 1 < index.size(); ++i) {
        const vlir_record_t& record = entry.records[i];
        switch (record.what) {
            case vlir_record_t::kind::absent: break;
            case vlir_record_t::kind::empty:
                index[2 * i] = 0;
                index[2 * i + 1] = 0xff;
                break;
            case vlir_record_t::kind::data:
                if (!disk.writeChain(record.bytes, block)) return false;
                setBlock(&index[2 * i], block);
                blocks += blocksFor(record.bytes.size());
                break;
        }
    }
    if (!disk.writeChain(index, block)) return false;
    setBlock(&stored.bytes[3], block);
    ++blocks;
    return true;
}

}  // namespace

import_result_t failureOf(const Disk& disk, import_result_t otherwise) {
    const std::uint32_t error = disk.lastError();
    return error == kErrDiskFull || error == kErrInsertEntry ? import_result_t::full : otherwise;
}

import_result_t DiskEntrySink::store(const archive_entry_t& entry) {
    disk_.setLastError(kErrNone);
    Disk::UndoGroup group(disk_);
    dir_entry_t stored;
    stored.setName(entry.name);
    stored.setStoredType(entry.typeByte);
    std::copy(entry.entryTail.begin(), entry.entryTail.end(), stored.bytes.begin() + kTailAt);
    std::uint64_t blocks = 0;
    const bool written = entry.infoBlock.empty() ? writePlainFile(disk_, entry, stored, blocks)
                                                 : writeGeosFile(disk_, entry, stored, blocks);
    if (!written) return failureOf(disk_, import_result_t::partial);
    stored.setBlockCount(static_cast<std::uint16_t>(std::min<std::uint64_t>(blocks, 0xffff)));
    if (!disk_.insertEntry(position_, stored)) return failureOf(disk_, import_result_t::partial);
    group.commit(entry.infoBlock.empty() ? "Import File" : "Insert File");
    if (entry.loss && damage_) damage_->entryShort(stored, heldBytes(entry), *entry.loss);
    ++position_;
    return import_result_t::done;
}

}  // namespace platter
