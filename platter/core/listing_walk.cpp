#include "platter/core/listing_walk.hpp"

#include "platter/core/disk.hpp"

namespace platter {

namespace {

bool visitTree(Disk& disk, DirectoryWalk& walk, bool recurse, const entry_filter& tried, const directory_visit& visit) {
    if (!visit(walk.depth())) return false;
    if (!recurse || !(disk.hasCbmPartitions() || disk.hasNativeSubdirectories())) return true;
    dir_entry_t entry;
    for (std::uint64_t index = 0; disk.getEntry(index, disk.includeEmpty(), entry); ++index) {
        if ((tried && !tried(index, entry, walk.depth())) || !walk.enter(entry)) continue;
        const bool visited = visitTree(disk, walk, recurse, tried, visit);
        walk.leave();
        if (!visited) return false;
    }
    return true;
}

}  // namespace

// The directory the walk starts in counts as entered: a link back to it is no subdirectory.
DirectoryWalk::DirectoryWalk(Disk& disk) : disk_(disk) { entered_.insert(disk.directoryStart()); }

DirectoryWalk::~DirectoryWalk() {
    while (depth_ > 0) leave();
}

bool DirectoryWalk::enter(const dir_entry_t& entry) {
    if (depth_ + 1 >= Disk::kMaxDirectoryDepth) return false;
    track_sector_t first{};
    // Listing changes nothing, so the moves are not journalled.
    if (!disk_.openDirectory(entry, first, false)) return false;
    if (!entered_.insert(first).second) {
        disk_.closeDirectory(false);
        return false;
    }
    ++depth_;
    return true;
}

void DirectoryWalk::leave() {
    if (depth_ == 0) return;
    disk_.closeDirectory(false);
    --depth_;
}

bool forEachDirectory(Disk& disk, bool recurse, const entry_filter& tried, const directory_visit& visit) {
    DirectoryWalk walk(disk);
    return visitTree(disk, walk, recurse, tried, visit);
}

}  // namespace platter
