// libFuzzer target: arbitrary bytes opened as a DNP and walked.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platter/formats/disk_np.hpp"
#include "tests/fuzz/walk_disk.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    platter::DiskNP native;
    native.openBytes("fuzz.dnp", bytes);
    zt_fuzz::walkDisk(native);
    return 0;
}
