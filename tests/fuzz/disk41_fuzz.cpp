// libFuzzer target: arbitrary bytes opened as a D64, its directory walked and
// every chain read, then one import undone (which must restore the bytes).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platter/core/data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/formats/disk41.hpp"
#include "tests/fuzz/walk_disk.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platter::Disk41 disk;
    disk.openBytes("fuzz.d64", std::vector<std::uint8_t>(data, data + size));
    zt_fuzz::walkDisk(disk);

    const std::uint64_t length = disk.providerSize();
    const std::uint8_t* start = disk.providerData(0);
    if (!start) return 0;
    const std::vector<std::uint8_t> before(start, start + length);
    std::array<std::uint8_t, 16> name;
    name.fill(0xa0);
    name[0] = 'F';
    const std::vector<std::uint8_t> file(600, 0x55);
    if (disk.importFile(name, 0, file, 0, platter::formatById(platter::format_id::prg))) {
        disk.undo();
        const std::uint8_t* after = disk.providerData(0);
        if (disk.providerSize() != length || !std::equal(before.begin(), before.end(), after)) std::abort();
    }
    return 0;
}
