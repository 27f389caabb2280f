#include "platter/formats/disk_np.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <string>
#include <utility>
#include <vector>

#include "forge/bits.hpp"
#include "platter/formats/bam_snapshot.hpp"

namespace platter {

namespace {

constexpr track_sector_t kHeader = makeBlock(1, 1);
constexpr track_sector_t kBamHead = makeBlock(1, 2);
constexpr track_sector_t kFirstDirectory = makeBlock(1, 34);
constexpr std::uint64_t kLastBamSector = 33;
constexpr std::uint64_t kMapBytes = 32;  // per track: one bit per sector
constexpr std::size_t kTracksAt = 8;     // last track number in the BAM head
constexpr std::size_t kNameAt = 0x04;
constexpr std::size_t kIdAt = 0x16;
constexpr std::size_t kSelfAt = 0x20;    // a subdirectory header: its own block,
constexpr std::size_t kParentAt = 0x22;  // its parent's header block,
constexpr std::size_t kSlotAt = 0x24;    // the block holding its entry and that entry's offset + 2
constexpr std::uint8_t kDirType = 0x86;

disk_geometry_t geometryOf(std::uint64_t tracks) { return {tracks, DiskNP::kSectors, 0}; }

// The BAM block and byte that hold a track's map.
track_sector_t mapBlock(std::uint64_t track) { return makeBlock(1, 2 + track / 8); }
std::size_t mapOffset(std::uint64_t track) { return kMapBytes * (track % 8); }

std::uint8_t sectorBit(std::uint64_t sector) { return static_cast<std::uint8_t>(0x80u >> (sector % 8)); }

}  // namespace

DiskNP::DiskNP() : Disk(format_id::dnp) {
    setHighestFileType(kTypeDir);
    setHeaderBlock(kHeader);
    setDirectoryStart(makeBlock(1, 0));
    setDefaultImageSize(kMinTracks * kTrackBytes);
    setGeometry(geometryOf(0));
}

std::uint64_t DiskNP::tracksRecorded(std::span<const std::uint8_t> bamHead) {
    return bamHead.size() > kTracksAt ? bamHead[kTracksAt] : 0;
}

bool DiskNP::isBamHead(std::span<const std::uint8_t> block) {
    return block.size() >= kBlockSize && block[2] == 'H' && block[3] == 0xb7;
}

// As many tracks as the BAM records when the file ends before them: a cut image, whose
// missing blocks are missing. Otherwise whole tracks only: a size that is no multiple of a
// track, or beyond 255 tracks, is kept to the whole tracks it holds and flagged.
void DiskNP::parseImage() {
    setLastError(kErrNone);
    const std::uint64_t size = providerSize();
    const std::uint64_t tracks = std::min(size / kTrackBytes, kMaxTracks);
    setGeometry(geometryOf(1));
    const std::uint64_t recorded = tracksRecorded(blockBytes(kBamHead));
    if (recorded > tracks) {
        setGeometry(geometryOf(recorded));
    } else {
        if (size % kTrackBytes != 0 || tracks == 0 || size > kMaxTracks * kTrackBytes) markSizeUnknown();
        setGeometry(geometryOf(tracks));
    }
    const std::span<const std::uint8_t> header = blockBytes(kHeader);
    setDirectoryStart(header.empty() ? track_sector_t{} : makeBlock(header[0], header[1]));
}

std::vector<std::string> DiskNP::damageNotes() const {
    const track_sector_t header = currentHeader();
    const std::span<const std::uint8_t> bytes = blockBytes(header);
    if (bytes.empty() || bytes[0] != 0) return {};
    return {"the header block " + std::to_string(header.track) + "." + std::to_string(header.sector) +
            " links to no directory block"};
}

block_role DiskNP::structureRole(const track_sector_t& block) const {
    const block_role role = Disk::structureRole(block);
    return role == block_role::bam && block.sector >= kFirstDirectory.sector ? block_role::data : role;
}

std::string DiskNP::typeWord(const dir_entry_t& entry) const {
    if ((entry.typeByte() & 15) == kTypeDir) return "DIR";
    return Disk::typeWord(entry);
}

block_range_fault DiskNP::partitionFault(const dir_entry_t& entry) const {
    if (!holdsDirectory(entry)) return block_range_fault::none;
    const track_sector_t header = entry.firstBlock();
    if (!isValidBlock(header)) return block_range_fault::headerOutside;
    const std::span<const dir_frame_t> frames = directoryFrames();
    const bool enclosing = header == kHeader || std::any_of(frames.begin(), frames.end(), [&](const dir_frame_t& f) {
                               return f.headerBlock == header;
                           });
    if (enclosing) return block_range_fault::enclosingHeader;
    // The header links to the subdirectory's first block, which must start no enclosing one.
    const std::uint8_t* bytes = blockData(header);
    if (!bytes) return block_range_fault::none;
    const track_sector_t first = makeBlock(bytes[0], bytes[1]);
    return startsEnclosingDirectory(first) ? block_range_fault::enclosingStart : block_range_fault::none;
}

bool DiskNP::isValidBlock(const track_sector_t& block) const {
    return block.track >= 1 && block.track <= trackCount() && block.sector < kSectors;
}

std::uint64_t DiskNP::blockOffset(const track_sector_t& block) const {
    return (block.track - 1) * kTrackBytes + block.sector * kBlockSize;
}

const std::uint8_t* DiskNP::trackMap(std::uint64_t track) const {
    const std::uint8_t* bam = blockData(mapBlock(track));
    return bam ? bam + mapOffset(track) : nullptr;
}

bool DiskNP::isBlockFree(const track_sector_t& block) const {
    if (!isValidBlock(block)) return false;
    const std::uint8_t* map = trackMap(block.track);
    return map && (map[block.sector / 8] & sectorBit(block.sector)) != 0;
}

bool DiskNP::toggleBlock(const track_sector_t& block) {
    if (!isValidBlock(block)) return false;
    std::uint8_t* bam = blockPointer(mapBlock(block.track));
    if (!bam) return false;
    bam[mapOffset(block.track) + block.sector / 8] ^= sectorBit(block.sector);
    pushUndoRecord(kUndoToggleBlock, block, 0, {}, "Toggle Sector");
    setModified(true);
    return true;
}

std::uint64_t DiskNP::blocksFree() const {
    std::uint64_t used = 0;
    for (std::uint64_t track = 1; track <= trackCount(); ++track) {
        const std::uint8_t* map = trackMap(track);
        if (!map) return 0;
        for (std::uint64_t k = 0; k < kMapBytes; ++k) used += 8 - static_cast<std::uint64_t>(forge::bitCount(map[k]));
    }
    return trackCount() * kSectors - used;
}

std::uint64_t DiskNP::highestUsedTrack() const {
    for (std::uint64_t track = trackCount(); track >= 1; --track) {
        const std::uint8_t* map = trackMap(track);
        if (!map) return 0;
        if (std::any_of(map, map + kMapBytes, [](std::uint8_t b) { return b != 0xff; })) return track;
    }
    return 0;
}

bool DiskNP::sizeRange(std::uint64_t& min, std::uint64_t& max, std::uint64_t& current) {
    current = trackCount();
    max = kMaxTracks;
    // Without a readable BAM nothing is known to be free: the image may not shrink.
    min = trackMap(trackCount()) ? std::max(highestUsedTrack(), kMinTracks) : current;
    return true;
}

// Whole tracks from 2 to 255, never below the highest used track. A shrink journals the
// blocks it cuts, so that undo brings them back.
bool DiskNP::resize(std::uint64_t bytes) {
    const std::uint64_t tracks = bytes / kTrackBytes;
    if (bytes == providerSize() && tracks == trackCount()) return true;
    if (bytes % kTrackBytes != 0 || tracks < kMinTracks || tracks > kMaxTracks) return false;
    if (tracks < trackCount()) {
        std::uint64_t min = 0, max = 0, current = 0;
        if (!sizeRange(min, max, current) || tracks < min) return false;
    }
    UndoGroup group(*this);
    for (std::uint64_t track = tracks + 1; track <= trackCount(); ++track) {
        for (std::uint64_t sector = 0; sector < kSectors; ++sector) {
            const std::span<const std::uint8_t> data = std::as_const(*this).blockBytes(makeBlock(track, sector));
            if (std::any_of(data.begin(), data.end(), [](std::uint8_t b) { return b != 0; }))
                pushUndoRecord(kUndoBytes, makeBlock(track, sector), 0, data, "Disk Size");
        }
    }
    if (!resizeImage(geometryOf(tracks), bytes)) return false;
    const std::uint8_t count[1] = {static_cast<std::uint8_t>(tracks)};
    setBlockBytes(kBamHead, kTracksAt, count, "Disk Size");
    group.commit("Disk Size");
    return true;
}

bool DiskNP::nextDirectorySector(track_sector_t& block) {
    if (block.isNone()) {
        block = directoryStart();
        return true;
    }
    const std::span<const std::uint8_t> data = std::as_const(*this).blockBytes(block);
    if (data.empty()) {
        // An unreadable block gives a free one to put the directory in.
        if (!findFreeDirectoryBlock(block)) return false;
        updateParentDirectory();
        return true;
    }
    block = data[0] == 0 ? noBlock() : makeBlock(data[0], data[1]);
    return true;
}

// The first free block from 1/34 on: the rest of track 1, then tracks 2 up, whole bytes of
// used blocks skipped at once.
std::uint8_t* DiskNP::allocateBlock(track_sector_t& block, bool markUsed) {
    for (std::uint64_t track = 1; track <= trackCount(); ++track) {
        const std::uint8_t* map = trackMap(track);
        if (!map) return nullptr;
        const std::uint64_t first = track == 1 ? kFirstDirectory.sector : 0;
        for (std::uint64_t k = first / 8; k < kMapBytes; ++k) {
            std::uint8_t bits = map[k];
            if (k == first / 8) bits &= static_cast<std::uint8_t>(0xffu >> (first % 8));
            if (bits == 0) continue;
            const track_sector_t found = makeBlock(track, k * 8 + static_cast<std::uint64_t>(std::countl_zero(bits)));
            std::uint8_t* data = blockPointer(found);
            if (!data) return nullptr;
            block = found;
            if (markUsed) toggleBlock(found);
            return data;
        }
    }
    return nullptr;
}

bool DiskNP::findFreeDirectoryBlock(track_sector_t& block) {
    track_sector_t found;
    if (!allocateBlock(found, false)) return false;
    block = found;
    return true;
}

track_sector_t DiskNP::currentHeader() const { return directoryDepth() != 0 ? directoryHeader() : kHeader; }

const std::uint8_t* DiskNP::diskName() const {
    const std::uint8_t* header = blockData(currentHeader());
    return header ? header + kNameAt : nullptr;
}

const std::uint8_t* DiskNP::diskId() const {
    const std::uint8_t* header = blockData(currentHeader());
    return header ? header + kIdAt : nullptr;
}

void DiskNP::snapshotBam() {
    std::array<track_sector_t, kLastBamSector - 1> blocks;
    for (std::uint64_t k = 0; k < blocks.size(); ++k) blocks[k] = makeBlock(1, kBamHead.sector + k);
    snapshotBamBlocks(*this, blocks);
}

// Blocks 1/0-1/33 (boot, header and BAM) used, everything else free, for all 255 tracks.
void DiskNP::initBam() {
    snapshotBam();
    for (std::uint64_t track = 1; track <= kMaxTracks; ++track) {
        std::uint8_t* bam = blockPointer(mapBlock(track));
        if (!bam) return;
        std::uint8_t* map = bam + mapOffset(track);
        std::fill(map, map + kMapBytes, std::uint8_t{0xff});
        if (track == 1) {
            std::fill(map, map + 4, std::uint8_t{0});
            map[4] = 0x3f;
        }
    }
}

bool DiskNP::formatImage(std::uint32_t tracks) {
    UndoSuspension quiet(undoJournal());
    const std::uint64_t count = std::clamp<std::uint64_t>(tracks, kMinTracks, kMaxTracks);
    if (!resizeImage(geometryOf(count), count * kTrackBytes)) return false;
    std::uint8_t* header = blockPointer(kHeader);
    std::uint8_t* bam = blockPointer(kBamHead);
    std::uint8_t* directory = blockPointer(kFirstDirectory);
    if (!header || !bam || !directory) return false;
    std::fill(header, header + kBlockSize, std::uint8_t{0});
    constexpr std::array<std::uint8_t, 4> kHeaderStart = {1, 34, 'H', 0};
    std::copy(kHeaderStart.begin(), kHeaderStart.end(), header);
    std::fill(header + kNameAt, header + 0x1d, std::uint8_t{0xa0});
    header[kIdAt] = 'C';
    header[kIdAt + 1] = 'M';
    header[0x19] = '1';
    header[0x1a] = 'H';
    std::fill(bam, bam + kBlockSize, std::uint8_t{0});
    constexpr std::array<std::uint8_t, 6> kBamStart = {0, 0, 'H', 0xb7, 'C', 'M'};
    std::copy(kBamStart.begin(), kBamStart.end(), bam);
    bam[kTracksAt] = static_cast<std::uint8_t>(count);
    initBam();
    std::fill(directory, directory + kBlockSize, std::uint8_t{0});
    directory[1] = 0xff;
    toggleBlock(kFirstDirectory);
    setDirectoryStart(kFirstDirectory);
    countDirectoryEntries();
    setModified(false);
    return true;
}

// A DIR entry, its header block and its first directory block, all or nothing.
bool DiskNP::createSubdirectory(std::uint64_t index, std::uint64_t /*blocks*/) {
    setLastError(kErrNone);
    UndoGroup group(*this);
    track_sector_t header{};
    if (!allocateBlock(header, true)) {
        setLastError(kErrDiskFull);
        return false;
    }
    dir_entry_t entry;
    entry.bytes[2] = kDirType;
    entry.bytes[3] = static_cast<std::uint8_t>(header.track);
    entry.bytes[4] = static_cast<std::uint8_t>(header.sector);
    std::fill(entry.bytes.begin() + dir_entry_t::kNameOffset,
              entry.bytes.begin() + dir_entry_t::kNameOffset + dir_entry_t::kNameLength, std::uint8_t{0xa0});
    stampEntryTime(entry);
    entry.setBlockCount(2);
    const std::uint64_t position = std::min(index, countDirectoryEntries());
    if (!insertEntry(static_cast<std::int64_t>(position), entry)) {
        setLastError(kErrInsertEntry);
        return false;
    }
    track_sector_t slotBlock;
    std::uint64_t slot = 0;
    const std::uint8_t* stored = locateEntry(position, includeEmpty(), &slotBlock, &slot);
    if (!stored || stored[3] != header.track || stored[4] != header.sector) {
        setLastError(kErrInsertEntry);
        return false;
    }

    std::array<std::uint8_t, kBlockSize> bytes{};
    bytes[2] = 'H';
    std::fill(bytes.begin() + kNameAt, bytes.begin() + 0x1d, std::uint8_t{0xa0});
    bytes[kIdAt] = 'H';
    const track_sector_t parent = currentHeader();
    const std::array<std::uint8_t, 7> links = {
        static_cast<std::uint8_t>(header.track),
        static_cast<std::uint8_t>(header.sector),
        static_cast<std::uint8_t>(parent.track),
        static_cast<std::uint8_t>(parent.sector),
        static_cast<std::uint8_t>(slotBlock.track),
        static_cast<std::uint8_t>(slotBlock.sector),
        static_cast<std::uint8_t>((slot % kEntriesPerBlock) * dir_entry_t::kSize + 2)};
    std::copy(links.begin(), links.end(), bytes.begin() + kSelfAt);
    static_assert(kParentAt == kSelfAt + 2 && kSlotAt == kSelfAt + 4);

    track_sector_t first{};
    if (!allocateBlock(first, true)) {
        setLastError(kErrDiskFull);
        return false;
    }
    bytes[0] = static_cast<std::uint8_t>(first.track);
    bytes[1] = static_cast<std::uint8_t>(first.sector);
    std::array<std::uint8_t, kBlockSize> empty{};
    empty[1] = 0xff;
    if (!setBlockBytes(header, 0, bytes, "Create Sub Directory") ||
        !setBlockBytes(first, 0, empty, "Create Sub Directory")) {
        setLastError(kErrPastImage);
        return false;
    }
    group.commit("Create Sub Directory");
    return true;
}

}  // namespace platter
