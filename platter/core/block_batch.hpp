#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

class Disk;

// Reads a disk's blocks in the order they are added, many at a time. Blocks of a small image
// are read where its provider holds them, the image read whole once; those of a larger one are
// copied into a buffer of the batch's own, blocks that lie one after another in the image in one
// piece, and the image's provider keeps nothing of them, so a walk of every block of an image of
// any size costs this buffer alone. Bytes are those `Disk::blockPointer` gives (with `readable`,
// those of `Disk::readableBlock`); a block asked for one at a time is read as those read it.
class BlockBatch {
public:
    static constexpr std::size_t kDefaultCapacity = 4096;  // blocks: 1 MiB
    // An image of at most this size is read in place, whole.
    static constexpr std::uint64_t kWholeImageBytes = std::uint64_t{4} << 20;

    explicit BlockBatch(Disk& disk, bool readable, std::size_t capacity = kDefaultCapacity);

    // Adds a block; false once the batch is full, and then `read` is due.
    bool add(const track_sector_t& block);
    // Adds sectors first.. of `track`, `count` of them or as many as there is room for; gives
    // how many it added.
    std::uint64_t addTrack(std::uint64_t track, std::uint64_t first, std::uint64_t count);
    bool full() const { return blocks_.size() >= capacity_; }
    // Reads every block added since the last `clear`.
    void read();
    // Forgets the blocks read, to add more.
    void clear();

    std::size_t count() const { return blocks_.size(); }
    const track_sector_t& block(std::size_t index) const { return blocks_[index]; }
    // The 256 bytes of the block added index-th, or null for one without them, until the next
    // `read` or `clear`. Blocks added one after another that lie so in the image lie so in memory.
    const std::uint8_t* bytes(std::size_t index) const { return bytes_[index]; }

private:
    // Points blocks first..end-1, which lie one after another, into the provider's bytes;
    // false when it does not hold them so.
    bool pointPiece(std::size_t first, std::size_t end);
    // Copies blocks first..end-1, whose offsets rise by at most two blocks each, in one piece,
    // or one at a time.
    void copyPiece(std::size_t first, std::size_t end);

    Disk& disk_;
    bool readable_;
    bool inPlace_;
    std::size_t capacity_;
    std::vector<track_sector_t> blocks_;
    std::vector<std::uint64_t> offsets_;
    // As many blocks as the largest batch read, never zeroed: every block read is written.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t held_ = 0;
    std::vector<std::uint8_t> spread_;  // a piece with bytes between its blocks
    std::vector<const std::uint8_t*> bytes_;
};

}  // namespace platter
