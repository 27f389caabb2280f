#include "platter/formats/disk81.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "platter/formats/bam_snapshot.hpp"
#include "platter/core/library_options.hpp"
#include "platter/formats/d81_header.hpp"
#include "platter/formats/track_search.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kInterleave = 1;
constexpr std::size_t kEntryBytes = 6;
constexpr std::size_t kFirstEntryAt = 16;
constexpr std::size_t kNameAt = 0x04;
constexpr std::size_t kIdAt = 0x16;
constexpr std::size_t kBamIdAt = 4;
constexpr std::size_t kBamHeadBytes = 8;
constexpr std::uint8_t kPartitionType = 0x85;

std::span<std::uint8_t, Disk::kBlockSize> whole(std::uint8_t* block) {
    return std::span<std::uint8_t, Disk::kBlockSize>(block, Disk::kBlockSize);
}

}  // namespace

Disk81::Disk81() : Disk81(format_id::d81) {}

Disk81::Disk81(format_id id) : BamDisk(id) {
    setHighestFileType(kTypeCbm);
    setHeaderBlock(makeBlock(kDirectoryTrack, 0));
    setDirectoryStart(makeBlock(kDirectoryTrack, 3));
    setDefaultImageSize(kSize);
    setGeometry({kTracks, kSectors, kBlocks});
}

bool Disk81::isFirstBam(std::span<const std::uint8_t> block) {
    return block.size() >= kBlockSize && block[2] == 'D' && block[3] == 0xbb;
}

std::uint64_t Disk81::blockOffset(const track_sector_t& block) const {
    return (block.sector + block.track * kSectors - kSectors) * kBlockSize;
}

bool Disk81::isBamBlock(const track_sector_t& block) const {
    return block.track == currentTrack() && block.sector <= 2;
}

bool Disk81::holdsBlock(const track_sector_t& block) const {
    if (!isValidBlock(block)) return false;
    const dir_frame_t* frame = directoryFrame();
    if (!frame || frame->entryType != kTypeCbm) return true;
    const std::uint64_t first = frame->headerBlock.track;
    return block.track >= first && block.track - first < frame->size / kSectors;
}

block_range_fault Disk81::partitionFault(const dir_entry_t& entry) const {
    const block_range_fault area = Disk::partitionFault(entry);
    if (area != block_range_fault::none || entry.fileType() != kTypeCbm) return area;
    if (entry.blockCount() < kSmallestPartition) return block_range_fault::smallerThanKind;
    if (entry.bytes[4] != 0 || entry.blockCount() % kSectors != 0) return block_range_fault::notWholeTracks;
    return block_range_fault::none;
}

bool Disk81::hasAreaFaults() const {
    std::vector<track_sector_t> blocks;
    chainStop(directoryStart(), walk_kind::directory, &blocks);
    for (const track_sector_t& block : blocks) {
        const std::uint8_t* data = blockData(block);
        for (std::uint64_t k = 0; data && k < kEntriesPerBlock; ++k) {
            const auto bytes = std::span<const std::uint8_t>(data + k * dir_entry_t::kSize, dir_entry_t::kSize);
            const dir_entry_t entry = dir_entry_t::fromBytes(bytes);
            if (entry.fileType() == kTypeCbm && partitionFault(entry) != block_range_fault::none) return true;
        }
    }
    return false;
}

std::optional<BamTrack> Disk81::bamEntryOn(std::uint64_t bamTrack, std::uint64_t track) const {
    if (track == 0 || track > kTracks) return std::nullopt;
    const track_sector_t block = makeBlock(bamTrack, track <= 40 ? 1 : 2);
    const std::uint8_t* bam = blockData(block);
    if (!bam) return std::nullopt;
    const std::size_t at = 10 + kEntryBytes * ((track - 1) % 40 + 1);
    return BamTrack(bam, {block, at}, std::span<const std::uint8_t>(bam + at + 1, kEntryBytes - 1));
}

std::optional<BamTrack> Disk81::bamEntry(std::uint64_t track) const { return bamEntryOn(currentTrack(), track); }

std::uint64_t Disk81::blocksFree() const {
    const std::uint8_t* low = blockData(makeBlock(currentTrack(), 1));
    if (!low) return 0;
    const std::uint8_t* high = blockData(makeBlock(currentTrack(), 2));
    std::uint64_t free = 0;
    for (std::uint64_t t = 1; t <= 40; ++t) {
        const std::size_t at = 10 + kEntryBytes * t;
        if (t != kDirectoryTrack) free += low[at];
        if (high) free += high[at];
    }
    return free;
}

bool Disk81::nextDirectorySector(track_sector_t& block) {
    const bool first = block.isNone();
    block.track = currentTrack();
    if (first) {
        block.sector = directoryStart().sector;
        return true;
    }
    if (block.sector + 1 < sectorsPerTrack()) {
        ++block.sector;
        return true;
    }
    block.sector = track_sector_t::kNoSector;
    return false;
}

std::uint8_t* Disk81::allocateBlock(track_sector_t& block, bool markUsed) {
    const bool first = block.track == 0;
    const bool entered = directoryFrame() != nullptr;
    const std::uint64_t last = trackCount();
    TrackSearch search(*this, allocationInterleave(kInterleave), first ? 0 : block.sector);
    auto upwardSkipping40 = [&](std::uint64_t from) {
        for (std::uint64_t t = from; t <= last && !search.found(); ++t)
            if (t != kDirectoryTrack) search.tryTrack(t);
    };
    if (entered || libraryOptions().linearAllocation) {
        upwardSkipping40(first ? (entered ? currentTrack() + 1 : 1) : block.track);
        // Tracks below the given one, the partition's first track among them,
        // before the image counts as full.
        upwardSkipping40(1);
        return takeFoundBlock(*this, search, block, markUsed);
    }
    if (!first && block.track < kDirectoryTrack) {
        search.tryRange(block.track, 1);
        search.tryRange(kDirectoryTrack + 1, last);
    } else if (!first && block.track > kDirectoryTrack) {
        search.tryRange(block.track, last);
    }
    for (std::uint64_t t = kDirectoryTrack - 1; t >= 1 && !search.found(); --t) {
        search.tryTrack(t);
        search.tryTrack(2 * kDirectoryTrack - t);
    }
    search.tryTrack(2 * kDirectoryTrack);
    return takeFoundBlock(*this, search, block, markUsed);
}

// A partition entered has a header of its own, with its name and ID.
const std::uint8_t* Disk81::diskName() const {
    const std::uint8_t* header = blockData(directoryDepth() != 0 ? directoryHeader() : headerBlock());
    return header ? header + kNameAt : nullptr;
}

const std::uint8_t* Disk81::diskId() const {
    const std::uint8_t* header = blockData(directoryDepth() != 0 ? directoryHeader() : headerBlock());
    return header ? header + kIdAt : nullptr;
}

void Disk81::setDiskId(std::span<const std::uint8_t, 5> id) {
    Disk::setDiskId(id);
    for (std::uint64_t s = 1; s <= bamBlocks_; ++s) {
        if (std::uint8_t* bam = sectorPointer(headerBlock().track, s)) {
            bam[kBamIdAt] = id[0];
            bam[kBamIdAt + 1] = id[1];
        }
    }
}

void Disk81::snapshotBam() {
    const std::uint64_t t = currentTrack();
    const track_sector_t blocks[] = {makeBlock(t, 0), makeBlock(t, 1), makeBlock(t, 2)};
    snapshotBamBlocks(*this, blocks);
}

void Disk81::writeEmptyBam(std::uint64_t bamTrack, std::uint64_t firstFree, std::uint64_t lastFree) {
    for (std::uint64_t s = 1; s <= 2; ++s) {
        if (std::uint8_t* bam = sectorPointer(bamTrack, s)) std::fill(bam + kFirstEntryAt, bam + kBlockSize, 0);
    }
    for (std::uint64_t track = firstFree; track <= lastFree; ++track) {
        if (std::optional<BamTrack> entry = bamEntryOn(bamTrack, track)) entry->setAllFree(kSectors);
    }
    UndoSuspension quiet(undoJournal());
    for (std::uint64_t s = 0; s <= 2; ++s) {
        if (std::optional<BamTrack> entry = bamEntryOn(bamTrack, bamTrack))
            entry->toggle(*this, makeBlock(bamTrack, s), kSectors);
    }
}

void Disk81::initBam() {
    snapshotBam();
    // At the top level every track is free; inside a partition only its own.
    const dir_frame_t* partition = directoryFrame();
    const std::uint64_t t = currentTrack();
    if (partition)
        writeEmptyBam(t, t, t + partition->size / kSectors - 1);
    else
        writeEmptyBam(t, 1, kTracks);
}

bool Disk81::formatImage(std::uint32_t) {
    UndoSuspension quiet(undoJournal());
    setModified(true);
    resize(kSize);
    std::array<std::uint8_t*, 4> blocks{};
    for (std::uint64_t s = 0; s < blocks.size(); ++s) {
        blocks[s] = sectorPointer(kDirectoryTrack, s);
        if (!blocks[s]) return false;
    }
    initD81Header(whole(blocks[0]), whole(blocks[1]), whole(blocks[2]), whole(blocks[3]));
    initBam();
    toggleBlock(directoryStart());
    setModified(false);
    return true;
}

void Disk81::findRuns(std::uint64_t wanted, run_t& longest, std::optional<run_t>& best) const {
    longest = {};
    best.reset();
    std::uint64_t track = 1;
    while (track <= trackCount()) {
        if (!isBlockFree(makeBlock(track, 0))) {
            ++track;
            continue;
        }
        run_t run{track, 0};
        track_sector_t at = makeBlock(track, 0);
        while (at.track <= trackCount() && isBlockFree(at)) {
            ++run.blocks;
            at = at.sector + 1 < kSectors ? makeBlock(at.track, at.sector + 1) : makeBlock(at.track + 1, 0);
        }
        if (run.blocks > longest.blocks) longest = run;
        if (wanted != 0 && run.blocks >= wanted && (!best || run.blocks - wanted < best->blocks - wanted)) best = run;
        track = at.track + 1;
    }
}

std::uint64_t Disk81::longestRun() const {
    run_t longest;
    std::optional<run_t> best;
    findRuns(0, longest, best);
    return longest.blocks;
}

std::uint64_t Disk81::defaultSubdirectorySize() const {
    const std::uint64_t run = longestRun();
    return run >= kSmallestPartition ? run : 0;
}

bool Disk81::sizeRange(std::uint64_t& min, std::uint64_t& max, std::uint64_t& current) {
    min = kSmallestPartition;
    current = 0;
    max = longestRun();
    return max >= kSmallestPartition;
}

bool Disk81::createSubdirectory(std::uint64_t index, std::uint64_t blocks) {
    setLastError(kErrNone);
    const std::uint64_t wanted = blocks / kSectors * kSectors;
    if (wanted < kSmallestPartition) {
        setLastError(kErrBadSize);
        return false;
    }
    run_t longest;
    std::optional<run_t> run;
    findRuns(wanted, longest, run);
    if (!run) {
        setLastError(kErrPastImage);
        return false;
    }
    const std::uint64_t p = run->firstTrack;
    std::array<std::uint8_t*, 4> head{};
    for (std::uint64_t s = 0; s < head.size(); ++s) {
        head[s] = sectorPointer(p, s);
        if (!head[s]) {
            setLastError(kErrPastImage);
            return false;
        }
    }

    UndoGroup group(*this);
    dir_entry_t entry;
    entry.bytes[2] = kPartitionType;
    entry.bytes[3] = static_cast<std::uint8_t>(p);
    std::fill(entry.bytes.begin() + dir_entry_t::kNameOffset,
              entry.bytes.begin() + dir_entry_t::kNameOffset + dir_entry_t::kNameLength, std::uint8_t{0xa0});
    entry.setBlockCount(static_cast<std::uint16_t>(wanted));

    snapshotBam();
    {
        UndoSuspension quiet(undoJournal());
        for (std::uint64_t k = 0; k < wanted; ++k) toggleBlockAt(p + k / kSectors, k % kSectors);
    }
    for (std::uint64_t s = 0; s < head.size(); ++s)
        pushUndoRecord(kUndoBytes, makeBlock(p, s), 0, std::span<const std::uint8_t>(head[s], kBlockSize));
    initD81Header(whole(head[0]), whole(head[1]), whole(head[2]), whole(head[3]));
    // The partition's own header links to its own directory, its first BAM
    // block to its second.
    head[0][0] = static_cast<std::uint8_t>(p);
    head[1][0] = static_cast<std::uint8_t>(p);
    std::fill(head[1] + kBamHeadBytes, head[1] + kBlockSize, std::uint8_t{0});
    std::fill(head[2] + kBamHeadBytes, head[2] + kBlockSize, std::uint8_t{0});
    // The partition's own BAM: its tracks free but for its header, BAM and first directory block.
    writeEmptyBam(p, p, p + wanted / kSectors - 1);
    {
        UndoSuspension quiet(undoJournal());
        if (std::optional<BamTrack> own = bamEntryOn(p, p)) own->toggle(*this, makeBlock(p, 3), kSectors);
    }

    if (!insertEntry(static_cast<std::int64_t>(index), entry)) {
        setLastError(kErrNoPartitionRoom);
        return false;
    }
    group.commit("Create Sub Directory");
    return true;
}

}  // namespace platter
