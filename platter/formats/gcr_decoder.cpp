#include "platter/formats/gcr_decoder.hpp"

#include <algorithm>

#include "platter/fileid/type_ids.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/formats/gcr_track_syncs.hpp"

namespace platter {

namespace {

constexpr std::size_t kBlockSize = 256;
constexpr std::uint64_t kDirectoryTrack = 18;

// Block index of sector 0 of each track; the entry after the last is the total.
const std::array<std::uint16_t, GcrDecoder::kHighestTrack + 2>& firstBlocks() {
    static const auto table = [] {
        std::array<std::uint16_t, GcrDecoder::kHighestTrack + 2> first{};
        for (std::size_t t = 2; t < first.size(); ++t)
            first[t] = static_cast<std::uint16_t>(first[t - 1] + Disk41::sectorsOnTrack(t - 1));
        return first;
    }();
    return table;
}

}  // namespace

std::size_t GcrDecoder::blockIndex(std::uint64_t track, std::uint64_t sector) {
    return firstBlocks()[track] + static_cast<std::size_t>(sector);
}

std::uint64_t GcrDecoder::trackOfBlock(std::uint64_t block) {
    const auto& first = firstBlocks();
    return static_cast<std::uint64_t>(std::upper_bound(first.begin() + 1, first.end(), block) - first.begin()) - 1;
}

GcrDecoder::GcrDecoder()
    : sectors_(std::make_unique_for_overwrite<std::uint8_t[]>(Disk41::kBlocks42 * (kBlockSize + 1))),
      codes_(Disk41::kBlocks42, kGcrGood),
      pendingData_(Disk41::kBlocks42, kDecoded) {}

void GcrDecoder::loadG64(std::span<const std::uint8_t> file) { loadG64(gcrFileOf(file)); }

void GcrDecoder::loadNib(std::span<const std::uint8_t> file) { loadNib(gcrFileOf(file)); }

void GcrDecoder::loadG64(gcr_file_t file) {
    file_ = std::move(file);
    fileTracks(listG64Tracks(file_));
}

void GcrDecoder::loadNib(gcr_file_t file) {
    file_ = std::move(file);
    fileTracks(listNibTracks(file_));
}

bool GcrDecoder::load(std::span<const std::uint8_t> file, std::uint32_t typeId) {
    namespace type_id = fileid::type_id;
    if (typeId == type_id::g64) {
        loadG64(file);
    } else if (typeId >= type_id::nib && typeId <= type_id::nib_v3) {
        loadNib(file);
    } else {
        return false;
    }
    return true;
}

// A dump is filed under the track its first header names while that slot is
// free, else under the track the file's table gives it. Half-track dumps come
// last and only fill free slots: a head between two tracks reads one of them,
// and must not push the whole tracks off their places. A track whose dump the
// file was cut before is missing unless another dump took its place.
void GcrDecoder::fileTracks(const std::vector<gcr_entry_t>& entries) {
    slots_ = {};
    missing_ = {};
    std::uint64_t longest = 0;
    for (const gcr_entry_t& entry : entries) longest = std::max(longest, entry.length);
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(longest));
    for (const bool halfTracks : {false, true}) {
        for (const gcr_entry_t& entry : entries) {
            if (entry.halfTrack != halfTracks || entry.cut) continue;
            const std::optional<filed_scan_t> filed = scanDump(entry, scratch);
            if (!filed) continue;
            const gcr_scan_t& scan = filed->scan;
            const std::uint64_t own = halfTracks ? 0 : entry.track;
            if (scan.code != kGcrGood) {
                if (own >= 1 && own <= kHighestTrack && !slots_[own].present)
                    slots_[own] = {true, scan.code, scan.noSyncMark, 0, 0, {}};
                continue;
            }
            std::uint64_t target = own;
            if (scan.headerTrack < kHighestTrack) {
                if (!slots_[scan.headerTrack].present) target = scan.headerTrack;
            } else if (scan.headerSector < Disk41::sectorsOnTrack(kHighestTrack) && !slots_[kHighestTrack].present) {
                target = kHighestTrack;
            }
            if (target >= 1 && target <= kHighestTrack)
                slots_[target] = {true, kGcrGood, false, filed->offset, scan.track.size(), {}};
        }
    }
    for (const gcr_entry_t& entry : entries) {
        if (entry.cut && entry.track >= 1 && entry.track <= kHighestTrack && !slots_[entry.track].present)
            missing_[entry.track] = true;
    }
}

// The first bytes go into the scratch buffer, so that the scan sees a dump of the right
// length; it reads none of the zeros behind them.
std::optional<GcrDecoder::filed_scan_t> GcrDecoder::scanDump(const gcr_entry_t& entry,
                                                             std::vector<std::uint8_t>& scratch) const {
    // With its length, in the two blocks a file read on demand reads at once.
    constexpr std::uint64_t kFirstBytes = 254;
    if (entry.length > kFirstBytes) {
        const std::span<const std::uint8_t> first = file_.bytes(entry.offset, kFirstBytes);
        if (first.empty()) return std::nullopt;
        const std::span<const std::uint8_t> dump(scratch.data(), static_cast<std::size_t>(entry.length));
        std::copy(first.begin(), first.end(), scratch.begin());
        const std::optional<gcr_scan_t> scan = scanTrackStart(dump, first.size());
        std::fill_n(scratch.begin(), first.size(), 0);
        if (scan) {
            const auto start = static_cast<std::uint64_t>(scan->track.data() - dump.data());
            return filed_scan_t{*scan, entry.offset + start};
        }
    }
    const std::span<const std::uint8_t> dump = file_.bytes(entry.offset, entry.length);
    if (dump.empty()) return std::nullopt;
    const gcr_scan_t scan = scanTrack(dump);
    return filed_scan_t{scan, entry.offset + static_cast<std::uint64_t>(scan.track.data() - dump.data())};
}

std::span<const std::uint8_t> GcrDecoder::slotBytes(std::uint64_t track) {
    slot_t& slot = slots_[track];
    if (slot.present && slot.bytes.empty() && slot.length != 0) {
        slot.bytes = file_.bytes(slot.offset, slot.length);
        if (slot.bytes.empty()) slot.present = false;
    }
    return slot.bytes;
}

std::vector<std::uint64_t> GcrDecoder::missingTracks() const {
    std::vector<std::uint64_t> tracks;
    for (std::uint64_t track = 1; track <= kHighestTrack; ++track) {
        if (missing_[track]) tracks.push_back(track);
    }
    return tracks;
}

bool GcrDecoder::holdsDisk() {
    if (missing_[kDirectoryTrack]) return false;
    decodeTrack(kDirectoryTrack);
    return headerFound_[kDirectoryTrack];
}

void GcrDecoder::decodeAllTracks() {
    for (std::uint64_t track = 1; track <= kHighestTrack; ++track) decodeTrack(track);
}

// A track without a readable header gives every sector the same code; else
// each sector is looked for in turn, from where the last one ended, so a
// track in the usual order is read in about one revolution.
void GcrDecoder::decodeTrack(std::uint64_t track) {
    if (track < 1 || track > kHighestTrack || decoded_[track]) return;
    decoded_[track] = true;
    if (strict_ && !diskIdRead_) readDiskId();
    // What a freshly formatted 1541 sector holds, or zeros for a track never formatted.
    std::uint8_t* const first = sectors_.get() + blockIndex(track, 0) * kBlockSize;
    const std::size_t trackBytes = Disk41::sectorsOnTrack(track) * kBlockSize;
    const bool zeroFill = zeroFillMissing_ && slots_[track].noSyncMark;
    std::fill(first, first + trackBytes, zeroFill ? 0x00 : 0x01);
    if (!zeroFill) {
        for (std::size_t at = 0; at < trackBytes; at += kBlockSize) first[at] = 0x4B;
    }
    const GcrTrackSyncs syncs(slotBytes(track));
    const slot_t& slot = slots_[track];
    gcr_code trackCode = slot.present ? slot.code : kGcrNoSync;
    if (trackCode == kGcrGood) trackCode = findFirstHeader(syncs, !strict_);
    const bool readSectors = trackCode == kGcrGood || trackCode == kGcrHeaderChecksum;
    std::size_t bit = 0;
    for (std::uint64_t sector = 0; sector < Disk41::sectorsOnTrack(track); ++sector) {
        gcr_code code = trackCode;
        if (readSectors) {
            code = findSectorHeader(syncs, bit, track, sector);
            if (code == kGcrGood) {
                headerFound_[track] = true;
                code = findDataBlock(syncs, bit, track, sector);
            }
        }
        codes_[blockIndex(track, sector)] = code;
    }
}

void GcrDecoder::readDiskId() {
    diskIdRead_ = true;
    const std::span<const std::uint8_t> bytes = slotBytes(kDirectoryTrack);
    const slot_t& slot = slots_[kDirectoryTrack];
    if (slot.present && slot.code == kGcrGood) findFirstHeader(GcrTrackSyncs(bytes), true);
}

// A missing track past 35 widens the image as a decoded sector there would:
// the file held a wider disk.
std::uint64_t GcrDecoder::imageSize() {
    if (imageSize_ == 0) {
        std::uint64_t highest = 0;
        // A track without a dump decodes no sector: it is left until its blocks are asked for.
        for (std::uint64_t track = 36; track <= kHighestTrack; ++track) {
            if (slots_[track].present) decodeTrack(track);
            if (missing_[track]) highest = track;
        }
        highest = std::max(highest, highestDecodedTrack_);
        const std::uint64_t lastTrack = highest > 40 ? 42 : highest > 35 ? 40 : 35;
        imageSize_ = firstBlocks()[lastTrack + 1] * kBlockSize;
    }
    return imageSize_;
}

bool GcrDecoder::isMissingAt(std::uint64_t offset) {
    return offset < imageSize() && missing_[trackOfBlock(offset / kBlockSize)];
}

std::uint8_t* GcrDecoder::imageAt(std::uint64_t offset) {
    const std::uint64_t size = finished() ? finishedSize_ : imageSize();
    if (offset > size || isMissingAt(offset)) return nullptr;
    if (!finished() && offset < size) {
        const std::uint64_t block = offset / kBlockSize;
        decodeTrack(trackOfBlock(block));
        readBlock(static_cast<std::size_t>(block));
    }
    return sectors_.get() + offset;
}

std::uint64_t GcrDecoder::decodedBytesAt(std::uint64_t offset) {
    if (isMissingAt(offset)) return 0;
    if (!finished()) return offset < imageSize() ? kBlockSize - offset % kBlockSize : 0;
    if (offset >= finishedSize_) return 0;
    // Over the decoded tracks and the error table, but not into a missing track.
    std::uint64_t end = finishedSize_;
    if (offset < imageSize()) {
        const std::uint64_t blocks = imageSize() / kBlockSize;
        for (std::uint64_t track = trackOfBlock(offset / kBlockSize) + 1; firstBlocks()[track] < blocks; ++track) {
            if (missing_[track]) {
                end = firstBlocks()[track] * kBlockSize;
                break;
            }
        }
    }
    return end - offset;
}

bool GcrDecoder::isReadableAt(std::uint64_t offset) {
    if (offset >= imageSize() || isMissingAt(offset)) return false;
    const std::uint64_t block = offset / kBlockSize;
    decodeTrack(trackOfBlock(block));
    return readBlock(static_cast<std::size_t>(block)) == kGcrGood;
}

// The error table goes where tracks past the image's last would lie: no
// sector was read there, or the image would reach further.
std::uint64_t GcrDecoder::finishImage() {
    if (finished()) return finishedSize_;
    decodeAllTracks();
    const std::uint64_t size = imageSize();
    const std::size_t blocks = static_cast<std::size_t>(size / kBlockSize);
    for (std::size_t block = 0; block < blocks; ++block) readBlock(block);
    const auto codesEnd = codes_.begin() + static_cast<std::ptrdiff_t>(blocks);
    finishedSize_ = size;
    if (std::any_of(codes_.begin(), codesEnd, [](gcr_code code) { return code != kGcrGood; })) {
        std::transform(codes_.begin(), codesEnd, sectors_.get() + size, [](gcr_code code) {
            return code == kGcrGood ? std::uint8_t{1} : static_cast<std::uint8_t>(code);
        });
        finishedSize_ += blocks;
    }
    return finishedSize_;
}

std::vector<std::uint8_t> GcrDecoder::takeImage() {
    const std::uint64_t size = finishImage();
    return std::vector<std::uint8_t>(sectors_.get(), sectors_.get() + size);
}

}  // namespace platter
