#include "platter/open/nested_container.hpp"

#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/open/identified_format.hpp"
#include "platter/open/archive_builder.hpp"
#include "platter/open/open_container.hpp"
#include "platter/open/open_zipcode.hpp"
#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

// An expanded archive is named after its entry.
open_result_t expandArchive(const Disk::bytes_t& data, format_id id, const archive_build_t& build,
                            const dir_entry_t& entry) {
    open_result_t expanded = archiveToDisk(data, "{memory}", id, build);
    if (expanded.disk) expanded.disk->setDiskName(entry.name());
    return expanded;
}

// Identified as a kind that holds files (not a disk image), which no importer expands.
bool isUnsupportedArchive(std::uint32_t type) {
    const format_id id = formatIdForType(type);
    const container_format_t* row = formatById(id);
    return fileid::findType(type).container != 0 && id != format_id::zipcode &&
           archiveFormatOfType(type) == format_id::none && !(row && isImageKind(*row));
}

// The data expanded as the entry's name says: a zipcode part, or the archive row of its extension.
open_result_t openByEntryName(Disk& disk, const dir_entry_t& entry, const Disk::bytes_t& data) {
    if (data.empty()) return {};
    if (isZipcodePartEntry(entry)) return openZipcodeSet(disk, entry, &data);
    const container_format_t* row = formatByExtension(forge::toLower(nameExtension(entry.name())));
    if (!row || !(row->category & kCategoryArchive)) return {};
    return expandArchive(data, row->id, {}, entry);
}

}  // namespace

nested_kind nestedKindOf(Disk& disk, const dir_entry_t& entry) {
    if (disk.hasPartitionTable()) return nested_kind::partition;
    if (disk.holdsDirectory(entry)) return nested_kind::directory;
    return isArchiveEntry(disk, &entry) ? nested_kind::archive : nested_kind::file;
}

nested_open_t openNestedContainer(Disk& disk, const dir_entry_t& entry) {
    // Only a whole file is expanded: the part of one would read as a whole archive.
    entry_read_t read = disk.readEntry(entry);
    Disk::bytes_t data;
    if (read.whole()) data = std::move(read.bytes);
    const std::uint32_t type = data.empty() ? 0 : firstIdentifiedType(data);
    if (formatIdForType(type) == format_id::zipcode) return {openZipcodeSet(disk, entry, &data)};
    if (const format_id id = archiveFormatOfType(type); id != format_id::none) {
        archive_build_t build;
        build.typeId = type;
        nested_open_t nested{expandArchive(data, id, build, entry)};
        if (!nested.disk) nested.failure = quotedName(entry.name()) + ": could not expand the archive.";
        return nested;
    }
    if (isUnsupportedArchive(type)) return {{}, nested_data::unsupportedArchive};
    // No archive kind: the caller says so, whatever the attempt by the name found.
    nested_open_t nested{openByEntryName(disk, entry, data), nested_data::notArchive};
    nested.failure.clear();
    return nested;
}

}  // namespace platter
