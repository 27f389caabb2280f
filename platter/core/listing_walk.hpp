#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>

#include "platter/core/dir_entry.hpp"
#include "platter/core/track_sector.hpp"

namespace platter {

class Disk;

// The descent of the listing writers into subdirectories and partitions:
// each directory is entered at most once per walk (a directory reachable
// twice, or a chain back to an ancestor, is not listed again), never deeper
// than Disk::kMaxDirectoryDepth, and the image is back in the directory the
// walk started in once the walk object is gone, whatever happened on the way.
class DirectoryWalk {
public:
    explicit DirectoryWalk(Disk& disk);
    ~DirectoryWalk();
    DirectoryWalk(const DirectoryWalk&) = delete;
    DirectoryWalk& operator=(const DirectoryWalk&) = delete;

    // Enters the entry's subdirectory or partition; false when it is none,
    // was entered before, or the walk is too deep.
    bool enter(const dir_entry_t& entry);
    void leave();
    std::size_t depth() const { return depth_; }

private:
    Disk& disk_;
    std::set<track_sector_t> entered_;
    std::size_t depth_ = 0;
};

// Calls `visit` for the current directory and, with `recurse`, for every
// subdirectory and partition below it, parents first; `tried` picks the
// entries whose directories are entered. A partition of a partition table is
// an image of its own, which `visit` is given; it is held only while walked.
// False as soon as a visit fails.
using directory_visit = std::function<bool(Disk& image, std::size_t depth)>;
using entry_filter = std::function<bool(std::uint64_t index, const dir_entry_t& entry, std::size_t depth)>;
bool forEachDirectory(Disk& disk, bool recurse, const entry_filter& tried, const directory_visit& visit);

}  // namespace platter
