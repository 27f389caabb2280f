#pragma once
// The one rule of every walk along linked blocks (a directory, a partition table, a block
// list, a file's chain): a link to a block the container does not have ends the walk as a
// link back into it does, and so does a block that holds no data. What was read before stays.

#include <cstdint>
#include <limits>
#include <set>

#include "platter/core/track_sector.hpp"

namespace platter {

// How a walk along linked blocks ended.
enum class chain_end : std::uint8_t {
    ended,       // at the link that ends the chain
    turnsBack,   // at a link to a block met before
    leaves,      // at a link to a block the container does not have
    unreadable,  // at a block of the container that holds no data (not decoded)
    missing,     // at a block of the container that its file ends before (a cut image)
};

// Where and why a walk stopped: `from` is the last block read (none when the first block
// failed), `to` the block it could not go on to.
struct chain_stop_t {
    chain_end end = chain_end::ended;
    track_sector_t from = noBlock();
    track_sector_t to = noBlock();

    bool whole() const { return end == chain_end::ended; }
    friend bool operator==(const chain_stop_t&, const chain_stop_t&) = default;
};

// One walk: read `block()` while `going()`, tell whether it held data with `read`, then
// `follow` its link. Whether the container has a block is the walker's to say; the order of
// the checks, and so what a damaged chain gives, is this class's.
//
//     ChainWalk walk(start, has(start));
//     while (walk.going()) {
//         const std::uint8_t* data = readable(walk.block());
//         if (!walk.read(data != nullptr)) break;
//         ...
//         walk.follow(link(data), has(link(data)));
//     }
//     return walk.stop();
class ChainWalk {
public:
    static constexpr std::uint64_t kUnbounded = std::numeric_limits<std::uint64_t>::max();

    // A chain that may hold at most `maxBlocks` blocks: a link beyond those leaves it.
    ChainWalk(const track_sector_t& start, bool startInContainer, std::uint64_t maxBlocks = kUnbounded);

    bool going() const { return going_; }
    const track_sector_t& block() const { return block_; }
    // Blocks read so far.
    std::uint64_t count() const { return count_; }

    // Whether `block()` held data; false ends the walk there as unreadable (or missing, when
    // `missing`: the container has the block but its file ends before it).
    bool read(bool holdsData, bool missing = false);
    // Goes on to `next` (none ends the chain whole); false when the walk ends here.
    bool follow(const track_sector_t& next, bool inContainer);
    // Ends the walk whole at the block just read (a chain whose end its kind marks otherwise).
    void finish();

    const chain_stop_t& stop() const { return stop_; }

private:
    bool end(chain_end how, const track_sector_t& to);

    track_sector_t block_;
    track_sector_t lastRead_ = noBlock();
    std::uint64_t maxBlocks_;
    std::uint64_t count_ = 0;
    bool going_ = true;
    std::set<track_sector_t> seen_;
    chain_stop_t stop_;
};

}  // namespace platter
