#include "platter/open/nested_container.hpp"

#include "platter/core/disk.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/open/identified_format.hpp"
#include "platter/open/open_container.hpp"

namespace platter {

nested_kind nestedKindOf(Disk& disk, const dir_entry_t& entry) {
    if (disk.holdsDirectory(entry)) return nested_kind::directory;
    return isArchiveEntry(disk, &entry) ? nested_kind::archive : nested_kind::file;
}

open_result_t openNestedContainer(Disk& disk, const dir_entry_t& entry) {
    Disk::bytes_t data;
    if (!disk.readFile(entry, data) || data.empty()) return {};
    const std::uint32_t type = firstIdentifiedType(data);
    if (type == fileid::type_id::zip4 || fileid::isDescendantOf(type, fileid::type_id::zip4))
        return {nullptr, "zipcode sets inside a container cannot be opened yet"};
    open_result_t expanded = expandArchive(data);
    if (expanded.disk) expanded.disk->setDiskName(entry.name());
    return expanded;
}

}  // namespace platter
