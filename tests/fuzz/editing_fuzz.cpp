// libFuzzer target: arbitrary bytes opened as a D64, then every directory edit and
// maintenance operation applied; one undo after each must restore the bytes exactly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platter/formats/disk41.hpp"

namespace {

std::vector<std::uint8_t> contents(platter::Disk& disk) {
    const std::uint8_t* start = disk.providerData(0);
    return start ? std::vector<std::uint8_t>(start, start + disk.providerSize()) : std::vector<std::uint8_t>{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platter::Disk41 disk;
    disk.openBytes("fuzz.d64", std::vector<std::uint8_t>(data, data + size));
    const std::vector<std::function<void()>> edits = {
        [&] { disk.sortDirectory(true, false); },
        [&] { disk.sortDirectory(false, true); },
        [&] { disk.compactDirectory(); },
        [&] { disk.moveEntries(0, 1, 4); },
        [&] { disk.moveEntries(2, 3, 0); },
        [&] { disk.fillFreeBlocks(0xee); },
        [&] { disk.deleteFile(1, true, true); },
        [&] { disk.recalculateFileSize(0); },
        [&] { disk.changeFileNameCase(2, 0, true); },
        [&] { disk.expandFileName(3, 0); },
    };
    for (const bool includeEmpty : {false, true}) {
        disk.setIncludeEmpty(includeEmpty);
        for (const auto& edit : edits) {
            const std::vector<std::uint8_t> before = contents(disk);
            const std::size_t records = disk.journal().size();
            edit();
            if (disk.journal().size() > records) disk.undo();
            if (contents(disk) != before) std::abort();
        }
    }
    return 0;
}
