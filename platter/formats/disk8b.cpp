#include "platter/formats/disk8b.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "platter/formats/bam_snapshot.hpp"
#include "platter/formats/track_search.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kInterleave = 1;
constexpr std::uint64_t kFirstDirectorySector = 4;
constexpr std::uint64_t kEntryBytes = 18;
constexpr std::uint64_t kMapAt = 16;
constexpr std::uint64_t kMapPerBlock = Disk::kBlockSize - kMapAt;  // 240

}  // namespace

Disk8B::Disk8B() : Disk81(format_id::d8b) {
    setGeometry({kTracks, kSectors, kBlocks});
    setDefaultImageSize(kSize);
    setHeaderBlock(makeBlock(1, 0));
    setDirectoryStart(makeBlock(1, kFirstDirectorySector));
    bamBlocks_ = 3;
}

std::uint64_t Disk8B::blockOffset(const track_sector_t& block) const {
    return ((block.track - 1) * kSectors + block.sector) * kBlockSize;
}

bool Disk8B::isBamBlock(const track_sector_t& block) const {
    return block.track == headerBlock().track && block.sector >= 1 && block.sector <= 3;
}

std::optional<BamTrack> Disk8B::bamEntry(std::uint64_t track) const {
    if (track == 0 || track > kTracks) return std::nullopt;
    // Map offset m lies in BAM block 1 + m / 240 at byte 16 + m % 240.
    const std::uint64_t m = (track - 1) * kEntryBytes;
    const std::uint64_t bamTrack = headerBlock().track;
    const count_place_t place{makeBlock(bamTrack, 1 + m / kMapPerBlock), kMapAt + m % kMapPerBlock};
    const std::uint8_t* countBlock = blockData(place.block);
    if (!countBlock) return std::nullopt;
    const std::uint64_t mapStart = m + 1;
    const std::uint8_t* mapBlock = blockData(makeBlock(bamTrack, 1 + mapStart / kMapPerBlock));
    if (!mapBlock) return std::nullopt;
    const std::uint64_t inBlock = std::min(kEntryBytes - 1, kMapPerBlock - mapStart % kMapPerBlock);
    const std::span<const std::uint8_t> map(mapBlock + kMapAt + mapStart % kMapPerBlock, inBlock);
    if (inBlock == kEntryBytes - 1) return BamTrack(countBlock, place, map);
    // Tracks 14 and 27: the map goes on in the next BAM block.
    const std::uint8_t* next = blockData(makeBlock(bamTrack, 2 + mapStart / kMapPerBlock));
    if (!next) return std::nullopt;
    return BamTrack(countBlock, place, map, std::span<const std::uint8_t>(next + kMapAt, kEntryBytes - 1 - inBlock));
}

std::uint64_t Disk8B::blocksFree() const {
    std::uint64_t free = 0;
    for (std::uint64_t t = 2; t <= kTracks; ++t) {
        const std::uint64_t m = (t - 1) * kEntryBytes;
        if (const std::uint8_t* block = blockData(makeBlock(headerBlock().track, 1 + m / kMapPerBlock)))
            free += block[kMapAt + m % kMapPerBlock];
    }
    return free;
}

std::uint8_t* Disk8B::allocateBlock(track_sector_t& block, bool markUsed) {
    const std::uint64_t firstTrack = directoryFrame() == nullptr ? currentTrack() + 1 : 1;
    TrackSearch search(*this, allocationInterleave(kInterleave), block.track == 0 ? 0 : block.sector);
    search.tryRange(block.track == 0 ? firstTrack : block.track, trackCount());
    // Tracks below the given one before the image counts as full.
    search.tryRange(firstTrack, trackCount());
    return takeFoundBlock(*this, search, block, markUsed);
}

void Disk8B::snapshotBam() {
    const std::uint64_t t = headerBlock().track;
    const track_sector_t blocks[] = {makeBlock(t, 0), makeBlock(t, 1), makeBlock(t, 2), makeBlock(t, 3)};
    snapshotBamBlocks(*this, blocks);
}

void Disk8B::initBam() {
    snapshotBam();
    if (std::uint8_t* header = blockPointer(headerBlock()))
        std::fill(header + 0x1c, header + kBlockSize, std::uint8_t{0});
    for (std::uint64_t t = 1; t <= kTracks; ++t) {
        if (std::optional<BamTrack> entry = bamEntry(t)) entry->setAllFree(kSectors);
    }
    UndoSuspension quiet(undoJournal());
    for (std::uint64_t s = 0; s <= kFirstDirectorySector; ++s) toggleBlockAt(headerBlock().track, s);
}

bool Disk8B::formatImage(std::uint32_t) {
    UndoSuspension quiet(undoJournal());
    setModified(true);
    resize(kSize);
    std::array<std::uint8_t*, 5> blocks{};
    for (std::uint64_t s = 0; s < blocks.size(); ++s) {
        blocks[s] = sectorPointer(headerBlock().track, s);
        if (!blocks[s]) return false;
    }
    std::uint8_t* header = blocks[0];
    static constexpr std::uint8_t kHeader[] = {1,    4,    'D',  0,    'N',  'E',  'W',  ' ',  'D',  'I',
                                               'S',  'K',  0xa0, 0xa0, 0xa0, 0xa0, 0xa0, 0xa0, 0xa0, 0xa0,
                                               0xa0, 0xa0, 'B',  'B',  0xa0, '3',  'D',  0xa0};
    std::copy(std::begin(kHeader), std::end(kHeader), header);
    for (std::uint64_t s = 1; s <= 3; ++s) {
        const std::uint8_t head[] = {static_cast<std::uint8_t>(s < 3 ? 1 : 0),
                                     static_cast<std::uint8_t>(s < 3 ? s + 1 : 0xff),
                                     'D',
                                     0xbb,
                                     'B',
                                     'B',
                                     0xc0};
        std::copy(std::begin(head), std::end(head), blocks[s]);
    }
    std::fill(blocks[4], blocks[4] + kBlockSize, std::uint8_t{0});
    blocks[4][1] = 0xff;
    initBam();
    setModified(false);
    return true;
}

}  // namespace platter
