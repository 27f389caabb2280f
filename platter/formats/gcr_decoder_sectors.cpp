// Reading one sector from a track: its header block, then its data block.
#include <algorithm>
#include <array>

#include "platter/formats/gcr_bit_reader.hpp"
#include "platter/formats/gcr_decoder.hpp"

namespace platter {

namespace {

constexpr std::size_t kBlockSize = 256;

bool foundSync(GcrBitReader& reader) { return reader.findSync() >= GcrBitReader::kSyncMinimumOnes; }

// The first six bytes of a header block.
bool headerChecksumMatches(const std::array<std::uint8_t, 6>& header) {
    return header[1] == (header[2] ^ header[3] ^ header[4] ^ header[5]);
}

}  // namespace

// The first header on the track with a good checksum. Headers with a bad one
// are passed over, and a sync search that comes back empty (a gap longer than
// the search reads) is one step of the budget: neither may cost the whole
// track its sectors.
gcr_code GcrDecoder::findFirstHeader(std::span<const std::uint8_t> track, bool takeId) {
    GcrBitReader reader(track);
    bool atHeader = reader.peekRawByte() == kGcrHeaderFirstByte;
    bool anySync = false;
    bool badChecksum = false;
    for (unsigned step = 0; step < kGcrHeaderBudget; ++step) {
        if (!atHeader) {
            if (!foundSync(reader)) continue;
            anySync = true;
            if (reader.peekRawByte() != kGcrHeaderFirstByte) continue;
        }
        atHeader = false;
        std::array<std::uint8_t, 6> header;
        for (std::uint8_t& byte : header) byte = reader.readGcrByte();
        if (headerChecksumMatches(header)) {
            if (takeId) diskId_ = {header[4], header[5]};
            return kGcrGood;
        }
        badChecksum = true;
    }
    return badChecksum ? kGcrHeaderChecksum : anySync ? kGcrHeaderNotFound : kGcrNoSync;
}

// Walks the syncs round the ring for the header of this sector with the disk
// ID; a header of this sector whose checksum is wrong gives 9 when no good
// one follows (at once with strict header errors).
gcr_code GcrDecoder::findSectorHeader(GcrBitReader& reader, std::uint64_t track, std::uint64_t sector) const {
    bool anySync = false;
    bool badChecksum = false;
    for (unsigned step = 0; step < kGcrHeaderBudget; ++step) {
        if (!foundSync(reader)) continue;
        anySync = true;
        std::array<std::uint8_t, 6> header;
        header[0] = reader.readGcrByte();
        if (header[0] != kGcrHeaderMarker) continue;
        for (std::size_t k = 1; k < header.size(); ++k) header[k] = reader.readGcrByte();
        if (header[2] != sector || header[3] != track) continue;
        if (!headerChecksumMatches(header)) {
            if (strictHeaderErrors_) return kGcrHeaderChecksum;
            badChecksum = true;
            continue;
        }
        if (header[4] == diskId_[0] && header[5] == diskId_[1]) return kGcrGood;
    }
    return badChecksum ? kGcrHeaderChecksum : anySync ? kGcrHeaderNotFound : kGcrNoSync;
}

// The data block after the header: marker 7, 256 bytes and their XOR. The
// bytes are kept whatever the outcome, as the drive hands them over too.
gcr_code GcrDecoder::readDataBlock(GcrBitReader& reader, std::uint64_t track, std::uint64_t sector) {
    if (!foundSync(reader)) return kGcrNoSync;
    const std::uint8_t marker = reader.readGcrByte();
    std::uint8_t* out = sectors_.get() + blockIndex(track, sector) * kBlockSize;
    reader.readGcrBytes(std::span(out, kBlockSize));
    std::uint8_t checksum = 0;
    for (std::size_t i = 0; i < kBlockSize; ++i) checksum ^= out[i];
    const std::uint8_t stored = reader.readGcrByte();
    highestDecodedTrack_ = std::max(highestDecodedTrack_, track);
    if (marker != kGcrDataMarker) return kGcrDataNotPresent;
    return stored == checksum ? kGcrGood : kGcrDataChecksum;
}

}  // namespace platter
