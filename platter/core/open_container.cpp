#include "platter/core/open_container.hpp"

#include "forge/files.hpp"
#include "forge/paths.hpp"
#include "forge/strings.hpp"
#include "platter/core/data_provider.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/disk_library_options.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/host_entry_names.hpp"
#include "platter/core/open_container_archives.hpp"
#include "platter/core/open_container_failure.hpp"
#include "platter/core/open_container_identify.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/zipcode_names.hpp"

#include <algorithm>
#include <array>
#include <iostream>
#include <string>

namespace platter {
namespace {

constexpr std::uint64_t kLargestD64Archive = 174847;
constexpr std::uint32_t kDnpArchiveSize = 0x10000;
constexpr std::uint32_t kTypeLynx = 80;
constexpr std::uint32_t kFormatP00 = 24;
constexpr std::uint32_t kFormatU00 = 27;

bool readWhole(const std::filesystem::path& path, std::vector<std::uint8_t>& out) {
    forge::file_t file;
    if (!forge::readFile(path.string(), file)) return false;
    out = std::move(file.data);
    return true;
}

// The first registry row, in table order, whose extension is the path's.
const container_format_t* rowOfPathExtension(const std::filesystem::path& path) {
    const std::string extension = forge::fileExtension(path.string());
    if (extension.empty()) return nullptr;
    const std::string wanted = "." + forge::toLower(extension);
    for (const container_format_t& row : containerFormats()) {
        if (row.extension == wanted) return &row;
    }
    return nullptr;
}

bool isP00FamilyRow(const container_format_t* row) { return row && row->id >= kFormatP00 && row->id <= kFormatU00; }

// The row a single file is imported with. Every "C64File" file identifies as P00, but
// only the extension letter tells SEQ, USR and REL apart: an S00, U00 or R00 path keeps
// its own row.
const container_format_t* singleFileRow(std::uint32_t formatId, const std::filesystem::path& path) {
    const container_format_t* row = formatById(formatId);
    if (!isP00FamilyRow(row)) return row;
    const container_format_t* byExtension = formatByExtension(path.extension().string());
    return isP00FamilyRow(byExtension) ? byExtension : row;
}

void nameDiskAfter(Disk& disk, const std::filesystem::path& path) {
    std::array<std::uint8_t, 16> name;
    name.fill(0xA0);
    petsciiNameFromPath(path.string(), name);
    disk.setDiskName(name);
}

// Expands an archive into a D64, a D81 and then a DNP until its files fit. A Lynx archive
// is never retried: its partly filled image comes back with last error 13.
std::unique_ptr<Disk> expandInto(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& path,
                                 ArchiveImporter importer, bool lynx, bool startWithD81) {
    std::vector<std::uint32_t> kinds = {kFormatD64, kFormatD81, kFormatDnp};
    if (startWithD81 || bytes.size() > kLargestD64Archive) kinds.erase(kinds.begin());
    for (const std::uint32_t kind : kinds) {
        std::unique_ptr<Disk> disk = makeDiskOfFormat(kind);
        if (!disk) return nullptr;
        if (!disk->open(path, false, true, kind == kFormatDnp ? kDnpArchiveSize : 0)) return nullptr;
        nameDiskAfter(*disk, path);
        disk->setPathForFormat(path);
        if (importer(*disk, bytes)) {
            disk->setModified(false);
            return disk;
        }
        if (lynx) {
            disk->setLastError(kErrArchiveImport);
            disk->setModified(false);
            return disk;
        }
    }
    return nullptr;
}

void reportArchiveKind(std::uint32_t formatId) {
    const container_format_t* row = formatById(formatId);
    const std::string name = row ? std::string(row->description) : "id " + std::to_string(formatId);
    setOpenFailure("the " + name + " archive kind cannot be expanded yet");
}

// Registry id of the archive kind an identified archive type belongs to, 0 for none.
std::uint32_t archiveFormatOfType(std::uint32_t typeId) {
    switch (typeId) {
        case 47: return 28;
        case 48: return 35;
        case 49: return 38;
        case 50: return 33;
        case 52: return 47;
        case 53: return 9;
        case 54: return 29;
        case 55:
        case 56: return 8;
        case 57: return 7;
        case kTypeLynx: return kFormatLynx;
        default: return 0;
    }
}

// Both `openContainer` overloads: `movable`, when given, is `bytes` itself and may be moved
// into the image; otherwise an image copies them, since the caller keeps its own.
std::unique_ptr<Disk> openContainerOver(std::uint32_t formatId, const std::string& name,
                                        const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>* movable) {
    clearOpenFailure();
    const container_format_t* row = formatById(formatId);
    if (!row || !row->factory) return nullptr;
    if (row->category == kCategoryArchive) return archiveToDisk(bytes, name, formatId);

    const bool image = (row->category & kCategoryImage) != 0;
    // Single files get their bytes: a wrapped image must not be overwritten by them.
    std::unique_ptr<Disk> disk = row->factory(formatId, name, image ? nullptr : &bytes);
    if (!disk) return nullptr;
    if (image) {
        if (bytes.empty() || (formatId != kFormatNbz && bytes.size() < disk->defaultImageSize())) return nullptr;
        std::vector<std::uint8_t> content = movable ? std::move(*movable) : bytes;
        if (!disk->openBytes(name, std::move(content))) return nullptr;
    }
    disk->setPathForFormat(name);
    disk->setModified(false);
    return disk;
}

}  // namespace

std::unique_ptr<Disk> openContainer(std::uint32_t formatId, const std::string& name,
                                    const std::vector<std::uint8_t>& bytes) {
    return openContainerOver(formatId, name, bytes, nullptr);
}

std::unique_ptr<Disk> openContainer(std::uint32_t formatId, const std::string& name,
                                    std::vector<std::uint8_t>&& bytes) {
    return openContainerOver(formatId, name, bytes, &bytes);
}

std::unique_ptr<Disk> openStdinContainer(const std::vector<std::uint8_t>& bytes, std::uint32_t formatId) {
    return openContainer(formatId, "stdin", bytes);
}

std::unique_ptr<Disk> openStdinContainer(std::vector<std::uint8_t>&& bytes, std::uint32_t formatId) {
    return openContainer(formatId, "stdin", std::move(bytes));
}

std::unique_ptr<Disk> openContainerFile(const std::filesystem::path& path) {
    clearOpenFailure();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return nullptr;

    const container_format_t* row = rowOfPathExtension(path);
    if (!row) {
        if (isZipcodePartPath(path.string())) {
            setOpenFailure("zipcode sets cannot be opened yet");
        }
        return nullptr;
    }
    if (!row->factory) return nullptr;

    std::vector<std::uint8_t> bytes;
    const bool readsOnDemand = row->id == kFormatDhd;
    if (!readsOnDemand) {
        if (!readWhole(path, bytes)) return nullptr;
        const std::uint32_t identified = identifiedRegistryId(bytes);
        if (identified != kFormatUnknown) {
            if (const container_format_t* identifiedRow = formatById(identified)) row = identifiedRow;
            if (!row->factory) return nullptr;
        }
    }

    std::unique_ptr<Disk> disk = row->factory(row->id, path, readsOnDemand ? nullptr : &bytes);
    if (!disk) return nullptr;
    if (row->category & kCategoryImage) {
        const bool opened = readsOnDemand ? disk->open(path, true, true, 0) : disk->openBytes(path, std::move(bytes));
        if (!opened) return nullptr;
    }
    return disk;
}

std::unique_ptr<Disk> openSingleFileAsDisk(std::uint32_t formatId, const std::filesystem::path& path,
                                           const std::vector<std::uint8_t>* bytes) {
    auto disk = std::make_unique<Disk41>();
    if (!disk->open(path, false, true, 0)) return nullptr;
    if (bytes) {
        std::array<std::uint8_t, 16> name;
        name.fill(0xA0);
        petsciiNameFromPath(path.string(), name);
        if (!disk->importFile(name, 0, *bytes, 0, singleFileRow(formatId, path))) return nullptr;
    } else if (!disk->importHostFile(path, 0)) {
        return nullptr;
    }
    // Saved beside the file as a D64, never under the placeholder name of a new image.
    disk->setPathForFormat(path);
    disk->setModified(false);
    return disk;
}

std::unique_ptr<Disk> openArchiveAsDisk(std::uint32_t formatId, const std::filesystem::path& path,
                                        const std::vector<std::uint8_t>* bytes) {
    if (bytes) return archiveToDisk(*bytes, path, formatId);
    std::vector<std::uint8_t> content;
    if (!readWhole(path, content)) return nullptr;
    return archiveToDisk(content, path, formatId);
}

std::unique_ptr<Disk> archiveToDisk(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& path,
                                    std::uint32_t formatId) {
    const ArchiveImporter importer = archiveImporterFor(formatId);
    if (!importer) {
        reportArchiveKind(formatId);
        return nullptr;
    }
    return expandInto(bytes, path, importer, formatId == kFormatLynx, false);
}

std::unique_ptr<Disk> archiveToDiskByType(const std::vector<std::uint8_t>& bytes, std::uint32_t typeId,
                                          const std::filesystem::path& path, std::vector<std::uint8_t>* /*title*/) {
    const std::uint32_t formatId = archiveFormatOfType(typeId);
    if (formatId == 0) return nullptr;
    const ArchiveImporter importer = archiveImporterFor(formatId);
    if (!importer) {
        reportArchiveKind(formatId);
        return nullptr;
    }
    return expandInto(bytes, path, importer, formatId == kFormatLynx, libraryOptions().forceD81Archives != 0);
}

std::unique_ptr<Disk> expandArchive(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t type = firstIdentifiedType(bytes);
    if (descendsFromLynx(type)) type = kTypeLynx;
    if (archiveFormatOfType(type) == 0) return nullptr;
    std::unique_ptr<Disk> disk = archiveToDiskByType(bytes, type, "{memory}", nullptr);
    if (!disk) std::cerr << "error: could not expand the archive.\n";
    return disk;
}

bool isArchiveFileName(std::string_view name) {
    if (isZipcodePartPath(name)) return true;
    const container_format_t* row = formatByExtension(forge::fileExtension(name));
    return row && (row->category & kCategoryArchive);
}

bool isArchiveEntry(Disk& disk, const dir_entry_t* entry) {
    if (!entry) return false;
    const auto name = entry->name();
    if (isZipcodePartName(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()))) return true;

    const std::string extension = forge::toLower(nameExtension(name));
    const container_format_t* row = formatByExtension(extension);
    if (extension.empty() || !row || !(row->category & kCategoryArchive)) return false;
    if (extension != "cvt") return true;

    static constexpr std::string_view kConvertSignature = " formatted GEOS file";
    const std::uint8_t* block = disk.sectorPointer(entry->firstBlock());
    return block && std::equal(kConvertSignature.begin(), kConvertSignature.end(), block + 35);
}

}  // namespace platter
