#include "platter/open/archive_builder.hpp"

#include <array>

#include "platter/archive/archive_importers.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/host_entry_names.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/open/format_classes.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kLargestD64Archive = 174847;
constexpr std::uint32_t kDnpArchiveSize = 0x10000;  // formats the largest DNP
constexpr std::uint64_t kDnpTrackBytes = 65536;

void nameDiskAfter(Disk& disk, const std::filesystem::path& path) {
    std::array<std::uint8_t, 16> name;
    name.fill(0xA0);
    petsciiNameFromPath(path.string(), name);
    disk.setDiskName(name);
}

// A DNP made as large as it gets keeps only the tracks up to the highest one in use.
void shrinkNativeImage(Disk& disk) {
    std::uint64_t min = 0, max = 0, current = 0;
    if (disk.formatId() == format_id::dnp && disk.sizeRange(min, max, current) && min < current)
        disk.resize(min * kDnpTrackBytes);
}

}  // namespace

open_result_t archiveToDisk(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& path, format_id id,
                            const archive_build_t& build) {
    const format_class_t* line = formatClass(id);
    if (!line || !line->importArchive) return {};
    std::vector<format_id> kinds = {format_id::d64, format_id::d81, format_id::dnp};
    if (build.startWithD81 || bytes.size() > kLargestD64Archive) kinds.erase(kinds.begin());
    for (const format_id kind : kinds) {
        std::unique_ptr<Disk> disk = makeDiskOfFormat(kind);
        if (!disk) continue;
        if (!disk->open(path, false, true, kind == format_id::dnp ? kDnpArchiveSize : 0)) return {};
        nameDiskAfter(*disk, path);
        disk->setPathForFormat(path);
        ArchiveDamage damage;
        const archive_source_t source{bytes, build.typeId, build.title, &damage};
        const import_result_t result = line->importArchive(*disk, source);
        if (result == import_result_t::full) continue;
        if (result == import_result_t::damaged) return {};
        shrinkNativeImage(*disk);
        // An importer that named what it found has said it all.
        if (result == import_result_t::partial && damage.empty()) damage.note(kPartlyExpandedText);
        disk->setLastError(damage.empty() ? kErrNone : kErrArchiveImport);
        damage.noteIn(*disk);
        disk->setModified(false);
        return {std::move(disk), {}};
    }
    return {};
}

format_id archiveFormatOfType(std::uint32_t typeId) {
    const format_id id = formatIdForType(typeId);
    const container_format_t* row = formatById(id);
    return row && row->category == kCategoryArchive ? id : format_id::none;
}

open_result_t archiveToDiskByType(const std::vector<std::uint8_t>& bytes, std::uint32_t typeId,
                                  const std::filesystem::path& path, archive_build_t build) {
    const format_id id = archiveFormatOfType(typeId);
    if (id == format_id::none) return {};
    build.typeId = typeId;
    return archiveToDisk(bytes, path, id, build);
}

}  // namespace platter
