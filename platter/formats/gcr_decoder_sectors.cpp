// Reading one sector from a track: its header block, then its data block.
#include <algorithm>
#include <array>

#include "platter/formats/gcr_bit_reader.hpp"
#include "platter/formats/gcr_decoder.hpp"
#include "platter/formats/gcr_track_syncs.hpp"

namespace platter {

namespace {

constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kGcrByteBits = 10;
// A header block's bytes up to the disk ID, as far as they are compared.
constexpr std::size_t kHeaderBytes = 6;
// Marker, data and checksum of a data block.
constexpr std::size_t kDataBlockGcrBytes = 1 + kBlockSize + 1;

// The first six bytes of a header block.
bool headerChecksumMatches(const std::array<std::uint8_t, kHeaderBytes>& header) {
    return header[1] == (header[2] ^ header[3] ^ header[4] ^ header[5]);
}

}  // namespace

// The first header on the track with a good checksum. Headers with a bad one
// are passed over, and a sync search that comes back empty (a gap longer than
// the search reads) is one step of the budget: neither may cost the whole
// track its sectors.
gcr_code GcrDecoder::findFirstHeader(const GcrTrackSyncs& syncs, bool takeId) {
    GcrBitReader start(syncs.track());
    bool atHeader = start.peekRawByte() == kGcrHeaderFirstByte;
    std::size_t bit = 0;
    bool anySync = false;
    bool badChecksum = false;
    for (unsigned step = 0; step < kGcrHeaderBudget; ++step) {
        std::array<std::uint8_t, kHeaderBytes> header;
        if (atHeader) {
            atHeader = false;
            start.readGcrBytes(header);
        } else {
            const GcrTrackSyncs::sync_t* sync = syncs.next(bit);
            if (!sync) {
                bit = syncs.advance(bit, kGcrSyncBitBudget);
                continue;
            }
            anySync = true;
            bit = sync->end;
            if (sync->rawByte != kGcrHeaderFirstByte) continue;
            header = sync->gcrBytes;
        }
        bit = syncs.advance(bit, kHeaderBytes * kGcrByteBits);
        if (headerChecksumMatches(header)) {
            if (takeId) diskId_ = {header[4], header[5]};
            return kGcrGood;
        }
        badChecksum = true;
    }
    return badChecksum ? kGcrHeaderChecksum : anySync ? kGcrHeaderNotFound : kGcrNoSync;
}

// Walks the syncs round the ring for the header of this sector with the disk
// ID. A header of this sector with a wrong checksum (9, at once with strict
// header errors) or another disk's ID (11) gives its code when no good one
// follows; the first of them met counts.
gcr_code GcrDecoder::findSectorHeader(const GcrTrackSyncs& syncs, std::size_t& bit, std::uint64_t track,
                                      std::uint64_t sector) const {
    bool anySync = false;
    gcr_code failure = kGcrGood;
    for (unsigned step = 0; step < kGcrHeaderBudget; ++step) {
        const GcrTrackSyncs::sync_t* sync = syncs.next(bit);
        if (!sync) {
            bit = syncs.advance(bit, kGcrSyncBitBudget);
            continue;
        }
        anySync = true;
        const std::array<std::uint8_t, kHeaderBytes>& header = sync->gcrBytes;
        if (header[0] != kGcrHeaderMarker) {
            bit = syncs.advance(sync->end, kGcrByteBits);
            continue;
        }
        bit = syncs.advance(sync->end, kHeaderBytes * kGcrByteBits);
        if (header[2] != sector || header[3] != track) continue;
        gcr_code code = kGcrGood;
        if (!headerChecksumMatches(header)) {
            if (strictHeaderErrors_) return kGcrHeaderChecksum;
            code = kGcrHeaderChecksum;
        } else if (header[4] != diskId_[0] || header[5] != diskId_[1]) {
            code = kGcrDiskIdMismatch;
        }
        if (code == kGcrGood) return kGcrGood;
        if (failure == kGcrGood) failure = code;
    }
    if (failure != kGcrGood) return failure;
    return anySync ? kGcrHeaderNotFound : kGcrNoSync;
}

// The data block after the header: marker 7, 256 bytes and their XOR. Where
// the next block starts does not depend on its bytes, so the walk round the
// track goes on without decoding them.
gcr_code GcrDecoder::findDataBlock(const GcrTrackSyncs& syncs, std::size_t& bit, std::uint64_t track,
                                   std::uint64_t sector) {
    const GcrTrackSyncs::sync_t* sync = syncs.next(bit);
    if (!sync) {
        bit = syncs.advance(bit, kGcrSyncBitBudget);
        return kGcrNoSync;
    }
    bit = syncs.advance(sync->end, kDataBlockGcrBytes * kGcrByteBits);
    highestDecodedTrack_ = std::max(highestDecodedTrack_, track);
    pendingData_[blockIndex(track, sector)] = static_cast<std::uint32_t>(sync->end);
    return kGcrGood;
}

// The bytes are kept whatever the outcome, as the drive hands them over too.
gcr_code GcrDecoder::readBlock(std::size_t block) {
    const std::uint32_t end = pendingData_[block];
    if (end == kDecoded) return codes_[block];
    pendingData_[block] = kDecoded;
    GcrBitReader reader(slots_[trackOfBlock(block)].bytes);
    reader.seek({end / 8, end % 8});
    const std::uint8_t marker = reader.readGcrByte();
    std::uint8_t* out = sectors_.get() + block * kBlockSize;
    reader.readGcrBytes(std::span(out, kBlockSize));
    std::uint8_t checksum = 0;
    for (std::size_t i = 0; i < kBlockSize; ++i) checksum ^= out[i];
    const std::uint8_t stored = reader.readGcrByte();
    const gcr_code code =
        marker != kGcrDataMarker ? kGcrDataNotPresent : stored == checksum ? kGcrGood : kGcrDataChecksum;
    codes_[block] = code;
    return code;
}

}  // namespace platter
