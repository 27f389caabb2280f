#pragma once
// Shared by the fuzz targets: touches everything a listing or an extraction reads.

#include <array>
#include <cstdint>
#include <vector>

#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"

namespace zt_fuzz {

// Walks the directory with and without empty slots, reading every entry's data, chain and
// load address, then the whole tree by wildcard. The buffers serve every entry, as they would
// a caller that reads many files, so that a directory of thousands of entries costs its reads
// and not as many fresh allocations under the sanitizers.
inline void walkDisk(platter::Disk& disk) {
    disk.blocksFree();
    disk.damage();
    std::vector<platter::track_sector_t> blocks;
    for (const bool includeEmpty : {false, true}) {
        disk.setIncludeEmpty(includeEmpty);
        const std::uint64_t count = disk.countDirectoryEntries();
        for (std::uint64_t i = 0; i < count; ++i) {
            platter::dir_entry_t entry;
            if (!disk.getEntry(i, includeEmpty, entry)) break;
            blocks.clear();
            disk.readEntry(entry, &blocks);
            disk.readFileBlocks(entry, 0, blocks);
            std::uint64_t size = 0;
            disk.readChain(disk.firstBlock(entry), 0, &size);
            disk.loadAddress(i);
            disk.errorCode(entry.firstBlock());
        }
    }
    disk.setIncludeEmpty(false);
    std::array<std::uint8_t, 16> star;
    star.fill(0xa0);
    star[0] = '*';
    disk.walkDirectory(star, [](const std::uint8_t*, const std::vector<std::uint8_t>&) {});
}

}  // namespace zt_fuzz
