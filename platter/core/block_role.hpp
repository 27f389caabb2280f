#pragma once
// What a block is to the container a walk along linked blocks runs in: the one answer every
// walk asks before it enters a block.

#include <cstdint>

#include "platter/core/track_sector.hpp"

namespace platter {

// What a block is to a walk of the container.
enum class block_role : std::uint8_t {
    data,       // a block the walk may read
    outside,    // past the image, past its track, or outside the area entered
    header,     // the header of the image, the partition or the directory entered
    bam,        // a block of the block availability map
    directory,  // a block of the current directory (a file chain must not enter it)
    lacking,    // a block of the container that its file ends before or its provider lacks
    noData,     // a block of the container that holds no data (not decoded)
};

// Structure a walk of that kind must not enter.
constexpr bool isStructure(block_role role) {
    return role == block_role::header || role == block_role::bam || role == block_role::directory;
}

// Which walk asks: a directory (or partition table) may run through no header or BAM block, a
// file's chain through none of the current directory's blocks either; a chain named by its
// first block alone (the header's, one a command names) through any block of the container.
enum class walk_kind : std::uint8_t { directory, file, raw };

// The container's answer for a block; a lookup, never a walk.
class BlockRoles {
public:
    virtual block_role blockRole(const track_sector_t& block, walk_kind kind) const = 0;

protected:
    ~BlockRoles() = default;
};

}  // namespace platter
