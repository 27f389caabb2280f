#include "platter/open/nested_container.hpp"

#include "platter/core/disk.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/open/identified_format.hpp"
#include "platter/open/archive_builder.hpp"
#include "platter/open/open_container.hpp"
#include "platter/open/open_zipcode.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

nested_kind nestedKindOf(Disk& disk, const dir_entry_t& entry) {
    if (disk.hasPartitionTable()) return nested_kind::partition;
    if (disk.holdsDirectory(entry)) return nested_kind::directory;
    return isArchiveEntry(disk, &entry) ? nested_kind::archive : nested_kind::file;
}

open_result_t openNestedContainer(Disk& disk, const dir_entry_t& entry) {
    Disk::bytes_t data;
    if (!disk.readFile(entry, data) || data.empty()) return {};
    const std::uint32_t type = firstIdentifiedType(data);
    if (formatIdForType(type) == format_id::zipcode) return openZipcodeSet(disk, entry, &data);
    open_result_t expanded = archiveToDiskByType(data, type, "{memory}");
    const std::string name = "'" + petsciiNameToUtf8(entry.name(), false) + "'";
    if (expanded.disk) {
        expanded.disk->setDiskName(entry.name());
        for (std::string& gap : expanded.warnings) gap = name + ": " + gap;
    } else if (archiveFormatOfType(type) != format_id::none) {
        expanded.failure = name + ": could not expand the archive.";
    }
    return expanded;
}

}  // namespace platter
