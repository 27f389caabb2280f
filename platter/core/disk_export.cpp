#include <memory>
#include <set>
#include <string>
#include <system_error>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/host_names.hpp"
#include "platter/core/library_options.hpp"
#include "platter/core/listing_draw.hpp"
#include "platter/core/listing_walk.hpp"
#include "platter/core/picture_export.hpp"
#include "platter/petscii/html_converter.hpp"
#include "platter/petscii/p00_header.hpp"
#include "platter/petscii/petscii_text.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "platter/petscii/render_settings.hpp"
#include "platter/petscii/rtf_converter.hpp"
#include "platter/picture/paint_identify.hpp"
#include "platter/picture/paint_type_ids.hpp"

namespace platter {

namespace {

// The generator that extracted documents name (listings name the library option's).
constexpr const char* kExportGenerator = "Tomekeeper Library";

// An RTF or HTML document of PETSCII text, laid out as the writer draws it, titled with the
// host path. Line ends go through the converter as carriage returns, so that empty lines stay.
Disk::bytes_t textDocument(format_id form, std::span<const std::uint8_t> text, const std::string& title,
                           const PetsciiWriter& writer) {
    PetsciiWriter drawer(writer);
    drawer.clearOutput();
    drawer.setCarriageReturnMode(true);
    std::unique_ptr<Converter> converter;
    if (form == format_id::rtf) {
        converter = std::make_unique<RTFConverter>(&drawer);
    } else {
        const library_options_t& options = libraryOptions();
        converter = std::make_unique<HTMLConverter>(
            &drawer,
            html_document_options_t{options.htmlFragment != 0, options.htmlInlineCss != 0, options.htmlCssFile});
    }
    converter->writeHeader(kExportGenerator, title, 1, true);
    converter->writeTitle(title, false);
    bitmap_render_settings_t settings = renderSettingsFor(drawer, {text.begin(), text.end()});
    layoutPetsciiText(settings, &drawer);
    converter->writeFooter();
    return drawer.output();
}

// The row an export writes an entry of the CBM type as; null to leave the entry out.
const container_format_t* exportRow(export_mode mode, std::uint8_t type) {
    switch (mode) {
        case export_mode::native: return formatByCbmType(type);
        case export_mode::p00: {
            // The library's level exports the first SEQ, PRG and REL of these pairs.
            static constexpr std::uint8_t kExportOrder[] = {kTypeSeq, kTypePrg, kTypeRel};
            const std::int32_t level = libraryOptions().p00ExportLevel;
            for (std::int32_t i = 0; i < level && i < 3; ++i) {
                if (kExportOrder[i] == type) return formatById(p00FormatForType(type));
            }
            return nullptr;
        }
        case export_mode::text: return type == kTypeSeq ? formatById(format_id::txt) : nullptr;
    }
    return nullptr;
}

bool makeDirectory(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    return std::filesystem::is_directory(directory, error);
}

// One exportFiles run: the walk, the names handed out and the first failure.
class FileExport {
public:
    FileExport(Disk& disk, const export_options_t& options, const PetsciiWriter& writer)
        : disk_(disk), options_(options), writer_(writer), walk_(disk) {}

    std::uint32_t run(const std::filesystem::path& target) {
        exportDirectory(target);
        return failure_;
    }

private:
    void exportDirectory(const std::filesystem::path& directory) {
        if (!makeDirectory(directory)) {
            fail(kErrOpenFile);
            return;
        }
        std::set<std::string> zipcodeSets;
        dir_entry_t entry;
        for (std::uint64_t index = 0; disk_.getEntry(index, disk_.includeEmpty(), entry); ++index) {
            const std::string name = hostEntryName(entry.name());
            if (disk_.hasPartitionTable()) {
                exportPartition(entry, directory, name);
                continue;
            }
            if (disk_.holdsDirectory(entry)) {
                if (!walk_.enter(entry)) continue;
                const std::filesystem::path below = names_.claim(directory, name, "");
                if (below.empty()) {
                    fail(kErrOpenFile);
                } else {
                    exportDirectory(below);
                }
                walk_.leave();
                continue;
            }
            // Type 7 names no kind of file.
            if (entry.fileType() == 7 || disk_.isHeaderTrackEntry(entry)) continue;
            if (options_.archivesAsImages) {
                if (!isZipcodePartEntry(entry)) {
                    exportImage(entry, directory, name);
                } else if (const std::string set = zipcodeSetName(entry); zipcodeSets.insert(set).second) {
                    // The parts of a set make one image, named after the set.
                    exportImage(entry, directory,
                                hostEntryName({reinterpret_cast<const std::uint8_t*>(set.data()), set.size()}));
                }
            } else {
                exportFile(index, entry, directory, name);
            }
        }
    }

    // A partition of a partition table is an image of its own: its files go into a directory
    // named after it. Entries that open no image (the system area) are left out.
    void exportPartition(const dir_entry_t& entry, const std::filesystem::path& directory, const std::string& name) {
        const std::shared_ptr<Disk> partition = disk_.openPartition(entry);
        if (!partition) return;
        const std::filesystem::path below = names_.claim(directory, name, "");
        if (below.empty()) {
            fail(kErrOpenFile);
            return;
        }
        FileExport inner(*partition, options_, writer_);
        if (const std::uint32_t failure = inner.run(below); failure != kErrNone) fail(failure);
    }

    void exportFile(std::uint64_t index, const dir_entry_t& entry, const std::filesystem::path& directory,
                    const std::string& name) {
        const container_format_t* row = exportRow(options_.mode, entry.fileType());
        if (!row) return;
        const std::filesystem::path file = names_.claim(directory, name, row->extension);
        if (file.empty()) {
            fail(kErrExtractWrite);
        } else if (!disk_.extractEntryAs(index, file, entry.name(), writer_)) {
            fail(disk_.lastError());
        }
    }

    void exportImage(const dir_entry_t& entry, const std::filesystem::path& directory, const std::string& name) {
        const entry_image_opener_t& opener = *options_.archivesAsImages;
        if (!opener.holdsContainer(disk_, entry)) return;
        const std::unique_ptr<Disk> image = opener.open(disk_, entry);
        if (!image) {
            fail(kErrExtractRead);
            return;
        }
        image->setPathForFormat(directory / name);
        const std::filesystem::path named = image->imagePath();
        const std::filesystem::path file = names_.claim(directory, named.stem().string(), named.extension().string());
        if (file.empty() || image->saveAs(file)) fail(file.empty() ? kErrExtractWrite : image->lastError());
    }

    void fail(std::uint32_t code) {
        if (failure_ == kErrNone) failure_ = code;
    }

    Disk& disk_;
    const export_options_t& options_;
    const PetsciiWriter& writer_;
    DirectoryWalk walk_;
    HostNames names_;
    std::uint32_t failure_ = kErrNone;
};

}  // namespace

bool Disk::writeHostFile(const path& hostPath, std::span<const std::uint8_t> data, const dir_entry_t& entry,
                         const PetsciiWriter& writer) {
    lastError_ = kErrNone;
    const container_format_t* row = formatByExtension(hostPath.extension().string());
    const format_id form = row ? row->id : format_id::prg;
    bytes_t converted;
    std::span<const std::uint8_t> content = data;
    switch (form) {
        case format_id::bmp:
        case format_id::png: {
            const picture_file kind = form == format_id::png ? picture_file::png : picture_file::bmp;
            if (!exportAsPicture(identifyPaintType(entry.bytes, data), data, kind, writer, converted)) {
                lastError_ = kErrExtractWrite;
                return false;
            }
            content = converted;
            break;
        }
        case format_id::rtf:
        case format_id::htm:
        case format_id::txt:
            if (identifyPaintType(entry.bytes, data) != paint_type::seq) break;
            if (form == format_id::txt) {
                const std::string text = petsciiBytesToText(data, TextMode::plain, false, false);
                converted.assign(text.begin(), text.end());
            } else {
                converted = textDocument(form, data, hostPath.string(), writer);
            }
            content = converted;
            break;
        default:
            if (!isP00Family(form)) break;
            converted.resize(kP00HeaderSize);
            buildP00Header(std::span<std::uint8_t, kP00HeaderSize>(converted.data(), kP00HeaderSize), entry.bytes);
            converted.insert(converted.end(), data.begin(), data.end());
            content = converted;
            break;
    }
    lastError_ = emitListing({hostPath, nullptr}, content);
    return lastError_ == kErrNone;
}

bool Disk::extractEntryAs(std::uint64_t index, const path& hostPath, std::span<const std::uint8_t, 16> name,
                          const PetsciiWriter& writer) {
    lastError_ = kErrNone;
    dir_entry_t entry;
    bytes_t data;
    if (!getEntry(index, includeEmpty_, entry) || !readFileByIndex(index, includeEmpty_, data)) {
        lastError_ = kErrExtractRead;
        return false;
    }
    if (data.empty()) return true;
    entry.setName(name);
    if (writeHostFile(hostPath, data, entry, writer)) return true;
    lastError_ = kErrExtractWrite;
    return false;
}

bool Disk::exportFiles(const path& target, const export_options_t& options) {
    lastError_ = kErrNone;
    const PetsciiWriter fallback = listingWriter();
    FileExport run(*this, options, options.writer ? *options.writer : fallback);
    lastError_ = run.run(target);
    return lastError_ == kErrNone;
}

bool Disk::isHeaderTrackEntry(const dir_entry_t& entry) const {
    const std::uint8_t type = entry.fileType();
    return (type == kTypeDel || type == kTypeUsr) && entry.bytes[3] == headerBlock_.track;
}

}  // namespace platter
