#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platter {

// The first zero bit at or after `from` and before `to` that ends a sync, a run
// of at least ten one bits (which may start before `from`); `to` when there is
// none. Positions are bit offsets into the track, 0 the most significant bit
// of its first byte, counted on past the end round the ring.
std::size_t findSyncEnd(std::span<const std::uint8_t> track, std::size_t from, std::size_t to);

// Every sync of one raw track and the bytes behind it, found in one pass over
// the ring: a search round the track for a sector's header looks them up
// instead of reading the track's bits again for every sector. Positions are
// bit offsets into the track, as for findSyncEnd, below its length in bits.
class GcrTrackSyncs {
public:
    struct sync_t {
        std::size_t end = 0;                     // the zero bit after the run of ones: where a reader stands after it
        std::uint8_t rawByte = 0;                // eight raw bits from `end`
        std::array<std::uint8_t, 6> gcrBytes{};  // six GCR bytes from `end`: a header block's first six
    };

    // The track must outlive the index.
    explicit GcrTrackSyncs(std::span<const std::uint8_t> track);

    // The sync a search that starts reading at `bit` stops at: the first whose
    // run holds ten ones from `bit` on, within the sync bit budget; null when
    // the budget runs out first (the reader is then the budget on).
    const sync_t* next(std::size_t bit) const;
    // The bit `bits` on from `bit`, round the ring.
    std::size_t advance(std::size_t bit, std::size_t bits) const;

    std::span<const std::uint8_t> track() const { return track_; }
    const std::vector<sync_t>& syncs() const { return syncs_; }

private:
    std::span<const std::uint8_t> track_;
    std::size_t ringBits_ = 0;
    std::vector<sync_t> syncs_;  // ordered by end
};

}  // namespace platter
