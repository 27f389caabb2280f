// libFuzzer target: arbitrary bytes decoded as a zipcode part into a D64 (as part 1 and as
// part 5), and read as an M2I index whose host files do not exist.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platter/formats/disk41.hpp"
#include "platter/open/open_m2i.hpp"
#include "tests/fuzz/walk_disk.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    for (const unsigned number : {1u, 5u}) {
        platter::Disk41 disk;
        if (!disk.open({}, false)) return 0;
        disk.unpackZip4Part(bytes, number);
        zt_fuzz::walkDisk(disk);
    }
    platter::open_result_t index = platter::openM2I("/nonexistent/fuzz.m2i", &bytes);
    if (index.disk) zt_fuzz::walkDisk(*index.disk);
    return 0;
}
