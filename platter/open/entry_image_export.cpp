#include "platter/open/entry_image_export.hpp"

#include "platter/core/disk.hpp"
#include "platter/open/nested_container.hpp"

namespace platter {

const entry_image_opener_t& archiveEntryOpener() {
    static const entry_image_opener_t opener{
        [](Disk& disk, const dir_entry_t& entry) { return nestedKindOf(disk, entry) == nested_kind::archive; },
        [](Disk& disk, const dir_entry_t& entry) { return openNestedContainer(disk, entry).disk; },
    };
    return opener;
}

bool exportEntryAsImage(Disk& disk, std::uint64_t index, const std::filesystem::path& hostPath) {
    const entry_image_opener_t& opener = archiveEntryOpener();
    dir_entry_t entry;
    std::unique_ptr<Disk> image;
    if (disk.getEntry(index, disk.includeEmpty(), entry) && opener.holdsContainer(disk, entry)) {
        image = opener.open(disk, entry);
    }
    if (!image) {
        disk.setLastError(kErrExtractRead);
        return false;
    }
    image->setPathForFormat(hostPath);
    const bool saved = !image->saveAs(image->imagePath());
    disk.setLastError(image->lastError());
    return saved;
}

}  // namespace platter
