#include "platter/formats/gcr_track_syncs.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platter/formats/gcr_bit_reader.hpp"
#include "platter/formats/gcr_blocks.hpp"

namespace platter {

namespace {

constexpr std::size_t kBitsPerByte = 8;
// A word of the ring is looked at from byte `first` - 2 on: its bits 16 to 63
// (the first bit 0) are the candidates, each with ten bits before it in the word.
constexpr std::size_t kLeadBits = 16;
constexpr std::size_t kCandidateBits = 64 - kLeadBits;

// The 64 bits from byte `byte` of the ring on (round the ring), the first highest.
std::uint64_t ringWord(std::span<const std::uint8_t> track, std::size_t byte) {
    const std::size_t size = track.size();
    std::uint64_t word = 0;
    if (byte + 8 <= size) {
        std::memcpy(&word, track.data() + byte, sizeof word);
        return std::endian::native == std::endian::little ? __builtin_bswap64(word) : word;
    }
    for (std::size_t i = 0; i < 8; ++i) word = (word << 8) | track[(byte + i) % size];
    return word;
}

// The bits of `word` that are zero after ten one bits of the word. Each AND of
// the word with itself shifted doubles the run of ones a bit stands for.
std::uint64_t syncEndsIn(std::uint64_t word) {
    std::uint64_t ones = word & (word << 1);  // the bit and the next are ones
    ones &= ones << 2;                        // four ones from the bit on
    ones &= ones << 4;                        // eight
    ones &= ones << 2;                        // ten
    return (ones >> kGcrSyncMinimumOnes) & ~word;
}

}  // namespace

// Word by word, 48 candidate bits at a time; the word's first byte steps on round the ring.
std::size_t findSyncEnd(std::span<const std::uint8_t> track, std::size_t from, std::size_t to) {
    const std::size_t size = track.size();
    if (size == 0) return to;
    const std::size_t start = from - from % kBitsPerByte;
    std::size_t byte = (start / kBitsPerByte + 2 * size - kLeadBits / kBitsPerByte) % size;
    for (std::size_t first = start; first < to; first += kCandidateBits) {
        std::uint64_t ends = syncEndsIn(ringWord(track, byte)) & (~std::uint64_t{0} >> kLeadBits);
        if (first < from) ends &= ~std::uint64_t{0} >> (kLeadBits + from - first);
        if (ends != 0) {
            const std::size_t end = first + static_cast<std::size_t>(std::countl_zero(ends)) - kLeadBits;
            return end < to ? end : to;
        }
        byte += kCandidateBits / kBitsPerByte;
        if (byte >= size) byte %= size;
    }
    return to;
}

GcrTrackSyncs::GcrTrackSyncs(std::span<const std::uint8_t> track)
    : track_(track), ringBits_(track.size() * kBitsPerByte) {
    for (std::size_t end = findSyncEnd(track, 0, ringBits_); end < ringBits_;
         end = findSyncEnd(track, end + 1, ringBits_)) {
        sync_t& sync = syncs_.emplace_back(sync_t{end});
        // The raw byte and the six GCR bytes both start at `end`: 60 of the 64 bits from there.
        const std::uint64_t bits = rawBitsAt(track, end);
        sync.rawByte = static_cast<std::uint8_t>(bits >> 56);
        for (std::size_t i = 0; i < sync.gcrBytes.size(); ++i)
            sync.gcrBytes[i] = decodeGcrByte(static_cast<unsigned>(bits >> (54 - 10 * i)) & 0x3FFu);
    }
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
    if (bits < kGcrSyncMinimumOnes) {
        if (syncs_.size() == 1) {
            bits += ringBits_;
        } else {
            index = (index + 1) % syncs_.size();
            bits = distance(syncs_[index]);
        }
    }
    return bits < kGcrSyncBitBudget ? &syncs_[index] : nullptr;
}

}  // namespace platter
