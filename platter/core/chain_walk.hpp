#pragma once
// The one rule of every walk along linked blocks (a directory, a partition table, a block
// list, a file's chain): a link to a block the container does not have ends the walk as a
// link back into it does, and so do a structure block the walk must not enter and a block that
// holds no data. What was read before stays. The container says what each block is.

#include <cstdint>
#include <limits>

#include "platter/core/block_role.hpp"
#include "platter/core/block_set.hpp"
#include "platter/core/track_sector.hpp"

namespace platter {

// How a walk along linked blocks ended.
enum class chain_end : std::uint8_t {
    ended,       // at the link that ends the chain
    turnsBack,   // at a link to a block met before
    leaves,      // at a link to a block the container does not have
    unreadable,  // at a block of the container that holds no data (not decoded)
    missing,     // at a block of the container that its file ends before (a cut image)
    structure,   // at a link to a header, BAM or directory block the walk must not enter
};

// Where and why a walk stopped: `from` is the last block read (none when the first block
// failed), `to` the block it could not go on to, `role` what that block is to the container.
struct chain_stop_t {
    chain_end end = chain_end::ended;
    track_sector_t from = noBlock();
    track_sector_t to = noBlock();
    block_role role = block_role::data;

    bool whole() const { return end == chain_end::ended; }
    friend bool operator==(const chain_stop_t&, const chain_stop_t&) = default;
};

// One walk: read `block()` while `going()` and `read()` says it holds data, then `follow` its
// link. What each block is, the container answers (`BlockRoles`); the order of the checks, and
// so what a damaged chain gives, is this class's.
//
//     ChainWalk walk(disk, walk_kind::file, start);
//     while (walk.going()) {
//         if (!walk.read()) break;
//         const std::uint8_t* data = bytesOf(walk.block());
//         ...
//         walk.follow(link(data));
//     }
//     return walk.stop();
class ChainWalk {
public:
    static constexpr std::uint64_t kUnbounded = std::numeric_limits<std::uint64_t>::max();

    // A chain of `kind` in `container` that may hold at most `maxBlocks` blocks: a link beyond
    // those leaves it. The container outlives the walk.
    ChainWalk(const BlockRoles& container, walk_kind kind, const track_sector_t& start,
              std::uint64_t maxBlocks = kUnbounded);

    bool going() const { return going_; }
    const track_sector_t& block() const { return block_; }
    // Blocks read so far.
    std::uint64_t count() const { return count_; }

    // Whether `block()` holds data; false ends the walk there as unreadable or missing.
    bool read();
    // Goes on to `next` (none ends the chain whole); false when the walk ends here.
    bool follow(const track_sector_t& next);
    // Ends the walk whole at the block just read (a chain whose end its kind marks otherwise).
    void finish();

    const chain_stop_t& stop() const { return stop_; }

private:
    bool end(chain_end how, const track_sector_t& to, block_role role = block_role::data);
    // Enters `block` when the container lets the walk; false when the walk ends there.
    bool enter(const track_sector_t& block);

    const BlockRoles& container_;
    walk_kind kind_;
    track_sector_t block_;
    block_role role_ = block_role::data;
    track_sector_t lastRead_ = noBlock();
    std::uint64_t maxBlocks_;
    std::uint64_t count_ = 0;
    bool going_ = true;
    BlockSet seen_;
    chain_stop_t stop_;
};

}  // namespace platter
