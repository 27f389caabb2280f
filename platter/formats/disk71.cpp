#include "platter/formats/disk71.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "platter/formats/bam_snapshot.hpp"
#include "platter/core/library_options.hpp"
#include "platter/formats/track_search.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kSideTracks = 35;
constexpr std::uint64_t kInterleave = 10;
constexpr std::size_t kSecondCountsAt = 0xdd;
constexpr std::uint8_t kDoubleSided = 0x80;

// The tracks searched for a following block, each zone in its own direction.
struct zone_t {
    std::uint64_t first;
    std::uint64_t last;
};
constexpr std::array<zone_t, 4> kZones = {{{17, 1}, {19, 35}, {52, 36}, {54, 70}}};

bool inZone(const zone_t& zone, std::uint64_t track) {
    return track >= std::min(zone.first, zone.last) && track <= std::max(zone.first, zone.last);
}

}  // namespace

Disk71::Disk71() : Disk41(format_id::d71) {
    setDefaultImageSize(kSize);
    setGeometry({kTracks, 21, kBlocks});
}

std::uint64_t Disk71::sectorsOnSide(std::uint64_t track) {
    if (track == 0 || track > kTracks) return 0;
    return sectorsOnTrack(track > kSideTracks ? track - kSideTracks : track);
}

bool Disk71::namesTwoSides(std::span<const std::uint8_t> header) {
    if (header.size() < kBlockSize || (header[3] & kDoubleSided) == 0) return false;
    for (std::uint64_t k = 0; k < kSideTracks; ++k) {
        if (header[kSecondCountsAt + k] > sectorsOnTrack(k + 1)) return false;
    }
    return true;
}

std::uint64_t Disk71::blockOffset(const track_sector_t& block) const {
    if (block.track > kSideTracks && block.track <= kTracks)
        return (kBlocks35 + firstBlockOfTrack(block.track - kSideTracks) + block.sector) * kBlockSize;
    return (firstBlockOfTrack(block.track) + block.sector) * kBlockSize;
}

bool Disk71::isBamBlock(const track_sector_t& block) const {
    return block == headerBlock() || block == makeBlock(kBamTrack, 0);
}

std::optional<BamTrack> Disk71::bamEntry(std::uint64_t track) const {
    if (track <= kSideTracks) return Disk41::bamEntry(track);
    if (track > kTracks) return std::nullopt;
    const std::uint8_t* counts = blockData(headerBlock());
    const std::uint8_t* maps = blockData(makeBlock(kBamTrack, 0));
    if (!counts || !maps) return std::nullopt;
    const std::uint64_t k = track - kSideTracks - 1;
    return BamTrack(counts, {headerBlock(), kSecondCountsAt + k}, std::span<const std::uint8_t>(maps + 3 * k, 3));
}

std::uint64_t Disk71::blocksFree() const {
    const std::uint8_t* bam = blockData(headerBlock());
    if (!bam) return 0;
    std::uint64_t free = 0;
    for (std::uint64_t t = 1; t <= kSideTracks; ++t) {
        if (t != kDirectoryTrack) free += bam[4 * t];
        if (t + kSideTracks != kBamTrack) free += bam[kSecondCountsAt + t - 1];
    }
    return free;
}

std::uint8_t* Disk71::allocateBlock(track_sector_t& block, bool markUsed) {
    const std::uint64_t interleave = allocationInterleave(kInterleave);
    if (libraryOptions().linearAllocation) {
        TrackSearch search(*this, interleave, 0);
        for (std::uint64_t t = block.track == 0 ? 1 : block.track; t < kTracks; ++t)
            if (t != kDirectoryTrack && t != kBamTrack) search.tryTrack(t);
        return takeFoundBlock(*this, search, block, markUsed);
    }
    // A following block: from the given track through the end of zone 4
    // (18 and 53 lead into the zone after them, from sector 0).
    std::uint64_t track = block.track == kDirectoryTrack ? 19 : block.track == kBamTrack ? 54 : block.track;
    TrackSearch search(*this, interleave, track == block.track ? block.sector : 0);
    std::size_t zone = 0;
    while (zone < kZones.size() && !inZone(kZones[zone], track)) ++zone;
    for (; zone < kZones.size(); ++zone) {
        search.tryRange(track, kZones[zone].last);
        if (zone + 1 < kZones.size()) track = kZones[zone + 1].first;
    }
    // The first-block order, also once the zones after the given track are
    // full: the disk is full only when no track has a free block.
    for (std::uint64_t k = 17; k >= 1 && !search.found(); --k) {
        search.tryTrack(k);
        search.tryTrack(36 - k);
        search.tryTrack(k + 35);
        search.tryTrack(71 - k);
    }
    return takeFoundBlock(*this, search, block, markUsed);
}

void Disk71::snapshotBam() {
    const track_sector_t blocks[] = {headerBlock(), makeBlock(kBamTrack, 0)};
    snapshotBamBlocks(*this, blocks);
}

void Disk71::initBam() {
    snapshotBam();
    std::uint8_t* bam = blockPointer(headerBlock());
    std::uint8_t* maps = sectorPointer(kBamTrack, 0);
    if (!bam || !maps) return;
    for (std::uint64_t t = 1; t <= kSideTracks; ++t) {
        const std::uint64_t sectors = sectorsOnTrack(t);
        BamTrack(bam, {headerBlock(), 4 * t}, std::span<std::uint8_t>(bam + 4 * t + 1, 3)).setAllFree(sectors);
        BamTrack(bam, {headerBlock(), kSecondCountsAt + t - 1}, std::span<std::uint8_t>(maps + 3 * (t - 1), 3))
            .setAllFree(sectors);
    }
    UndoSuspension quiet(undoJournal());
    toggleBlock(headerBlock());
    for (std::uint64_t s = 0; s < sectorsOnSide(kBamTrack); ++s) toggleBlockAt(kBamTrack, s);
}

bool Disk71::formatImage(std::uint32_t) {
    UndoSuspension quiet(undoJournal());
    setModified(true);
    resize(kSize);
    fillTracks(1, libraryOptions().fillNewSpace != 0);
    writeNewHeader();
    if (std::uint8_t* bam = blockPointer(headerBlock())) bam[3] = kDoubleSided;
    initBam();
    toggleBlock(directoryStart());
    setModified(false);
    return true;
}

}  // namespace platter
