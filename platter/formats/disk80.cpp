#include "platter/formats/disk80.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "platter/formats/bam_snapshot.hpp"
#include "platter/core/library_options.hpp"
#include "platter/formats/track_search.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kMaxTracks = 154;
constexpr std::uint64_t kSideTracks = 77;
constexpr std::uint64_t kInterleave = 10;
constexpr std::uint64_t kTracksPerBamBlock = 50;
constexpr std::uint64_t kLastDirectorySector = 28;
constexpr std::size_t kEntryBytes = 5;
constexpr std::size_t kFirstEntryAt = 6;
constexpr std::size_t kNameAt = 0x06;
constexpr std::size_t kIdAt = 0x18;

// Tracks 78-154 of an 8250 repeat the zones of tracks 1-77.
constexpr std::uint64_t zoneSectors(std::uint64_t track) {
    if (track == 0 || track > kMaxTracks) return 0;
    const std::uint64_t t = (track - 1) % kSideTracks + 1;
    return t <= 39 ? 29 : t <= 53 ? 27 : t <= 64 ? 25 : 23;
}

// Blocks on the tracks before each track (index = track, 1-155).
constexpr std::array<std::uint16_t, kMaxTracks + 2> kFirstBlock = [] {
    std::array<std::uint16_t, kMaxTracks + 2> first{};
    for (std::uint64_t t = 2; t <= kMaxTracks + 1; ++t)
        first[t] = static_cast<std::uint16_t>(first[t - 1] + zoneSectors(t - 1));
    return first;
}();

track_sector_t bamBlock(std::uint64_t index) { return makeBlock(Disk80::kBamTrack, 3 * index); }

// Whether a BAM block covers tracks [low, end), as its head bytes say.
bool coversTracks(std::span<const std::uint8_t> bam, std::uint64_t low, std::uint64_t end) {
    constexpr std::size_t kLowTrackAt = 4;
    constexpr std::size_t kEndTrackAt = 5;
    return bam.size() >= Disk::kBlockSize && bam[kLowTrackAt] == low && bam[kEndTrackAt] == end;
}

}  // namespace

Disk80::Disk80() : Disk80(format_id::d80, kTracks, kSize, kBlocks) {}

Disk80::Disk80(format_id id, std::uint64_t tracks, std::uint64_t size, std::uint64_t blocks) : BamDisk(id) {
    setHeaderBlock(makeBlock(kBamTrack, 0));
    setDirectoryStart(makeBlock(kDirectoryTrack, 1));
    setGeometry({tracks, 29, blocks});
    setDefaultImageSize(size);
}

Disk82::Disk82() : Disk80(format_id::d82, kTracks, kSize, kBlocks) {}

std::uint64_t Disk80::sectorsOnTrack(std::uint64_t track) { return zoneSectors(track); }

std::uint64_t Disk80::maxSector(std::uint64_t track) const {
    const std::uint64_t sectors = track <= trackCount() ? sectorsOnTrack(track) : 0;
    return sectors == 0 ? 0 : sectors - 1;
}

std::uint64_t Disk80::blockOffset(const track_sector_t& block) const { return offsetOf(block); }

std::uint64_t Disk80::offsetOf(const track_sector_t& block) {
    const std::uint64_t track = std::min(block.track, kMaxTracks + 1);
    return (kFirstBlock[track] + block.sector) * kBlockSize;
}

bool Disk80::namesDoubleSidedTracks(std::span<const std::uint8_t> secondBam) {
    return coversTracks(secondBam, kTracksPerBamBlock + 1, 2 * kTracksPerBamBlock + 1);
}

bool Disk80::namesFirstTracks(std::span<const std::uint8_t> firstBam) {
    return coversTracks(firstBam, 1, kTracksPerBamBlock + 1);
}

bool Disk80::isBamBlock(const track_sector_t& block) const {
    return block.track == kBamTrack && block.sector % 3 == 0 && block.sector / 3 < bamBlocks();
}

std::optional<BamTrack> Disk80::bamEntry(std::uint64_t track) const {
    if (track == 0 || track > trackCount()) return std::nullopt;
    const track_sector_t block = bamBlock((track - 1) / kTracksPerBamBlock);
    const std::uint8_t* bam = blockData(block);
    if (!bam) return std::nullopt;
    const std::size_t at = kFirstEntryAt + kEntryBytes * ((track - 1) % kTracksPerBamBlock);
    return BamTrack(bam, {block, at}, std::span<const std::uint8_t>(bam + at + 1, kEntryBytes - 1));
}

std::uint64_t Disk80::blocksFree() const {
    std::uint64_t free = 0;
    for (std::uint64_t k = 0; k < bamBlocks(); ++k) {
        const std::uint8_t* bam = blockData(bamBlock(k));
        if (!bam) continue;
        const std::uint64_t first = k * kTracksPerBamBlock + 1;
        const std::uint64_t last = std::min(first + kTracksPerBamBlock - 1, trackCount());
        for (std::uint64_t t = first; t <= last; ++t)
            if (t != kDirectoryTrack) free += bam[kFirstEntryAt + kEntryBytes * (t - first)];
    }
    return free;
}

bool Disk80::nextDirectorySector(track_sector_t& block) {
    const bool first = block.isNone();
    block.track = kDirectoryTrack;
    if (first)
        block.sector = directoryStart().sector;
    else if (block.sector < kLastDirectorySector)
        ++block.sector;
    else
        block.sector = track_sector_t::kNoSector;
    return true;
}

std::uint8_t* Disk80::allocateBlock(track_sector_t& block, bool markUsed) {
    const std::uint64_t last = trackCount();
    TrackSearch search(*this, allocationInterleave(kInterleave), block.track == 0 ? 0 : block.sector);
    if (libraryOptions().linearAllocation) {
        for (std::uint64_t t = block.track == 0 ? 1 : block.track; t <= last; ++t)
            if (t != kDirectoryTrack) search.tryTrack(t);
        return takeFoundBlock(*this, search, block, markUsed);
    }
    if (block.track != 0 && block.track < kDirectoryTrack) {
        search.tryRange(block.track, 1);
        search.tryRange(kDirectoryTrack + 1, last);
    } else if (block.track > kDirectoryTrack) {
        search.tryRange(block.track, last);
    }
    // The first-block order, also once the tracks after the given one are
    // full: the disk is full only when no track has a free block.
    for (std::uint64_t k = kDirectoryTrack - 1; k >= 1 && !search.found(); --k) {
        search.tryTrack(k);
        search.tryTrack(2 * kDirectoryTrack - k);
    }
    if (last > kSideTracks) search.tryRange(kSideTracks + 1, last);
    return takeFoundBlock(*this, search, block, markUsed);
}

const std::uint8_t* Disk80::diskName() const {
    const std::uint8_t* header = blockData(makeBlock(kDirectoryTrack, 0));
    return header ? header + kNameAt : nullptr;
}

const std::uint8_t* Disk80::diskId() const {
    const std::uint8_t* header = blockData(makeBlock(kDirectoryTrack, 0));
    return header ? header + kIdAt : nullptr;
}

void Disk80::snapshotBam() {
    std::array<track_sector_t, (kMaxTracks + kTracksPerBamBlock - 1) / kTracksPerBamBlock> blocks{};
    for (std::uint64_t k = 0; k < bamBlocks(); ++k) blocks[k] = bamBlock(k);
    snapshotBamBlocks(*this, std::span<const track_sector_t>(blocks.data(), bamBlocks()));
}

void Disk80::initBam() {
    snapshotBam();
    for (std::uint64_t k = 0; k < bamBlocks(); ++k) {
        std::uint8_t* bam = blockPointer(bamBlock(k));
        if (!bam) continue;
        const std::uint64_t first = k * kTracksPerBamBlock + 1;
        const std::uint64_t end = std::min(first + kTracksPerBamBlock, trackCount() + 1);
        const track_sector_t next = k + 1 < bamBlocks() ? bamBlock(k + 1) : directoryStart();
        std::fill(bam + 2, bam + kBlockSize, std::uint8_t{0});
        bam[0] = static_cast<std::uint8_t>(next.track);
        bam[1] = static_cast<std::uint8_t>(next.sector);
        bam[2] = 'C';
        bam[4] = static_cast<std::uint8_t>(first);
        bam[5] = static_cast<std::uint8_t>(end);
        for (std::uint64_t t = first; t < end; ++t) {
            const std::size_t at = kFirstEntryAt + kEntryBytes * (t - first);
            BamTrack(bam, {bamBlock(k), at}, std::span<std::uint8_t>(bam + at + 1, kEntryBytes - 1))
                .setAllFree(sectorsOnTrack(t));
        }
    }
    UndoSuspension quiet(undoJournal());
    for (std::uint64_t k = 0; k < bamBlocks(); ++k) toggleBlock(bamBlock(k));
    toggleBlockAt(kDirectoryTrack, 0);
    toggleBlock(directoryStart());
}

bool Disk80::formatImage(std::uint32_t) {
    UndoSuspension quiet(undoJournal());
    setModified(true);
    resize(defaultImageSize());
    std::uint8_t* header = sectorPointer(kDirectoryTrack, 0);
    std::uint8_t* directory = blockPointer(directoryStart());
    if (!header || !directory) return false;
    header[0] = kBamTrack;
    header[1] = 0;
    header[2] = 'C';
    header[3] = 0;
    std::fill(header + 0x04, header + 0x1d, std::uint8_t{0xa0});
    header[0x1b] = '2';
    header[0x1c] = 'C';
    // An empty directory block, as the other formats write it.
    std::fill(directory, directory + kBlockSize, std::uint8_t{0});
    directory[1] = 0xff;
    initBam();
    setModified(false);
    return true;
}

}  // namespace platter
