#include "platter/formats/gcr_track_syncs.hpp"

#include <algorithm>

#include "platter/formats/gcr_bit_reader.hpp"

namespace platter {

namespace {

constexpr std::size_t kBitsPerByte = 8;

unsigned bitAt(std::span<const std::uint8_t> track, std::size_t bit) {
    return (unsigned{track[bit / kBitsPerByte]} >> (7u - bit % kBitsPerByte)) & 1u;
}

GcrTrackSyncs::sync_t syncEndingAt(std::span<const std::uint8_t> track, std::size_t end, std::size_t ones) {
    GcrTrackSyncs::sync_t sync{end, ones};
    GcrBitReader reader(track);
    reader.seek({end / kBitsPerByte, static_cast<unsigned>(end % kBitsPerByte)});
    sync.rawByte = reader.peekRawByte();
    reader.readGcrBytes(sync.gcrBytes);
    return sync;
}

}  // namespace

// The walk starts on a zero bit, so that no run is cut in two where it starts.
// A ring of ones alone has no sync: a search reads ones until its budget ends.
GcrTrackSyncs::GcrTrackSyncs(std::span<const std::uint8_t> track)
    : track_(track), ringBits_(track.size() * kBitsPerByte) {
    const auto notAllOnes = std::find_if(track.begin(), track.end(), [](std::uint8_t byte) { return byte != 0xFF; });
    if (notAllOnes == track.end()) return;
    std::size_t start = static_cast<std::size_t>(notAllOnes - track.begin()) * kBitsPerByte;
    while (bitAt(track, start) != 0) ++start;
    std::size_t ones = 0;
    for (std::size_t walked = 1; walked <= ringBits_; ++walked) {
        const std::size_t bit = advance(start, walked);
        // A whole byte of ones never holds the zero bit the walk ends on.
        if (bit % kBitsPerByte == 0 && track[bit / kBitsPerByte] == 0xFF) {
            ones += kBitsPerByte;
            walked += kBitsPerByte - 1;
            continue;
        }
        if (bitAt(track, bit) != 0) {
            ++ones;
            continue;
        }
        if (ones >= GcrBitReader::kSyncMinimumOnes) syncs_.push_back(syncEndingAt(track, bit, ones));
        ones = 0;
    }
    std::sort(syncs_.begin(), syncs_.end(), [](const sync_t& a, const sync_t& b) { return a.end < b.end; });
}

std::size_t GcrTrackSyncs::advance(std::size_t bit, std::size_t bits) const {
    return ringBits_ == 0 ? 0 : (bit + bits) % ringBits_;
}

// The first sync whose zero bit lies at or after `bit` counts only the ones
// read from `bit` on: started among its last nine, the search goes on to the
// next sync (or to the same one a revolution later). The zero bit is read too,
// within the budget.
const GcrTrackSyncs::sync_t* GcrTrackSyncs::next(std::size_t bit) const {
    if (syncs_.empty()) return nullptr;
    const auto distance = [this, bit](const sync_t& sync) {
        return sync.end >= bit ? sync.end - bit : sync.end + ringBits_ - bit;
    };
    const auto after = std::lower_bound(syncs_.begin(), syncs_.end(), bit,
                                        [](const sync_t& sync, std::size_t at) { return sync.end < at; });
    std::size_t index = after == syncs_.end() ? 0 : static_cast<std::size_t>(after - syncs_.begin());
    std::size_t bits = distance(syncs_[index]);
    if (std::min(syncs_[index].ones, bits) < GcrBitReader::kSyncMinimumOnes) {
        if (syncs_.size() == 1) {
            bits += ringBits_;
        } else {
            index = (index + 1) % syncs_.size();
            bits = distance(syncs_[index]);
        }
    }
    return bits < GcrBitReader::kSyncBitBudget ? &syncs_[index] : nullptr;
}

}  // namespace platter
