#include "platter/formats/part_cfs.hpp"

#include <algorithm>
#include <limits>

#include "platter/core/data_provider.hpp"
#include "platter/formats/cfs_entry.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kDirectoryBlockBytes = 576;
constexpr std::uint64_t kCfsEntryBytes = 36;
constexpr std::uint64_t kCfsEntriesPerBlock = 16;
constexpr std::uint64_t kListRecords = 128;
constexpr std::uint64_t kRecordBytes = 4;
// Fields of a directory entry.
constexpr std::size_t kSizeAt = 16;   // 8 bytes, little-endian
constexpr std::size_t kLinkAt = 24;   // bit 7: unused; bits 4-5: two bits of the next block's link
constexpr std::size_t kFirstAt = 25;  // 3 bytes, big-endian: the first block-list (or directory) sector
constexpr std::size_t kFlagsAt = 28;
constexpr std::size_t kLettersAt = 29;
// Where the synthesized CBM entry keeps the type letters of a kind without a CBM name.
constexpr std::size_t kEntryLettersAt = 21;

bool inUse(std::span<const std::uint8_t> raw) { return (raw[kFlagsAt] & 0xe1) != 0 && (raw[kLinkAt] & 0x80) == 0; }

// An entry that is not in use but still has a name shows as a scratched one; a slot that was
// never used is no entry at all.
bool isListed(std::span<const std::uint8_t> raw, bool includeEmpty) {
    return inUse(raw) || (includeEmpty && raw[0] != 0);
}

bool isRel(std::span<const std::uint8_t> raw) { return cfsFileType(raw) == kTypeRel; }

// A 32-bit link spread over bits 4-5 of one byte of each of the first 16 records, as a sector
// number: its top byte is the sector's lowest.
std::uint64_t linkedSector(std::span<const std::uint8_t> block, std::size_t at, std::size_t stride) {
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < 16; ++i) value |= ((block[i * stride + at] >> 4) & 3u) << (30 - 2 * i);
    return std::uint64_t{(value >> 8) & 0xff} << 16 | std::uint64_t{(value >> 16) & 0xff} << 8 | (value >> 24);
}

std::uint64_t sectorAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint64_t{bytes[at]} << 16 | std::uint64_t{bytes[at + 1]} << 8 | bytes[at + 2];
}

// A data sector is stored with file byte 128 j + k at offset 4 k + j.
void appendDeinterleaved(std::span<const std::uint8_t> sector, Disk::bytes_t& out) {
    for (std::size_t j = 0; j < 4; ++j) {
        for (std::size_t k = 0; k < DiskIDE64::kSectorBytes / 4; ++k) out.push_back(sector[4 * k + j]);
    }
}

}  // namespace

// Every CBM type stands in its listings: those above 5 show the entry's own type letters.
PartCFS::PartCFS() { setHighestFileType(7); }

void PartCFS::attach(DataProvider& image, std::uint64_t start, std::uint64_t end, std::uint64_t rootSector,
                     const path& where) {
    start_ = start;
    end_ = end;
    setDataProvider(&image);
    setHeaderBlock(blockOfSector(start / kSectorBytes));
    setDirectoryStart(blockOfSector(rootSector));
    open(where, false, false);
    setPathForFormat(where);
}

void PartCFS::parseImage() {
    setLastError(kErrNone);
    setGeometry({(end_ / kSectorBytes + 255) / 256, 256, 0});
    const std::uint64_t root = sectorOfBlock(directoryStart());
    setName(holdsSector(root) ? bytesAt(root * kSectorBytes, 16) : std::span<const std::uint8_t>());
}

bool PartCFS::inArea(std::uint64_t sector) const {
    return sector < end_ / kSectorBytes && sector * kSectorBytes >= start_;
}

bool PartCFS::holdsSector(std::uint64_t sector) const {
    return inArea(sector) && (sector + 1) * kSectorBytes <= providerSize();
}

bool PartCFS::isValidBlock(const track_sector_t& block) const {
    return block.sector < 256 && block.track <= trackCount() && holdsSector(sectorOfBlock(block));
}

// The free map starts at the partition's first sector: one bit a sector, set = free.
bool PartCFS::isBlockFree(const track_sector_t& block) const {
    if (!isValidBlock(block)) return false;
    const std::uint64_t index = sectorOfBlock(block) - start_ / kSectorBytes;
    const std::span<const std::uint8_t> map = bytesAt(start_ + index / 8, 1);
    return !map.empty() && (map[0] & (0x80u >> (index % 8))) != 0;
}

track_sector_t PartCFS::firstBlock(const dir_entry_t& entry) const {
    return blockOfSector(std::uint64_t{entry.bytes[1]} << 16 | std::uint64_t{entry.bytes[3]} << 8 | entry.bytes[4]);
}

block_range_fault PartCFS::partitionFault(const dir_entry_t& entry) const {
    if (!holdsDirectory(entry)) return block_range_fault::none;
    const track_sector_t first = firstBlock(entry);
    if (!holdsSector(sectorOfBlock(first))) return block_range_fault::directoryOutside;
    return startsEnclosingDirectory(first) ? block_range_fault::enclosingStart : block_range_fault::none;
}

bool PartCFS::subdirectoryStart(const dir_entry_t& entry, track_sector_t& first) {
    if (!holdsDirectory(entry) || partitionFault(entry) != block_range_fault::none) return false;
    first = firstBlock(entry);
    return true;
}

std::string PartCFS::typeWord(const dir_entry_t& entry) const {
    const std::uint8_t type = entry.typeByte() & 7;
    if (type <= kTypeRel) return fileTypeName1541(type);
    if (type == kTypeCbm) return "DIR";
    return std::string(entry.bytes.begin() + kEntryLettersAt, entry.bytes.begin() + kEntryLettersAt + 3);
}

// Sixteen raw entries a 576-byte block, linked by a sector number spread over the entries; the
// chain ends at sector 0 and leaves the partition at a block not wholly inside its area. A
// block of the area that the image file ends before holds no data.
struct PartCFS::directory_chain_t {
    static constexpr std::size_t kEntries = kCfsEntriesPerBlock;
    static constexpr std::size_t kEntryBytes = kCfsEntryBytes;
    static constexpr std::size_t kBlockBytes = kDirectoryBlockBytes;
    static constexpr std::size_t maxBlocks = std::numeric_limits<std::size_t>::max();
    const PartCFS& part;
    bool includeEmpty;

    // Whether a directory block at `at` lies wholly inside the partition's area.
    bool holds(const track_sector_t& at) const {
        const std::uint64_t sector = sectorOfBlock(at);
        return sector != 0 && part.inArea(sector) && sector * kSectorBytes + kDirectoryBlockBytes <= part.end_;
    }
    const std::uint8_t* block(const track_sector_t& at) const {
        if (!holds(at)) return nullptr;
        const std::span<const std::uint8_t> bytes =
            part.bytesAt(sectorOfBlock(at) * kSectorBytes, kDirectoryBlockBytes);
        return bytes.empty() ? nullptr : bytes.data();
    }
    // Sector 0 ends the chain.
    static track_sector_t next(const std::uint8_t* data) {
        const std::uint64_t sector = linkedSector({data, kDirectoryBlockBytes}, kLinkAt, kCfsEntryBytes);
        return sector == 0 ? noBlock() : blockOfSector(sector);
    }
    bool counts(const std::uint8_t* entry) const { return isListed({entry, kCfsEntryBytes}, includeEmpty); }
};

block_role PartCFS::blockRole(const track_sector_t& block, walk_kind kind) const {
    const std::uint64_t sector = sectorOfBlock(block);
    if (kind == walk_kind::file) {
        if (!inArea(sector)) return block_role::outside;
        return bytesAt(sector * kSectorBytes, kSectorBytes).empty() ? block_role::lacking : block_role::data;
    }
    const directory_chain_t chain{*this, false};
    if (!chain.holds(block)) return block_role::outside;
    return chain.block(block) ? block_role::data : block_role::lacking;
}

template <class Visit>
chain_stop_t PartCFS::walkDirectory(const directory_chain_t& chain, Visit&& visit) const {
    ChainWalk walk(*this, walk_kind::directory, directoryStart());
    while (walk.going()) {
        if (!walk.read()) break;
        const std::uint8_t* block = chain.block(walk.block());
        if (visit(block)) {
            walk.finish();
            break;
        }
        walk.follow(chain.next(block));
    }
    return walk.stop();
}

template <class Visit>
bool PartCFS::forEachRawEntry(bool all, Visit&& visit) const {
    const directory_chain_t chain{*this, all};
    bool stopped = false;
    walkDirectory(chain, [&](const std::uint8_t* block) {
        for (std::uint64_t k = 0; k < kCfsEntriesPerBlock && !stopped; ++k) {
            const std::uint8_t* raw = block + k * kCfsEntryBytes;
            stopped = chain.counts(raw) && visit(std::span<const std::uint8_t>(raw, kCfsEntryBytes));
        }
        return stopped;
    });
    return stopped;
}

chain_stop_t PartCFS::directoryStop() const {
    return walkDirectory(directory_chain_t{*this, false}, [](const std::uint8_t*) { return false; });
}

std::uint64_t PartCFS::countDirectoryEntries() {
    std::uint64_t count = 0;
    forEachRawEntry(includeEmpty(), [&](std::span<const std::uint8_t>) {
        ++count;
        return false;
    });
    setDirectoryEntryCount(count);
    return count;
}

std::uint64_t PartCFS::sizeField(std::span<const std::uint8_t> raw) {
    std::uint64_t size = 0;
    for (std::size_t i = 8; i > 0; --i) size = size << 8 | raw[kSizeAt + i - 1];
    return isRel(raw) ? size >> 8 : size;
}

std::uint64_t PartCFS::sizeOf(std::span<const std::uint8_t> raw) const {
    return std::min(sizeField(raw), end_ - start_);
}

// The raw entry is found going on from the one found last; the CBM entry is made from it.
std::uint8_t* PartCFS::locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* outBlock,
                                   std::uint64_t* outSlot) {
    directory_chain_t chain{*this, includeEmpty};
    const std::uint8_t* raw = entryCursor().find(directoryStart(), includeEmpty, index, chain);
    if (!raw) return nullptr;
    const std::span<const std::uint8_t> found(raw, kCfsEntryBytes);
    std::array<std::uint8_t, dir_entry_t::kSize>& entry = entryBuffer();
    entry.fill(0);
    entry[0] = found[kLinkAt];
    entry[1] = found[kFirstAt];
    entry[3] = found[kFirstAt + 1];
    entry[4] = found[kFirstAt + 2];
    const std::uint8_t flags = found[kFlagsAt];
    if (inUse(found)) {
        entry[2] = static_cast<std::uint8_t>(cfsFileType(found) | ((flags & 0x01) != 0 ? 0x80 : 0) |
                                             ((flags & 0x08) == 0 ? 0x40 : 0));
    }
    const std::array<std::uint8_t, 16> name = paddedName(found.first(16));
    std::copy(name.begin(), name.end(), entry.begin() + dir_entry_t::kNameOffset);
    std::copy_n(found.begin() + kLettersAt, 3, entry.begin() + kEntryLettersAt);
    if (isRel(found)) entry[23] = found[kSizeAt];
    cfs_date_t date;
    if (unpackCfsDate(found, date)) {
        const std::array<std::uint8_t, 5> stamp = {date.year, date.month, date.day, date.hour, date.minute};
        std::copy(stamp.begin(), stamp.end(), entry.begin() + 25);
    }
    const std::uint64_t blocks = std::min<std::uint64_t>((sizeOf(found) + 253) / 254, 0xffff);
    entry[30] = static_cast<std::uint8_t>(blocks);
    entry[31] = static_cast<std::uint8_t>(blocks >> 8);
    if (outBlock) *outBlock = directoryStart();
    if (outSlot) *outSlot = index;
    return entry.data();
}

// The entry of the current directory with the synthesized entry's name and first sector: the
// one the last lookup found, which is the one asked for while a walk by index reads each entry's
// file (none when it is not in use), else the first in use.
std::span<const std::uint8_t> PartCFS::rawEntryOf(const dir_entry_t& entry) const {
    const auto isEntry = [&](std::span<const std::uint8_t> raw) {
        const std::array<std::uint8_t, 16> name = paddedName(raw.first(16));
        return raw[kFirstAt] == entry.bytes[1] && raw[kFirstAt + 1] == entry.bytes[3] &&
               raw[kFirstAt + 2] == entry.bytes[4] && std::equal(name.begin(), name.end(), entry.name().begin());
    };
    const directory_chain_t chain{*this, includeEmpty()};
    if (const std::uint8_t* last = entryCursor().lastFound(directoryStart(), chain)) {
        const std::span<const std::uint8_t> raw(last, kCfsEntryBytes);
        if (isEntry(raw)) return inUse(raw) ? raw : std::span<const std::uint8_t>();
    }
    std::span<const std::uint8_t> found;
    forEachRawEntry(false, [&](std::span<const std::uint8_t> raw) {
        if (!isEntry(raw)) return false;
        found = raw;
        return true;
    });
    return found;
}

std::uint64_t PartCFS::fileSize(std::uint64_t index) {
    const std::uint8_t* stored = locateEntry(index, includeEmpty());
    if (!stored) return 0;
    const std::span<const std::uint8_t> raw = rawEntryOf(dir_entry_t::fromBytes({stored, dir_entry_t::kSize}));
    return raw.empty() ? 0 : sizeOf(raw);
}

// The bytes the block lists give, up to the size field. A size the partition cannot hold is
// no size at all: such an entry gives nothing.
entry_read_t PartCFS::readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* /*blocks*/,
                                    const entry_sink_t* /*sink*/) {
    entry_read_t read;
    read.outcome = read_outcome::unreadable;
    const std::span<const std::uint8_t> raw = rawEntryOf(entry);
    if (raw.empty() || entry.fileType() == kTypeDel || entry.fileType() == kTypeCbm) return read;
    const std::uint64_t size = sizeField(raw);
    if (size > end_ - start_) return read;
    return readBlockLists(sectorAt(raw, kFirstAt), size);
}

// Lists are followed by the chain rule; every data sector must lie inside the partition. A
// record of 0 before the wanted size is a hole in the list, not data: the file stops there.
entry_read_t PartCFS::readBlockLists(std::uint64_t firstList, std::uint64_t wanted) const {
    entry_read_t read;
    bytes_t& out = read.bytes;
    ChainWalk walk(*this, walk_kind::file, firstList == 0 || wanted == 0 ? noBlock() : blockOfSector(firstList));
    bool hole = false;
    while (walk.going()) {
        const track_sector_t list = walk.block();
        if (!walk.read()) break;
        const std::span<const std::uint8_t> records = bytesAt(sectorOfBlock(list) * kSectorBytes, kSectorBytes);
        for (std::uint64_t r = 0; r < kListRecords && out.size() < wanted && !hole && read.stop.whole(); ++r) {
            const std::uint64_t sector = sectorAt(records, r * kRecordBytes + 1);
            if (sector == 0)
                hole = true;
            else if (!holdsSector(sector))
                read.stop = {inArea(sector) ? chain_end::missing : chain_end::leaves, list, blockOfSector(sector)};
            else
                appendDeinterleaved(bytesAt(sector * kSectorBytes, kSectorBytes), out);
        }
        if (out.size() >= wanted || hole || !read.stop.whole()) break;
        const std::uint64_t next = linkedSector(records, 0, kRecordBytes);
        walk.follow(next == 0 ? noBlock() : blockOfSector(next));
    }
    if (read.stop.whole()) read.stop = walk.stop();
    if (out.size() >= wanted) {
        out.resize(wanted);
    } else if (!read.stop.whole()) {
        read.outcome = outcomeOf(read.stop, !out.empty());
    } else if (out.empty()) {
        read.outcome = read_outcome::unreadable;
    } else {
        read.outcome = read_outcome::cutShort;
        read.expected = wanted;
    }
    return read;
}

}  // namespace platter
