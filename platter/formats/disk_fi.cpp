#include "platter/formats/disk_fi.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "forge/bits.hpp"
#include "platter/formats/bam_snapshot.hpp"
#include "platter/formats/track_search.hpp"

namespace platter {

namespace {

constexpr track_sector_t kArchiveHeader = makeBlock(1, 0);
constexpr std::uint64_t kFirstMapSector = 16;
constexpr std::uint64_t kMapBlocks = 32;
constexpr std::uint64_t kMapBytes = 32;  // per track
constexpr std::uint64_t kFirstFileSector = 3;
constexpr std::size_t kTrackCountAt = 0x1c;
constexpr std::size_t kDiskHeaderAt = 0x20;
constexpr std::size_t kNameAt = 0x90;
constexpr std::size_t kIdAt = 0xa2;
constexpr std::string_view kSignature = "DREAMLOAD FILE ARCHIVE";

// Sector s is bit 7 - s mod 8 of byte s div 8; set means used.
constexpr std::uint8_t sectorBit(std::uint64_t sector) { return static_cast<std::uint8_t>(0x80u >> (sector % 8)); }

constexpr track_sector_t mapBlockOf(std::uint64_t track) { return makeBlock(1, kFirstMapSector + (track - 1) / 8); }
constexpr std::size_t mapOffsetOf(std::uint64_t track) { return kMapBytes * ((track - 1) % 8); }

constexpr disk_geometry_t geometryOf(std::uint64_t tracks) { return {tracks, DiskFI::kSectors, 0}; }

}  // namespace

DiskFI::DiskFI() : Disk(format_id::dfi) {
    setGeometry(geometryOf(1));
    setDefaultImageSize(kTrackBytes);
    setHeaderBlock(makeBlock(1, kFirstMapSector));
    setDirectoryStart(makeBlock(1, 2));
    setGrowsOnDemand(true);
}

void DiskFI::parseImage() {
    setLastError(kErrNone);
    const std::uint64_t size = providerSize();
    const std::uint64_t whole = size / kTrackBytes;
    const std::uint8_t* header = blockData(kArchiveHeader);
    const std::uint64_t stored = header ? header[kTrackCountAt] : 0;
    // Only the tracks both the count byte and the file hold; one at the least, so that a
    // damaged count does not hide the archive.
    setGeometry(geometryOf(std::max<std::uint64_t>(std::min(stored, whole), 1)));
    if (size % kTrackBytes != 0 || stored != whole || stored == 0) markSizeUnknown();
}

bool DiskFI::extendDisk(bool grow) {
    if (!grow || trackCount() >= kMaxTracks) return false;
    const std::uint64_t tracks = trackCount() + 1;
    UndoGroup group(*this);
    if (!resizeImage(geometryOf(tracks), tracks * kTrackBytes)) return false;
    const std::uint8_t count = static_cast<std::uint8_t>(tracks);
    const std::array<std::uint8_t, kMapBytes> allFree{};
    if (!setBlockBytes(kArchiveHeader, kTrackCountAt, std::span(&count, 1), "Extend Disk") ||
        !setBlockBytes(mapBlockOf(tracks), mapOffsetOf(tracks), allFree, "Extend Disk"))
        return false;
    group.commit("Extend Disk");
    return true;
}

const std::uint8_t* DiskFI::trackMap(std::uint64_t track) const {
    if (track == 0 || track > trackCount()) return nullptr;
    const std::uint8_t* block = blockData(mapBlockOf(track));
    return block ? block + mapOffsetOf(track) : nullptr;
}

std::uint64_t DiskFI::blocksFree() const {
    std::uint64_t free = 0;
    for (std::uint64_t t = 1; t <= trackCount(); ++t) {
        const std::uint8_t* map = trackMap(t);
        if (!map) continue;
        std::uint64_t used = 0;
        for (std::uint64_t i = 0; i < kMapBytes; ++i) used += static_cast<std::uint64_t>(forge::bitCount(map[i]));
        free += kSectors - used;
    }
    return free;
}

bool DiskFI::isValidBlock(const track_sector_t& block) const {
    return block.track >= 1 && block.track <= trackCount() && block.sector < kSectors;
}

std::uint64_t DiskFI::blockOffset(const track_sector_t& block) const {
    return ((block.track - 1) * kSectors + block.sector) * kBlockSize;
}

bool DiskFI::isBlockFree(const track_sector_t& block) const {
    if (!isValidBlock(block)) return false;
    const std::uint8_t* map = trackMap(block.track);
    return map && (map[block.sector / 8] & sectorBit(block.sector)) == 0;
}

bool DiskFI::toggleBlock(const track_sector_t& block) {
    if (!isValidBlock(block) || !trackMap(block.track)) return false;
    std::uint8_t* map = blockPointer(mapBlockOf(block.track)) + mapOffsetOf(block.track);
    map[block.sector / 8] ^= sectorBit(block.sector);
    pushUndoRecord(kUndoToggleBlock, block, 0, {}, "Toggle Sector");
    setModified(true);
    return true;
}

bool DiskFI::isBamBlock(const track_sector_t& block) const {
    return block.track == 1 && block.sector >= kFirstMapSector && block.sector < kFirstMapSector + kMapBlocks;
}

bool DiskFI::nextDirectorySector(track_sector_t& block) {
    if (block.isNone()) {
        block = directoryStart();
        return true;
    }
    if (const std::uint8_t* data = blockData(block); data && data[0] != 0) {
        block = makeBlock(data[0], data[1]);
        return true;
    }
    // The chain ends here: a new directory block comes from the free blocks.
    return allocateBlock(block, false) != nullptr;
}

std::optional<track_sector_t> DiskFI::firstFreeFrom(track_sector_t from) const {
    for (std::uint64_t t = std::max<std::uint64_t>(from.track, 1); t <= trackCount(); ++t) {
        const std::uint8_t* map = trackMap(t);
        if (!map) continue;
        std::uint64_t s = t == from.track ? from.sector : 0;
        if (t == 1) s = std::max(s, kFirstFileSector);
        for (; s < kSectors; ++s) {
            if (s % 8 == 0 && map[s / 8] == 0xff) {
                s += 7;
            } else if ((map[s / 8] & sectorBit(s)) == 0) {
                return makeBlock(t, s);
            }
        }
    }
    return std::nullopt;
}

std::uint8_t* DiskFI::allocateBlock(track_sector_t& block, bool markUsed) {
    const track_sector_t from = block.track == 0 ? makeBlock(1, 0) : block;
    // Upward from the given block, then the blocks before it; only a full archive grows.
    std::optional<track_sector_t> found = firstFreeFrom(from);
    if (!found) found = firstFreeFrom(makeBlock(1, 0));
    if (!found && extendDisk(true)) found = firstFreeFrom(makeBlock(trackCount(), 0));
    return found ? takeBlock(*this, *found, block, markUsed) : nullptr;
}

const std::uint8_t* DiskFI::diskHeader() const {
    const std::uint8_t* header = blockData(kArchiveHeader);
    return header ? blockData(makeBlock(header[kDiskHeaderAt], header[kDiskHeaderAt + 1])) : nullptr;
}

const std::uint8_t* DiskFI::diskName() const {
    const std::uint8_t* header = diskHeader();
    return header ? header + kNameAt : nullptr;
}

const std::uint8_t* DiskFI::diskId() const {
    const std::uint8_t* header = diskHeader();
    return header ? header + kIdAt : nullptr;
}

void DiskFI::snapshotBam() {
    std::array<track_sector_t, kMapBlocks> blocks{};
    for (std::uint64_t k = 0; k < kMapBlocks; ++k) blocks[k] = makeBlock(1, kFirstMapSector + k);
    snapshotBamBlocks(*this, blocks);
}

void DiskFI::initBam() {
    snapshotBam();
    for (std::uint64_t k = 0; k < kMapBlocks; ++k) {
        if (std::uint8_t* map = sectorPointer(1, kFirstMapSector + k)) std::fill_n(map, kBlockSize, std::uint8_t{0});
    }
    UndoSuspension quiet(undoJournal());
    for (std::uint64_t k = 0; k < kMapBlocks; ++k) toggleBlockAt(1, kFirstMapSector + k);
    toggleBlockAt(1, 0);
    toggleBlockAt(1, 1);
}

bool DiskFI::formatImage(std::uint32_t) {
    UndoSuspension quiet(undoJournal());
    setModified(true);
    setGeometry(geometryOf(1));
    resize(kTrackBytes);
    std::uint8_t* archive = sectorPointer(1, 0);
    std::uint8_t* disk = sectorPointer(1, 1);
    std::uint8_t* directory = sectorPointer(directoryStart());
    if (!archive || !disk || !directory) return false;
    std::fill_n(archive, kBlockSize, std::uint8_t{0});
    std::copy(kSignature.begin(), kSignature.end(), archive + 1);
    archive[0x1a] = 1;
    archive[kTrackCountAt] = 1;
    archive[kDiskHeaderAt] = 1;
    archive[kDiskHeaderAt + 1] = 1;
    archive[0x22] = 1;
    archive[0x23] = kFirstMapSector;
    std::fill(archive + 0x60, archive + kBlockSize, std::uint8_t{' '});

    std::fill_n(disk, kBlockSize, std::uint8_t{0});
    static constexpr std::uint8_t kDiskHeader[] = {1, 2, 'M'};
    std::copy(std::begin(kDiskHeader), std::end(kDiskHeader), disk);
    std::fill_n(disk + kNameAt, 16, std::uint8_t{0xa0});
    static constexpr std::uint8_t kId[] = {'U', 'T', 0xa0, '2', 'A'};
    std::copy(std::begin(kId), std::end(kId), disk + kIdAt);

    // An empty directory block, as the other formats write it.
    std::fill_n(directory, kBlockSize, std::uint8_t{0});
    directory[1] = 0xff;
    initBam();
    toggleBlock(directoryStart());
    setModified(false);
    return true;
}

}  // namespace platter
