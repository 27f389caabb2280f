// libFuzzer target: arbitrary bytes opened as a DNP and as an IDE64 image, and laid over the
// system area of a D1M (its header and partition table), each walked with every partition
// it opens.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platter/formats/disk_cmd.hpp"
#include "platter/formats/disk_ide64.hpp"
#include "platter/formats/disk_np.hpp"
#include "tests/fuzz/walk_disk.hpp"

namespace {

constexpr std::size_t kD1mBytes = 829440;
constexpr std::size_t kD1mSystemArea = (80 * 40 + 5) * 256;  // drive track 81 sector 5

void walkWithPartitions(platter::Disk& disk) {
    zt_fuzz::walkDisk(disk);
    disk.setIncludeEmpty(true);
    for (std::uint64_t i = 0; i < disk.countDirectoryEntries(); ++i) {
        platter::dir_entry_t entry;
        if (!disk.getEntry(i, true, entry)) break;
        if (const auto partition = disk.openPartition(entry)) zt_fuzz::walkDisk(*partition);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    {
        platter::DiskNP native;
        native.openBytes("fuzz.dnp", bytes);
        zt_fuzz::walkDisk(native);
    }
    {
        platter::DiskIDE64 hardDisk;
        hardDisk.openBytes("fuzz.hdd", bytes);
        walkWithPartitions(hardDisk);
    }
    std::vector<std::uint8_t> image(kD1mBytes);
    std::copy_n(bytes.begin(), std::min(size, kD1mBytes - kD1mSystemArea),
                image.begin() + static_cast<std::ptrdiff_t>(kD1mSystemArea));
    platter::DiskD1M floppy;
    floppy.openBytes("fuzz.d1m", std::move(image));
    walkWithPartitions(floppy);
    return 0;
}
