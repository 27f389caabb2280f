#include "platter/core/listing_walk.hpp"

#include <memory>

#include "platter/core/disk.hpp"

namespace platter {

namespace {

bool visitTree(Disk& disk, DirectoryWalk& walk, std::size_t base, bool recurse, const entry_filter& tried,
               const directory_visit& visit);

bool visitPartitions(Disk& disk, std::size_t depth, const entry_filter& tried, const directory_visit& visit) {
    dir_entry_t entry;
    for (std::uint64_t index = 0; disk.getEntry(index, disk.includeEmpty(), entry); ++index) {
        if (tried && !tried(index, entry, depth)) continue;
        const std::shared_ptr<Disk> partition = disk.openPartition(entry);
        if (!partition) continue;
        DirectoryWalk walk(*partition);
        if (!visitTree(*partition, walk, depth + 1, true, tried, visit)) return false;
    }
    return true;
}

bool visitTree(Disk& disk, DirectoryWalk& walk, std::size_t base, bool recurse, const entry_filter& tried,
               const directory_visit& visit) {
    const std::size_t depth = base + walk.depth();
    if (!visit(disk, depth)) return false;
    if (!recurse) return true;
    if (disk.hasPartitionTable()) return visitPartitions(disk, depth, tried, visit);
    if (!(disk.hasCbmPartitions() || disk.hasNativeSubdirectories())) return true;
    dir_entry_t entry;
    for (std::uint64_t index = 0; disk.getEntry(index, disk.includeEmpty(), entry); ++index) {
        if ((tried && !tried(index, entry, depth)) || !walk.enter(entry)) continue;
        const bool visited = visitTree(disk, walk, base, recurse, tried, visit);
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
    return visitTree(disk, walk, 0, recurse, tried, visit);
}

}  // namespace platter
