#include <algorithm>

#include "platter/core/disk.hpp"

namespace platter {

void Disk::setEntryField(dir_entry_t& entry, std::uint64_t index, std::size_t offset,
                         std::span<const std::uint8_t> newBytes, std::uint32_t kind, const std::string& name,
                         bool compareStored) {
    std::uint8_t* stored = entryAt(index);
    const std::uint8_t* current = compareStored ? stored : entry.bytes.data();
    if (!current) return;
    if (std::equal(newBytes.begin(), newBytes.end(), current + offset)) return;
    pushUndoRecord(kind, track_sector_t{}, index, std::span<const std::uint8_t>(current + offset, newBytes.size()),
                   name);
    std::copy(newBytes.begin(), newBytes.end(), entry.bytes.begin() + offset);
    if (stored) std::copy(newBytes.begin(), newBytes.end(), stored + offset);
    setModified(true);
}

bool Disk::recordTypeByte(std::uint64_t index, const std::string& name) {
    track_sector_t block;
    std::uint64_t slot = 0;
    const std::uint8_t* stored = locateEntry(index, includeEmpty_, &block, &slot);
    if (!stored) return false;
    pushUndoRecord(kUndoBytes, block, (slot % kEntriesPerBlock) * 32 + 2, std::span<const std::uint8_t>(stored + 2, 1),
                   name);
    return true;
}

void Disk::setFileName(dir_entry_t& entry, std::span<const std::uint8_t, 16> name, std::uint64_t index) {
    setEntryField(entry, index, dir_entry_t::kNameOffset, name, kUndoFileName, "File Name", true);
}

void Disk::setTime(dir_entry_t& entry, std::span<const std::uint8_t, 5> stamp, std::uint64_t index) {
    setEntryField(entry, index, 25, stamp, kUndoTime, "Time", true);
}

void Disk::setFileSize(dir_entry_t& entry, std::uint16_t blocks, std::uint64_t index) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(blocks & 0xff), static_cast<std::uint8_t>(blocks >> 8)};
    setEntryField(entry, index, 30, bytes, kUndoSize, "Size");
}

void Disk::setStartTrack(dir_entry_t& entry, std::uint8_t value, std::uint64_t index) {
    setEntryField(entry, index, 3, std::span<const std::uint8_t>(&value, 1), kUndoTrack, "Track");
}

void Disk::setStartSector(dir_entry_t& entry, std::uint8_t value, std::uint64_t index) {
    setEntryField(entry, index, 4, std::span<const std::uint8_t>(&value, 1), kUndoSector, "Sector");
}

void Disk::setSideTrack(dir_entry_t& entry, std::uint8_t value, std::uint64_t index) {
    setEntryField(entry, index, 21, std::span<const std::uint8_t>(&value, 1), kUndoSideTrack, "Side Track");
}

void Disk::setSideSector(dir_entry_t& entry, std::uint8_t value, std::uint64_t index) {
    setEntryField(entry, index, 22, std::span<const std::uint8_t>(&value, 1), kUndoSideSector, "Side Sector");
}

void Disk::setRecordLength(dir_entry_t& entry, std::uint8_t value, std::uint64_t index) {
    setEntryField(entry, index, 23, std::span<const std::uint8_t>(&value, 1), kUndoRecordLength, "Record Length");
}

void Disk::setLocked(dir_entry_t& entry, bool locked, std::uint64_t index) {
    if (entry.isLocked() == locked) return;
    // The record holds the old flag (0 or 1), not the type byte.
    const std::uint8_t oldFlag = entry.isLocked() ? 1 : 0;
    pushUndoRecord(kUndoLock, track_sector_t{}, index, std::span<const std::uint8_t>(&oldFlag, 1), "Lock");
    const std::uint8_t type = static_cast<std::uint8_t>((locked ? 0x40 : 0) | (entry.bytes[2] & 0xbf));
    entry.bytes[2] = type;
    if (std::uint8_t* stored = entryAt(index)) stored[2] = type;
    setModified(true);
}

void Disk::setSplat(dir_entry_t& entry, bool splat, std::uint64_t index) {
    if (entry.isSplat() == splat) return;
    recordTypeByte(index, "Splat");
    const std::uint8_t type = static_cast<std::uint8_t>((entry.bytes[2] & 0x7f) | (splat ? 0 : 0x80));
    entry.bytes[2] = type;
    if (std::uint8_t* stored = entryAt(index)) stored[2] = type;
    setModified(true);
}

void Disk::setFileType(dir_entry_t& entry, std::uint8_t type, std::uint64_t index) {
    if (entry.fileType() == (type & 7)) return;
    const std::uint8_t newByte = static_cast<std::uint8_t>((entry.bytes[2] & 0xf8) | (type & 7));
    if (isGeosFile(entry)) {
        UndoGroup group(*this);
        recordTypeByte(index, "");
        const std::uint8_t infoType = type;
        setBlockBytes(entry.sideBlock(), 68, std::span<const std::uint8_t>(&infoType, 1), "");
        entry.bytes[2] = newByte;
        if (std::uint8_t* stored = entryAt(index)) stored[2] = newByte;
        group.commit("File Type");
    } else {
        recordTypeByte(index, "File Type");
        entry.bytes[2] = newByte;
        if (std::uint8_t* stored = entryAt(index)) stored[2] = newByte;
    }
    setModified(true);
}

void Disk::setGeosType(dir_entry_t& entry, std::uint8_t value, std::uint64_t index) {
    if (entry.bytes[24] == value) return;
    if (isGeosFile(entry)) {
        UndoGroup group(*this);
        setEntryField(entry, index, 24, std::span<const std::uint8_t>(&value, 1), kUndoGeosType, "");
        setBlockBytes(entry.sideBlock(), 69, std::span<const std::uint8_t>(&value, 1), "");
        group.commit("GEOS Type");
    } else {
        setEntryField(entry, index, 24, std::span<const std::uint8_t>(&value, 1), kUndoGeosType, "GEOS Type");
    }
}

void Disk::setGeosStructure(dir_entry_t& entry, std::uint8_t value, std::uint64_t index) {
    if (entry.bytes[23] == value) return;
    if (isGeosFile(entry)) {
        UndoGroup group(*this);
        const track_sector_t info = entry.sideBlock();
        setEntryField(entry, index, 23, std::span<const std::uint8_t>(&value, 1), kUndoGeosStructure, "");
        setBlockBytes(info, 70, std::span<const std::uint8_t>(&value, 1), "");
        group.commit("GEOS File Structure");
    } else {
        setEntryField(entry, index, 23, std::span<const std::uint8_t>(&value, 1), kUndoGeosStructure,
                      "GEOS File Structure");
    }
}

bool Disk::vlirFileSize(const dir_entry_t& entry, std::uint64_t& bytes, std::uint64_t& blocks) {
    bytes = 0;
    blocks = 0;
    std::uint8_t index[kBlockSize];
    if (!readSector(entry.firstBlock(), index)) return false;
    for (std::size_t i = 2; i + 1 < kBlockSize; i += 2) {
        if (index[i] == 0) {
            if (index[i + 1] == 0) break;
            continue;  // an empty record
        }
        std::uint64_t size = 0;
        std::vector<track_sector_t> chain;
        if (!readChain(index[i], index[i + 1], 0, &size, nullptr, nullptr, &chain)) return false;
        bytes += size;
        blocks += chain.size();
    }
    return true;
}

// Counts blocks, not bytes over 254: a last block holding no data still takes a block.
bool Disk::recalculateFileSize(std::uint64_t index) {
    dir_entry_t entry;
    // A scratched entry holds no file to count; a size of 0 would also make it a slot that
    // was never used, which the entry's index no longer finds.
    if (!getEntry(index, includeEmpty_, entry) || entry.typeByte() == 0) return false;
    std::uint64_t blocks = 0;
    std::uint64_t bytes = 0;
    std::vector<track_sector_t> chain;
    if (isGeosFile(entry)) {
        if (entry.geosStructure() == 1) {
            if (!vlirFileSize(entry, bytes, blocks)) return false;
        } else {
            if (!readChain(entry.bytes[3], entry.bytes[4], 0, &bytes, nullptr, nullptr, &chain)) return false;
            blocks = chain.size();
        }
        // The info block, and for VLIR the record index.
        blocks += entry.geosStructure() == 1 ? 2u : 1u;
    } else {
        if (entry.fileType() == kTypeCbm) return true;
        if (!readFileBlocks(entry, 0, chain)) return false;
        blocks = chain.size();
        if (blocks == 0 && isValidBlock(entry.firstBlock())) blocks = 1;
    }
    setFileSize(entry, static_cast<std::uint16_t>(std::min<std::uint64_t>(blocks, 0xffff)), index);
    return true;
}

void Disk::collectBlocks(bytes_t& out) {
    for (std::uint64_t track = 1; track <= geometry_.trackCount; ++track) {
        for (std::uint64_t sector = 0; sector < geometry_.sectorsPerTrack; ++sector) {
            if (const std::uint8_t* data = readableBlock(makeBlock(track, sector)))
                out.insert(out.end(), data, data + kBlockSize);
        }
    }
}

// The name and id live in image bytes, which the provider holds writable; the class only
// hands them out read-only.
void Disk::setDiskName(std::span<const std::uint8_t, 16> name) {
    auto* current = const_cast<std::uint8_t*>(diskName());
    if (!current || std::equal(name.begin(), name.end(), current)) return;
    pushUndoRecord(kUndoDiskName, track_sector_t{}, 0, std::span<const std::uint8_t>(current, 16), "Disk Name");
    std::copy(name.begin(), name.end(), current);
    setModified(true);
}

void Disk::setDiskId(std::span<const std::uint8_t, 5> id) {
    auto* current = const_cast<std::uint8_t*>(diskId());
    if (!current || std::equal(id.begin(), id.end(), current)) return;
    pushUndoRecord(kUndoDiskId, track_sector_t{}, 0, std::span<const std::uint8_t>(current, 5), "Disk ID");
    std::copy(id.begin(), id.end(), current);
    setModified(true);
}

}  // namespace platter
