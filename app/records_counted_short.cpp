#include "app/records_counted_short.hpp"

#include "app/listing_canonical.hpp"
#include "platter/core/disk.hpp"

namespace app {

std::vector<std::string> recordsCountedShortWarnings(const platter::Disk& disk, const platter::dir_entry_t& entry,
                                                     platter::Charset charset) {
    std::vector<std::string> warnings;
    if (disk.recordsCountedShort().empty()) return warnings;
    const std::string name = RenderCanonical().entryNameText(entry, charset, false);
    for (const platter::vlir_record_blocks_t& record : disk.recordsCountedShort()) {
        warnings.push_back("record " + std::to_string(record.record) + " of '" + name + "' has " +
                           std::to_string(record.blocks) + " blocks; a GEOS Convert file can hold " +
                           std::to_string(platter::kConvertRecordBlocks));
    }
    return warnings;
}

}  // namespace app
