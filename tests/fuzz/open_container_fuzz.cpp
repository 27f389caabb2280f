// libFuzzer target: arbitrary bytes identified, opened as a container of every
// kind identification names for them, and walked like a listing and an
// extraction would.
#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "platter/core/disk.hpp"
#include "platter/open/open_container.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"
#include "tests/fuzz/walk_disk.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::set<platter::format_id> opened;
    for (const auto& traits : platter::fileid::identify(std::span<const std::uint8_t>(bytes))) {
        const platter::format_id formatId = platter::formatIdForType(traits.type);
        if (formatId == platter::format_id::none || !opened.insert(formatId).second) continue;
        if (std::unique_ptr<platter::Disk> disk = platter::openContainer(formatId, "fuzz", bytes).disk) {
            zt_fuzz::walkDisk(*disk);
        }
    }
    return 0;
}
