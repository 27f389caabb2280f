#include "platter/core/directory_entry_count.hpp"

#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"

namespace platter {

std::uint64_t countDirectoryEntries(Disk& disk) {
    std::uint64_t count = 0;
    dir_entry_t entry;
    while (disk.getEntry(count, disk.includeEmpty(), entry) && !isEmptyEntry(entry)) ++count;
    return count;
}

}  // namespace platter
