#include "platter/open/open_argument.hpp"

#include "forge/files.hpp"
#include "forge/host_file.hpp"
#include "forge/paths.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/file_data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/identification_reads.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/open/format_classes.hpp"
#include "platter/open/identified_format.hpp"
#include "platter/open/open_container.hpp"

#include <array>
#include <optional>
#include <span>

namespace platter {

namespace {

forge::message_t notice(std::string text) { return {forge::message_level::notice, std::move(text)}; }
forge::message_t error(std::string text) { return {forge::message_level::error, std::move(text)}; }

bool isUnbuiltImageKind(format_id id) {
    const container_format_t* row = formatById(id);
    return row && isImageKind(*row) && !formatClass(id);
}

// Why a container kind gave no container: a kind this build cannot open yet is said plainly, an
// archive that could not be expanded in the words every command uses for it.
forge::message_t notOpened(format_id id, const open_result_t& result, const std::string& name) {
    const container_format_t* row = formatById(id);
    if (isUnbuiltImageKind(id)) return error(name + ": " + formatName(id) + " images cannot be opened yet");
    // A kind with an opener of its own (a zipcode set) says why itself.
    const format_class_t* line = formatClass(id);
    if (line && line->open && !result.failure.empty()) return error(name + ": " + result.failure);
    if (row && row->category == kCategoryArchive) return error(name + ": could not expand the archive.");
    if (!result.failure.empty()) return error(name + ": " + result.failure);
    return error(name + " ID'd as a supported format but failed to parse");
}

// Identification named what the bytes are (not only that it could not tell).
bool isNamedType(std::uint32_t type) {
    return type != 0 && type != fileid::type_id::error && !fileid::isDescendantOf(type, fileid::type_id::error);
}

// Nothing to open: an empty file, a file of a kind that is no container, or one nothing knows.
forge::message_t nothingToOpen(const opened_container_t& result, std::size_t size, const std::string& name) {
    if (size == 0) return error(name + ": the file is empty");
    if (isNamedType(result.type))
        return error(name + ": not a container (ID'd as " + fileid::typeName(result.type) + ")");
    return error(name + " not ID'd as a supported format");
}

// A file that identification named as no container kind, or did not name, opened by its extension.
forge::message_t openedByExtension(std::uint32_t type, const container_format_t& row, const std::string& name) {
    const std::string identified = isNamedType(type) ? fileid::typeName(type) + "," : "not ID'd;";
    return notice(name + ": " + identified + " opened by its extension as " + std::string(row.name));
}

// A regular file whose size alone names a fixed-size image, or whose first bytes name a
// raw-track image: identified from the blocks its detector looks at and opened over a
// provider that reads the other blocks when they are first asked for (or, with `readWhole`,
// all of them in one read first). Nothing when neither names such an image, the file cannot
// be read or the memory is not there.
std::optional<opened_container_t> openImageOnDemand(const std::string& path, forge::HostFile& file, bool readWhole,
                                                    const container_format_t* byExtension) {
    if (!file.isRegular()) return std::nullopt;
    std::vector<fileid::byte_range_t> reads = fileid::identificationReads(file.size());
    std::uint32_t typeByHead = 0;
    if (reads.empty()) {
        std::array<std::uint8_t, fileid::kIdentifyingHeadBytes> head{};
        const std::int64_t got = file.readAt(0, head);
        if (got <= 0) return std::nullopt;
        const auto length = static_cast<std::size_t>(got);
        typeByHead = fileid::identifyByHead(std::span(head).first(length), file.size());
        if (typeByHead == 0) return std::nullopt;
        reads = {{0, length}};
    }
    auto provider = std::make_unique<FileDataProvider>();
    if (!provider->attach(std::move(file), path)) return std::nullopt;
    if (readWhole) reads = {{0, provider->size()}};
    opened_container_t result;
    const auto quoted = [&path] { return "'" + forge::fileName(path) + "'"; };
    for (const fileid::byte_range_t& range : reads) {
        if (!provider->rangeAt(range.offset, range.length)) {
            result.messages.push_back(error(quoted() + " could not be read"));
            return result;
        }
    }
    const std::uint32_t type = typeByHead != 0 ? typeByHead : firstIdentifiedType(provider->partialBytes());
    const format_id format = formatOfIdentified(
        type,
        [&provider](std::uint64_t offset) {
            const std::uint8_t* block = provider->rangeAt(offset, Disk::kBlockSize);
            return block ? std::span<const std::uint8_t>(block, Disk::kBlockSize) : std::span<const std::uint8_t>();
        },
        byExtension ? byExtension->id : format_id::none);
    const container_format_t* row = formatById(format);
    if (!row || !isImageKind(*row) || !formatClass(format)) {
        // Not an image this opens over the file: the usual road, with every byte.
        const std::uint8_t* all = provider->rangeAt(0, provider->size());
        if (!all) {
            result.messages.push_back(error(quoted() + " could not be read"));
            return result;
        }
        return openIdentifiedArgument(path, std::vector<std::uint8_t>(all, all + provider->size()), type);
    }
    result.read = true;
    result.type = type;
    result.format = format;
    open_result_t opened = openImageOver(format, path, std::move(provider), byExtension != nullptr);
    result.disk = std::move(opened.disk);
    if (!result.disk) {
        result.messages.push_back(notOpened(format, opened, quoted()));
        return result;
    }
    return result;
}

}  // namespace

opened_container_t openContainerArgument(const std::string& path, const open_request_t& request) {
    opened_container_t result;
    const std::string quoted = "'" + forge::fileName(path) + "'";
    forge::HostFile file;
    if (!(request.status ? file.open(path, *request.status) : file.open(path))) {
        result.messages.push_back(error(quoted + " could not be read"));
        return result;
    }
    // A kind that reads its blocks on demand is never read whole.
    const container_format_t* byExtension = formatByExtension(forge::fileExtension(path));
    if (const container_format_t* row = byExtension; row && row->readsOnDemand && file.isRegular()) {
        open_result_t opened = openAsKind(row->id, path, {});
        result.read = true;
        result.format = row->id;
        result.disk = std::move(opened.disk);
        if (!result.disk) {
            result.messages.push_back(notOpened(row->id, opened, quoted));
            return result;
        }
        // Identification names neither kind: it opened by its extension, as any such file does.
        result.messages.push_back(openedByExtension(0, *row, quoted));
        return result;
    }
    if (std::optional<opened_container_t> onDemand = openImageOnDemand(path, file, request.readWhole, byExtension))
        return std::move(*onDemand);
    // No kind held in memory comes near this size; a larger file (a sparse one of many
    // gigabytes named .d64) is refused before a byte of it is read.
    std::vector<std::uint8_t> bytes;
    const forge::read_status status = forge::readHostFile(file, forge::kLargestWholeRead, bytes);
    if (status == forge::read_status::tooLarge) {
        result.messages.push_back(error(forge::tooLargeText(forge::fileName(path))));
        return result;
    }
    if (status != forge::read_status::read) {
        result.messages.push_back(error(quoted + " could not be read"));
        return result;
    }
    const std::uint32_t type = firstIdentifiedType(bytes);
    return openIdentifiedArgument(path, std::move(bytes), type);
}

opened_container_t openIdentifiedArgument(const std::string& path, std::vector<std::uint8_t> bytes,
                                          std::uint32_t type) {
    opened_container_t result;
    const std::string quoted = "'" + forge::fileName(path) + "'";
    result.read = true;
    result.type = type;
    const container_format_t* byExtension = formatByExtension(forge::fileExtension(path));
    result.format = formatOfIdentified(type, bytes, byExtension ? byExtension->id : format_id::none);
    const std::size_t size = bytes.size();
    if (result.format == format_id::none) {
        // What identification does not name opens by the extension, and says so.
        const container_format_t* row = byExtension;
        if (size == 0 || !row || !opensAsContainer(*row)) {
            result.nothingToOpen = true;
            result.messages.push_back(nothingToOpen(result, size, quoted));
            return result;
        }
        open_result_t opened = openByExtension(path, std::move(bytes));
        result.disk = std::move(opened.disk);
        if (!result.disk) {
            result.messages.push_back(notOpened(row->id, opened, quoted));
            return result;
        }
        result.format = row->id;
        result.messages.push_back(openedByExtension(type, *row, quoted));
        return result;
    }
    // A file named with an extension the registry knows opens whatever its size, for what it
    // holds (a truncated image); the bytes are never read twice.
    open_result_t opened = byExtension ? openAsKind(result.format, path, std::move(bytes))
                                       : openContainer(result.format, path, std::move(bytes));
    result.disk = std::move(opened.disk);
    if (!result.disk) {
        result.messages.push_back(notOpened(result.format, opened, quoted));
        return result;
    }
    return result;
}

opened_container_t openStdinArgument(std::vector<std::uint8_t> bytes) {
    opened_container_t result;
    const std::string name(forge::kStdinName);
    result.read = true;
    result.type = firstIdentifiedType(bytes);
    result.format = formatOfIdentified(result.type, bytes, format_id::none);
    if (result.format == format_id::none) {
        result.nothingToOpen = true;
        result.messages.push_back(nothingToOpen(result, bytes.size(), name));
        return result;
    }
    open_result_t opened = openContainer(result.format, "stdin", std::move(bytes));
    result.disk = std::move(opened.disk);
    if (result.disk) return result;
    const container_format_t* row = formatById(result.format);
    if (isUnbuiltImageKind(result.format) || (row && row->category == kCategoryArchive) || !opened.failure.empty()) {
        result.messages.push_back(notOpened(result.format, opened, name));
    } else {
        result.messages.push_back(
            error(name + " ID'd as a " + std::string(row ? row->extension : "") + " but failed to parse"));
    }
    return result;
}

}  // namespace platter
