#pragma once
// Shared by the fuzz targets: touches everything a listing or an extraction reads.

#include <array>
#include <cstdint>
#include <vector>

#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"

namespace zt_fuzz {

// Walks the directory with and without empty slots, reading every entry's data, chain and
// load address, then the whole tree by wildcard.
inline void walkDisk(platter::Disk& disk) {
    disk.blocksFree();
    for (const bool includeEmpty : {false, true}) {
        disk.setIncludeEmpty(includeEmpty);
        const std::uint64_t count = disk.countDirectoryEntries();
        for (std::uint64_t i = 0; i < count; ++i) {
            platter::dir_entry_t entry;
            if (!disk.getEntry(i, includeEmpty, entry)) break;
            std::vector<std::uint8_t> bytes;
            disk.readFile(entry, bytes);
            std::uint64_t size = 0;
            std::vector<platter::track_sector_t> blocks;
            disk.readData(entry, 0, &size, nullptr, &blocks);
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
