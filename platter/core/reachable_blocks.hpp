#pragma once

#include <cstddef>
#include <set>

#include "platter/core/track_sector.hpp"

namespace platter {

class Disk;

// The blocks that an image's header and BAM, its directory chain (with the subdirectories and
// partitions below the current directory) or any entry's chains reach, whatever the BAM says:
// directory-art and loader disks leave such blocks free in the BAM. Writers that treat free
// blocks as unused (filling free space, zipping with -f) ask this too.
class ReachableBlocks {
public:
    explicit ReachableBlocks(Disk& disk);

    bool contains(const track_sector_t& block) const;
    // Free in the BAM and reached by nothing: a block that may be overwritten.
    bool isUnused(const track_sector_t& block) const;

private:
    void addDirectory(Disk& disk, std::size_t depth);

    const Disk& disk_;
    std::set<track_sector_t> blocks_;
};

}  // namespace platter
