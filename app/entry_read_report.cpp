#include "app/entry_read_report.hpp"

#include "app/argument_texts.hpp"
#include "app/damage_report.hpp"
#include "app/listing_canonical.hpp"
#include "platter/core/dir_entry.hpp"

namespace app {

std::optional<std::string> readProblemText(const platter::entry_read_t& read, std::uint64_t index,
                                           std::uint64_t directoryTrack) {
    if (read.whole() || read.namedByContainer) return std::nullopt;
    const std::string entry = "entry [" + std::to_string(index) + "]";
    switch (read.outcome) {
        case platter::read_outcome::whole: break;
        case platter::read_outcome::unreadable: return entry + " could not be read";
        case platter::read_outcome::areaFault: return partitionFaultText(index, read.area, directoryTrack);
        case platter::read_outcome::cutShort:
            if (read.unsized) {
                const platter::unsized_chain_t& chain = *read.unsized;
                const std::string subject =
                    chain.record ? "record " + std::to_string(*chain.record) + " of " + entry : entry;
                return platter::unsizedLastBlockText(subject, chain.lastByte, chain.blocks);
            }
            if (read.expected) {
                return entry + " is cut short: " + std::to_string(read.size()) + " of " +
                       std::to_string(*read.expected) + " bytes could be read";
            }
            if (!read.stop.whole()) return entry + " is cut short: " + chainStopText("its chain", read.stop);
            return entry + " is cut short";
    }
    return std::nullopt;
}

std::vector<std::string> recordsCountedShortWarnings(const platter::entry_read_t& read,
                                                     const platter::dir_entry_t& entry, platter::Charset charset) {
    std::vector<std::string> warnings;
    if (read.recordsCountedShort.empty()) return warnings;
    const std::string name = RenderCanonical().entryNameText(entry, charset, false);
    for (const platter::vlir_record_blocks_t& record : read.recordsCountedShort) {
        warnings.push_back("record " + std::to_string(record.record) + " of '" + name + "' has " +
                           std::to_string(record.blocks) + " blocks; a GEOS Convert file can hold " +
                           std::to_string(platter::kConvertRecordBlocks));
    }
    return warnings;
}

}  // namespace app
