// libFuzzer target: arbitrary bytes imported by every archive importer into a
// fresh D64, whose block counts must then agree with its BAM.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platter/archive/archive_importers.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/format_classes.hpp"

namespace {

using importer = platter::import_result_t (*)(platter::Disk&, const platter::archive_source_t&);

constexpr std::uint64_t kD64Blocks = 664;

void run(std::span<const std::uint8_t> bytes, importer import) {
    std::unique_ptr<platter::Disk> disk = platter::createBlankDisk(platter::format_id::d64, 0).disk;
    if (!disk) std::abort();
    import(*disk, {bytes});
    std::uint64_t blocks = 0;
    platter::dir_entry_t entry;
    for (std::uint64_t i = 0; disk->getEntry(i, false, entry); ++i) blocks += entry.blockCount();
    if (blocks != kD64Blocks - disk->blocksFree()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    for (importer import :
         {&platter::importArc, &platter::importSda, &platter::importLha, &platter::importSfx, &platter::importWr3,
          &platter::importLnx, &platter::importCvt, &platter::importArk, &platter::importLbr, &platter::importSpy}) {
        run(bytes, import);
    }
    return 0;
}
