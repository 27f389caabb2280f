#include "platter/formats/disk41.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "forge/bits.hpp"
#include "platter/core/data_provider.hpp"
#include "platter/core/library_options.hpp"
#include "platter/fileid/bam_entries.hpp"
#include "platter/formats/bam_track.hpp"
#include "platter/formats/track_search.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kMaxTracks = 42;
constexpr std::uint64_t kInterleave = 10;
constexpr std::size_t kNameAt = 0x90;
constexpr std::size_t kIdAt = 0xa2;
constexpr std::size_t kPrologicNameAt = 0xa4;
constexpr std::size_t kPrologicIdAt = 0xb6;
constexpr std::size_t kGeosBorderAt = 0xab;
constexpr std::size_t kGeosSignatureAt = 0xad;
constexpr char kGeosSignature[] = "GEOS format V1.0";
constexpr std::size_t kSpeedDosAt = 0xc0;
constexpr std::size_t kDolphinDosAt = 0xac;
constexpr std::size_t kPrologicDosAt = 0x90;
constexpr std::size_t kExtendedBytes = 5 * 4;
constexpr disk_geometry_t kGeometry35{35, 21, Disk41::kBlocks35};
constexpr disk_geometry_t kGeometry40{40, 21, Disk41::kBlocks40};
constexpr disk_geometry_t kGeometry42{42, 21, Disk41::kBlocks42};

// Sectors of each track (index = track; 0 and anything past 40 have none).
constexpr std::array<std::uint8_t, kMaxTracks + 1> kSectorsPerTrack = {
    0,  21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 19, 19, 19, 19,
    19, 19, 19, 18, 18, 18, 18, 18, 18, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17};

// Block index of sector 0 of each track.
constexpr std::array<std::uint16_t, kMaxTracks + 2> kFirstBlock = [] {
    std::array<std::uint16_t, kMaxTracks + 2> first{};
    for (std::uint64_t t = 2; t <= kMaxTracks + 1; ++t)
        first[t] = static_cast<std::uint16_t>(first[t - 1] + (t - 1 <= kMaxTracks ? kSectorsPerTrack[t - 1] : 17));
    return first;
}();

std::size_t extendedOffset(int type) {
    switch (type) {
        case Disk41::kExtendedSpeed: return kSpeedDosAt;
        case Disk41::kExtendedDolphin: return kDolphinDosAt;
        case Disk41::kExtendedPrologic: return kPrologicDosAt;
        default: return 0;
    }
}

bool allZero(const std::uint8_t* from, std::size_t count) {
    return std::all_of(from, from + count, [](std::uint8_t b) { return b == 0; });
}

// The entries of tracks 36-40 at `at` as a 40-track DOS writes them: each free count that of
// its map, no map naming a sector past the 17 of those tracks, and some track with a free block.
bool writtenForFortyTracks(std::span<const std::uint8_t> bam, std::size_t at) {
    bool anyFree = false;
    for (std::size_t k = 0; k < 5; ++k) {
        const std::uint8_t* entry = bam.data() + at + 4 * k;
        const unsigned map = entry[1] | (entry[2] << 8) | (entry[3] << 16);
        if ((map >> 17) != 0 || forge::bitCount(map) != entry[0]) return false;
        anyFree = anyFree || entry[0] != 0;
    }
    return anyFree;
}

// A BAM block that names 40 tracks: tracks 1-35 as a drive keeps them and one of the three
// extended layouts written whole. Garbage or zeros past track 35's entry name nothing.
bool namesFortyTracks(std::span<const std::uint8_t> bam) {
    if (bam.size() < Disk::kBlockSize || !bamEntriesConsistent(bam, 4, 35)) return false;
    return writtenForFortyTracks(bam, kSpeedDosAt) || writtenForFortyTracks(bam, kDolphinDosAt) ||
           writtenForFortyTracks(bam, kPrologicDosAt);
}

// Bytes that are an error table: one error byte a block (0-15), or the DOS codes they stand
// for (0, 20-29, 74), as the table is loaded.
bool isErrorTable(std::span<const std::uint8_t> table) {
    if (table.empty()) return false;
    if (table.front() <= 12) return std::all_of(table.begin(), table.end(), [](std::uint8_t b) { return b <= 15; });
    return std::all_of(table.begin(), table.end(),
                       [](std::uint8_t b) { return b == 0 || (b >= 20 && b <= 29) || b == 74; });
}

}  // namespace

Disk41::Disk41() : Disk41(format_id::d64) {}

Disk41::Disk41(format_id id) : BamDisk(id), tracksFromBam_(id == format_id::d64) {
    setHighestFileType(kTypeRel);
    setHeaderBlock(makeBlock(kDirectoryTrack, 0));
    setDirectoryStart(makeBlock(kDirectoryTrack, 1));
    setDefaultImageSize(kSize35);
    setGeometry(kGeometry35);
}

bool Disk41::isHeaderBlock(std::span<const std::uint8_t> block) {
    if (block.size() < kBlockSize) return false;
    return bamEntriesConsistent(block, 4, 35) || (block[0] == kDirectoryTrack && block[2] == 'A');
}

std::uint64_t Disk41::sectorsOnTrack(std::uint64_t track) { return track <= kMaxTracks ? kSectorsPerTrack[track] : 0; }

std::uint64_t Disk41::firstBlockOfTrack(std::uint64_t track) {
    return track >= 1 && track <= kMaxTracks ? kFirstBlock[track] : 0;
}

// The size names the tracks, unless the BAM names more: a 40-track BAM in a file of 35
// tracks (with or without error bytes) is a 40-track image cut short, and 768 bytes after 40
// tracks that are no error table are track 41 of a 42-track image. An odd size keeps the
// tracks the file holds.
void Disk41::parseImage() {
    setLastError(kErrNone);
    const std::uint64_t size = providerSize();
    const bool fortyTrackBam = tracksFromBam_ && namesFortyTracks(blockBytes(headerBlock()));
    switch (size) {
        case kSize35:
            if (fortyTrackBam) setGeometry(kGeometry40);
            break;
        case kSize35 + kBlocks35:
            if (fortyTrackBam)
                setGeometry(kGeometry40);
            else
                loadErrorBytes(kBlocks35);
            break;
        case kSize40: setGeometry(kGeometry40); break;
        case kSize40 + kBlocks40:
            if (tracksFromBam_ && !isErrorTable(fileBytes(kSize40, kBlocks40))) {
                setGeometry(kGeometry42);
                break;
            }
            setGeometry(kGeometry40);
            loadErrorBytes(kBlocks40);
            break;
        case kSize42: setGeometry(kGeometry42); break;
        case kSize42 + kBlocks42:
            setGeometry(kGeometry42);
            loadErrorBytes(kBlocks42);
            break;
        default:
            markSizeUnknown();
            if (tracksFromBam_ && size > kSize40)
                setGeometry(kGeometry42);
            else if (fortyTrackBam)
                setGeometry(kGeometry40);
            break;
    }
    extendedBam_ = detectExtendedBam();
}

std::span<const std::uint8_t> Disk41::fileBytes(std::uint64_t offset, std::uint64_t count) const {
    DataProvider* provider = dataProvider();
    const std::uint8_t* bytes = provider ? provider->rangeAt(offset, count) : nullptr;
    return bytes ? std::span<const std::uint8_t>(bytes, count) : std::span<const std::uint8_t>();
}

std::uint64_t Disk41::maxSector(std::uint64_t track) const {
    const std::uint64_t sectors = sectorsOf(track);
    return sectors == 0 ? 0 : sectors - 1;
}

std::uint64_t Disk41::blockOffset(const track_sector_t& block) const {
    if (block.track >= 1 && block.track <= trackCount() && block.track <= kMaxTracks)
        return (kFirstBlock[block.track] + block.sector) * kBlockSize;
    return (block.track * 17 + block.sector + 71) * kBlockSize;
}

bool Disk41::isBamBlock(const track_sector_t& block) const { return block == headerBlock(); }

int Disk41::detectExtendedBam() const {
    if (!fortyTracks()) return kExtendedNone;
    return extendedBamLayoutOf(blockBytes(headerBlock()));
}

int Disk41::extendedBamLayoutOf(std::span<const std::uint8_t> bam) {
    if (bam.size() < kBlockSize) return kExtendedNone;
    if (bamEntriesConsistent(bam, kSpeedDosAt, 5)) return kExtendedSpeed;
    if (bamEntriesConsistent(bam, kDolphinDosAt, 5)) return kExtendedDolphin;
    if (bamEntriesConsistent(bam, kPrologicDosAt, 5)) return kExtendedPrologic;
    // Tracks 36-40 all used leave PrologicDOS entries of zeros where other disks keep the name.
    if (allZero(bam.data() + kPrologicDosAt, kExtendedBytes) && !allZero(bam.data() + kPrologicNameAt, 16))
        return kExtendedPrologic;
    return kExtendedNone;
}

bool Disk41::extendedBamUsesBlocks(std::span<const std::uint8_t> bam) {
    const int layout = extendedBamLayoutOf(bam);
    if (layout == kExtendedNone) return false;
    for (std::uint64_t track = 36; track <= 40; ++track) {
        if (bam[extendedOffset(layout) + (track - 36) * 4] < sectorsOnTrack(track)) return true;
    }
    return false;
}

int Disk41::extendedBamType() const {
    if (!fortyTracks()) return kExtendedNone;
    if (extendedBam_ == kExtendedNone) extendedBam_ = detectExtendedBam();
    return extendedBam_;
}

std::optional<BamTrack> Disk41::bamEntry(std::uint64_t track) const {
    if (track == 0 || track > 40) return std::nullopt;
    const std::uint8_t* bam = blockData(headerBlock());
    if (!bam) return std::nullopt;
    std::size_t at = 4 * track;
    if (track > 35) {
        const int type = extendedBamType();
        if (type == kExtendedNone) return std::nullopt;
        at = extendedOffset(type) + (track - 36) * 4;
    }
    return BamTrack(bam, {headerBlock(), at}, std::span<const std::uint8_t>(bam + at + 1, 3));
}

std::uint64_t Disk41::blocksFree() const {
    const std::uint8_t* bam = blockData(headerBlock());
    if (!bam) return 0;
    std::uint64_t free = 0;
    for (std::uint64_t t = 1; t <= 35; ++t) {
        if (t != kDirectoryTrack) free += bam[4 * t];
    }
    if (const int type = extendedBamType(); type != kExtendedNone) {
        const std::size_t at = extendedOffset(type);
        for (std::size_t k = 0; k < 5; ++k) free += bam[at + 4 * k];
    }
    return free;
}

bool Disk41::nextDirectorySector(track_sector_t& block) {
    const std::uint64_t track = kDirectoryTrack;
    if (block.isNone()) {
        block = makeBlock(track, 1);
        return true;
    }
    std::uint64_t sector = block.sector + 3;
    if (sector == 21)
        sector = track_sector_t::kNoSector;
    else if (sector > 18)
        sector -= 17;
    block = makeBlock(track, sector);
    return true;
}

bool Disk41::findOnTrack(std::uint64_t track, std::uint64_t sector, track_sector_t& block) {
    if (track == 0 || track > trackCount()) return false;
    track_sector_t candidate = makeBlock(track, sector);
    if (!findFreeSector(track, candidate, allocationInterleave(kInterleave), sectorsOnTrack(track))) return false;
    block = candidate;
    return true;
}

std::uint8_t* Disk41::allocateBlock(track_sector_t& block, bool markUsed) {
    track_sector_t found;
    bool ok = false;
    const std::uint64_t last = trackCount();
    if (libraryOptions().linearAllocation) {
        for (std::uint64_t t = block.track == 0 ? 1 : block.track; !ok && t < last; ++t) {
            if (t != kDirectoryTrack) ok = findOnTrack(t, 0, found);
        }
    } else if (block.track == 0) {
        for (std::uint64_t t = 17; !ok && t >= 1; --t) ok = findOnTrack(t, 0, found) || findOnTrack(36 - t, 0, found);
    } else if (block.track == kDirectoryTrack) {
        // From the directory track the search goes downward first, then upward.
        for (std::uint64_t t = kDirectoryTrack - 1; !ok && t >= 1; --t) ok = findOnTrack(t, 0, found);
        for (std::uint64_t t = kDirectoryTrack + 1; !ok && t <= last; ++t) ok = findOnTrack(t, 0, found);
    } else if (block.track > kDirectoryTrack) {
        ok = findOnTrack(block.track, block.sector, found);
        for (std::uint64_t t = block.track + 1; !ok && t <= last; ++t) ok = findOnTrack(t, 0, found);
        for (std::uint64_t t = kDirectoryTrack - 1; !ok && t >= 1; --t) ok = findOnTrack(t, 0, found);
    } else {
        ok = findOnTrack(block.track, block.sector, found);
        for (std::uint64_t t = block.track - 1; !ok && t >= 1; --t) ok = findOnTrack(t, 0, found);
        for (std::uint64_t t = kDirectoryTrack + 1; !ok && t <= last; ++t) ok = findOnTrack(t, 0, found);
    }
    return ok ? takeBlock(*this, found, block, markUsed) : nullptr;
}

const std::uint8_t* Disk41::diskName() const {
    const std::uint8_t* bam = blockData(headerBlock());
    if (!bam) return nullptr;
    return bam + (extendedBamType() == kExtendedPrologic ? kPrologicNameAt : kNameAt);
}

const std::uint8_t* Disk41::diskId() const {
    const std::uint8_t* bam = blockData(headerBlock());
    if (!bam) return nullptr;
    return bam + (extendedBamType() == kExtendedPrologic ? kPrologicIdAt : kIdAt);
}

void Disk41::snapshotBam() {
    if (const std::uint8_t* bam = blockPointer(headerBlock()))
        pushUndoRecord(kUndoBamSnapshot, headerBlock(), 0, std::span<const std::uint8_t>(bam, kBlockSize), "BAM");
}

void Disk41::initBam() {
    snapshotBam();
    std::uint8_t* bam = blockPointer(headerBlock());
    if (!bam) return;
    for (std::uint64_t t = 1; t <= 35; ++t) {
        const std::uint64_t sectors = sectorsOnTrack(t);
        std::uint8_t* entry = bam + 4 * t;
        entry[0] = static_cast<std::uint8_t>(sectors);
        entry[1] = 0xff;
        entry[2] = 0xff;
        entry[3] = static_cast<std::uint8_t>((1u << (sectors % 8)) - 1);
    }
    UndoSuspension quiet(undoJournal());
    toggleBlock(headerBlock());
}

bool Disk41::fillTracks(std::uint64_t firstTrack, bool useFillByte) {
    const std::uint8_t fill = libraryOptions().fillByte;
    for (std::uint64_t t = firstTrack; sectorPointer(t, 0) != nullptr; ++t) {
        for (std::uint64_t s = 0;; ++s) {
            std::uint8_t* block = sectorPointer(t, s);
            if (!block) break;
            if (useFillByte) {
                std::memset(block, fill, kBlockSize);
            } else {
                block[0] = 0x4b;
                std::memset(block + 1, 0x01, kBlockSize - 1);
            }
        }
    }
    return true;
}

bool Disk41::formatImage(std::uint32_t) {
    UndoSuspension quiet(undoJournal());
    setModified(true);
    setGeometry(kGeometry35);
    extendedBam_ = kExtendedNone;
    resize(kSize35);
    fillTracks(1, libraryOptions().fillNewSpace != 0);
    writeNewHeader();
    initBam();
    toggleBlock(directoryStart());
    setModified(false);
    return true;
}

void Disk41::writeNewHeader() {
    if (std::uint8_t* bam = blockPointer(headerBlock())) {
        std::memset(bam + 2, 0, kBlockSize - 2);
        bam[0] = static_cast<std::uint8_t>(directoryStart().track);
        bam[1] = static_cast<std::uint8_t>(directoryStart().sector);
        bam[2] = 'A';
        std::memset(bam + kNameAt, 0xa0, 0xab - kNameAt);
        bam[0xa5] = '2';
        bam[0xa6] = 'A';
    }
    if (std::uint8_t* dir = blockPointer(directoryStart())) {
        std::memset(dir + 2, 0, kBlockSize - 2);
        dir[0] = 0;
        dir[1] = 0xff;
    }
}

bool Disk41::isGeosDisk() const {
    const std::uint8_t* bam = blockData(headerBlock());
    return bam && std::memcmp(bam + kGeosSignatureAt, kGeosSignature, 11) == 0;
}

bool Disk41::makeGeosDisk() {
    if (!blockPointer(headerBlock())) return true;
    // The GEOS signature would overwrite a DolphinDOS or PrologicDOS extended BAM.
    const int type = extendedBamType();
    if (type == kExtendedDolphin || type == kExtendedPrologic) return false;
    UndoGroup group(*this);
    track_sector_t border{};
    std::uint8_t* data = allocateBlock(border, true);
    if (!data) return false;
    pushUndoRecord(kUndoBytes, border, 0, std::span<const std::uint8_t>(data, kBlockSize));
    std::memset(data, 0, kBlockSize);
    data[1] = 0xff;
    std::array<std::uint8_t, 18> mark{};
    mark[0] = static_cast<std::uint8_t>(border.track);
    mark[1] = static_cast<std::uint8_t>(border.sector);
    std::memcpy(mark.data() + 2, kGeosSignature, 16);
    setBlockBytes(headerBlock(), kGeosBorderAt, mark, "");
    group.commit("Mark as GEOS");
    return true;
}

bool Disk41::extendDisk(bool toForty) {
    if (fortyTracks() == toForty || trackCount() > 40) return false;
    const std::uint8_t* bam = blockData(headerBlock());
    if (!bam) return false;
    int layout = kExtendedDolphin;
    if (!toForty) {
        // Refuse to cut tracks 36-40 unless the extended BAM shows all of them free.
        const int type = extendedBamType();
        if (type == kExtendedNone) return false;
        const std::uint8_t* entries = bam + extendedOffset(type);
        for (std::uint64_t t = 36; t <= 40; ++t) {
            const std::uint8_t* entry = entries + (t - 36) * 4;
            const auto freeBits = static_cast<std::uint64_t>(
                forge::bitCount(static_cast<unsigned>(entry[1] | (entry[2] << 8) | (entry[3] << 16))));
            if (freeBits < sectorsOnTrack(t) || entry[0] != sectorsOnTrack(t)) return false;
        }
    } else if (isGeosDisk() || !allZero(bam + kDolphinDosAt, kExtendedBytes)) {
        // Keep a GEOS signature or other data at 0xAC intact: fall back to the SpeedDOS place,
        // or refuse when both are taken.
        if (!allZero(bam + kSpeedDosAt, kExtendedBytes)) return false;
        layout = kExtendedSpeed;
    }
    UndoGroup group(*this);
    snapshotBam();
    resizeImage(toForty ? kGeometry40 : kGeometry35, toForty ? kSize40 : kSize35);
    if (toForty) {
        extendedBam_ = layout;
        fillTracks(36, libraryOptions().fillNewSpace != 0);
        if (std::uint8_t* header = blockPointer(headerBlock())) {
            for (std::size_t k = 0; k < 5; ++k) {
                std::uint8_t* entry = header + extendedOffset(layout) + 4 * k;
                entry[0] = 0x11;
                entry[1] = 0xff;
                entry[2] = 0xff;
                entry[3] = 0x01;
            }
        }
    }
    if (hasErrorBytes()) {
        // Resized in place: undoing the size change restores the table's length and codes.
        UndoSuspension quiet(undoJournal());
        setErrorBytes(true, 1);
    }
    group.commit("Extend Disk");
    return fortyTracks();
}

}  // namespace platter
