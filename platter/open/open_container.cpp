#include "platter/open/open_container.hpp"

#include "forge/files.hpp"
#include "forge/paths.hpp"
#include "forge/strings.hpp"
#include "platter/core/data_provider.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/file_data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/host_entry_names.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/open/archive_builder.hpp"
#include "platter/open/format_classes.hpp"
#include "platter/open/identified_format.hpp"
#include "platter/open/open_zipcode.hpp"
#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/zipcode_names.hpp"

#include <algorithm>
#include <array>
#include <string>

namespace platter {
namespace {

bool readWhole(const std::filesystem::path& path, std::vector<std::uint8_t>& out) {
    forge::file_t file;
    if (!forge::readFile(path.string(), file)) return false;
    out = std::move(file.data);
    return true;
}

bool isP00FamilyRow(const container_format_t* row) { return row && isP00Family(row->id); }

// The row a single file is imported with. Every "C64File" file identifies as P00, but
// only the extension letter tells SEQ, USR and REL apart: an S00, U00 or R00 path keeps
// its own row.
const container_format_t* singleFileRow(format_id id, const std::filesystem::path& path) {
    const container_format_t* row = formatById(id);
    if (!isP00FamilyRow(row)) return row;
    const container_format_t* byExtension = formatByExtension(path.extension().string());
    return isP00FamilyRow(byExtension) ? byExtension : row;
}

// An image kind: its class over the bytes. Identified bytes must be at least as large as the
// smallest image of the kind unless the kind is exempt; a file named by its extension opens
// whatever its size, for what it holds.
open_result_t openImage(const container_format_t& row, const std::filesystem::path& name,
                        std::vector<std::uint8_t> bytes, bool checkSize) {
    std::unique_ptr<Disk> disk = makeDiskOfFormat(row.id);
    if (!disk) return {nullptr, formatNotBuiltText(row.id)};
    if (checkSize && (bytes.empty() || (!row.anySize && bytes.size() < disk->defaultImageSize()))) return {};
    if (!disk->openBytes(name, std::move(bytes))) return {};
    return {std::move(disk), {}};
}

// A file opened as the kind of a registry row; `bytes` is its content, unused by a kind that
// reads its blocks on demand. An image opens whatever its size, for what it holds.
open_result_t openKind(const container_format_t& row, const std::filesystem::path& path,
                       std::vector<std::uint8_t> bytes) {
    if (!opensAsContainer(row)) return {};
    const format_class_t* line = formatClass(row.id);
    if (line && line->open) return line->open(row.id, path, &bytes);
    if (row.category == kCategoryArchive) return archiveToDisk(bytes, path, row.id);
    if (!isImageKind(row)) return {};
    if (!row.readsOnDemand) return openImage(row, path, std::move(bytes), false);
    std::unique_ptr<Disk> disk = makeDiskOfFormat(row.id);
    if (!disk) return {nullptr, formatNotBuiltText(row.id)};
    // A class that keeps blocks its own way sets its provider when it opens.
    if (!disk->dataProvider()) disk->adoptDataProvider(std::make_unique<FileDataProvider>());
    if (!disk->open(path, true, true, 0)) return {};
    return {std::move(disk), {}};
}

// Both `openContainer` overloads: `movable`, when given, is `bytes` itself and may be moved
// into the image; otherwise an image copies them, since the caller keeps its own.
open_result_t openContainerOver(format_id id, const std::string& name, const std::vector<std::uint8_t>& bytes,
                                std::vector<std::uint8_t>* movable) {
    const container_format_t* row = formatById(id);
    if (!row || !opensAsContainer(*row)) return {};
    // A kind with an opener of its own names its container itself (a zipcode set after its set
    // name). Single files get the bytes: a wrapped image must not be overwritten by them.
    const format_class_t* line = formatClass(id);
    if (line && line->open) return line->open(id, name, &bytes);
    if (row->category == kCategoryArchive) return archiveToDisk(bytes, name, id);

    open_result_t result = openImage(*row, name, movable ? std::move(*movable) : bytes, true);
    if (!result.disk) return result;
    result.disk->setPathForFormat(name);
    result.disk->setModified(false);
    return result;
}

}  // namespace

open_result_t openContainer(format_id id, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return openContainerOver(id, name, bytes, nullptr);
}

open_result_t openContainer(format_id id, const std::string& name, std::vector<std::uint8_t>&& bytes) {
    return openContainerOver(id, name, bytes, &bytes);
}

open_result_t openImageOver(format_id id, const std::filesystem::path& path, std::unique_ptr<DataProvider> provider,
                            bool byExtension) {
    const container_format_t* row = formatById(id);
    const format_class_t* line = formatClass(id);
    if (!row || !isImageKind(*row) || (line && line->open)) return {};
    std::unique_ptr<Disk> disk = makeDiskOfFormat(id);
    if (!disk) return {nullptr, formatNotBuiltText(id)};
    if (!byExtension && !row->anySize && provider->size() < disk->defaultImageSize()) return {};
    if (!disk->openProvider(path, std::move(provider))) return {};
    if (!byExtension) {
        disk->setPathForFormat(path);
        disk->setModified(false);
    }
    return {std::move(disk), {}};
}

bool opensAsContainer(const container_format_t& row) {
    return isImageKind(row) || row.category == kCategoryArchive || formatClass(row.id) != nullptr;
}

open_result_t openContainerFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return {};
    const container_format_t* row = formatByExtension(forge::fileExtension(path.string()));
    if (row && row->readsOnDemand) return openKind(*row, path, {});
    std::vector<std::uint8_t> bytes;
    if (!readWhole(path, bytes)) return {};
    const format_id identified = identifiedFormat(bytes, path.string());
    if (identified != format_id::none) {
        if (const container_format_t* identifiedRow = formatById(identified))
            return openKind(*identifiedRow, path, std::move(bytes));
    }
    return openByExtension(path, std::move(bytes));
}

open_result_t openAsKind(format_id id, const std::filesystem::path& path, std::vector<std::uint8_t> bytes) {
    const container_format_t* row = formatById(id);
    return row ? openKind(*row, path, std::move(bytes)) : open_result_t{};
}

open_result_t openByExtension(const std::filesystem::path& path, std::vector<std::uint8_t> bytes) {
    const container_format_t* row = formatByExtension(forge::fileExtension(path.string()));
    if (!row) {
        if (isZip4PartName(forge::fileName(path.string()))) return openZipcodeFiles(path, &bytes);
        return {};
    }
    return openKind(*row, path, std::move(bytes));
}

open_result_t openSingleFileAsDisk(format_id id, const std::filesystem::path& path,
                                   const std::vector<std::uint8_t>* bytes) {
    auto disk = std::make_unique<Disk41>();
    if (!disk->open(path, false, true, 0)) return {};
    if (bytes) {
        std::array<std::uint8_t, 16> name;
        name.fill(0xA0);
        petsciiNameFromPath(path.string(), name);
        if (!disk->importFile(name, 0, *bytes, 0, singleFileRow(id, path))) return {};
    } else if (!disk->importHostFile(path, 0)) {
        return {};
    }
    // Saved beside the file as a D64, never under the placeholder name of a new image.
    disk->setPathForFormat(path);
    disk->setModified(false);
    return {std::move(disk), {}};
}

bool isArchiveEntry(Disk& disk, const dir_entry_t* entry) {
    if (!entry) return false;
    if (isAnyZipcodePartEntry(*entry)) return true;
    const auto name = entry->name();

    const std::string extension = forge::toLower(nameExtension(name));
    const container_format_t* row = formatByExtension(extension);
    if (extension.empty() || !row || !(row->category & kCategoryArchive)) return false;
    if (extension != "cvt") return true;

    static constexpr std::string_view kConvertSignature = " formatted GEOS file";
    const std::uint8_t* block = disk.sectorPointer(entry->firstBlock());
    return block && std::equal(kConvertSignature.begin(), kConvertSignature.end(), block + 35);
}

}  // namespace platter
