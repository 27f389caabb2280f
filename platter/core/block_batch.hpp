#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

class Disk;

// Reads a disk's blocks in the order they are added, many at a time, into a buffer of its own:
// blocks that lie one after another in the image are copied in one piece, and the image's
// provider keeps nothing of them, so a walk of every block of an image of any size costs this
// buffer alone. Bytes are those `Disk::blockPointer` gives (with `readable`, those of
// `Disk::readableBlock`); a block asked for one at a time is read as those read it.
class BlockBatch {
public:
    static constexpr std::size_t kDefaultCapacity = 4096;  // blocks: 1 MiB

    explicit BlockBatch(Disk& disk, bool readable, std::size_t capacity = kDefaultCapacity);

    // Adds a block; false once the batch is full, and then `read` is due.
    bool add(const track_sector_t& block);
    // Reads every block added since the last `clear`.
    void read();
    // Forgets the blocks read, to add more.
    void clear();

    std::size_t count() const { return blocks_.size(); }
    const track_sector_t& block(std::size_t index) const { return blocks_[index]; }
    // The 256 bytes of the block added index-th, or null for one without them. Blocks that both
    // have bytes and follow one another in the batch follow one another in memory.
    const std::uint8_t* bytes(std::size_t index) const;

private:
    // Copies blocks first..end-1, whose offsets rise by at most two blocks each, in one piece,
    // or one at a time.
    void copyPiece(std::size_t first, std::size_t end);

    Disk& disk_;
    bool readable_;
    std::size_t capacity_;
    std::vector<track_sector_t> blocks_;
    std::vector<std::uint64_t> offsets_;
    // As many blocks as the largest batch read, never zeroed: every block read is written.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t held_ = 0;
    std::vector<std::uint8_t> spread_;  // a piece with bytes between its blocks
    std::vector<bool> present_;
};

}  // namespace platter
