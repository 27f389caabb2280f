#include "platter/open/open_m2i.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <system_error>

#include "forge/files.hpp"
#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/library_options.hpp"
#include "platter/open/format_classes.hpp"
#include "platter/petscii/file_type_names.hpp"

namespace platter {

namespace {

using name_t = std::array<std::uint8_t, 16>;

constexpr std::uint64_t kLargestD64Set = 170163;
constexpr std::uint64_t kSmallestDnpSet = 808960;
constexpr std::uint32_t kDnpFormatArgument = 0x10000;
// No image kind holds more: a larger set is refused before its files are read.
constexpr std::uint64_t kLargestSet = 255ull * 256 * 256;

struct m2i_file_t {
    std::uint8_t type = kTypePrg;
    name_t name{};
    std::vector<std::uint8_t> bytes;
};

name_t paddedName(std::string_view text) {
    name_t name;
    name.fill(0xa0);
    std::copy_n(text.begin(), std::min(text.size(), name.size()), name.begin());
    return name;
}

// "T:host:CBMNAME", split from the right: the CBM name after the last ':', the host name
// between the last two; a line without ':' names both.
void splitLine(std::string_view line, std::string& host, std::string& cbmName) {
    const std::size_t last = line.rfind(':');
    if (last == std::string_view::npos) {
        host = cbmName = forge::trim(std::string(line));
        return;
    }
    cbmName = forge::trim(std::string(line.substr(last + 1)));
    const std::string_view before = line.substr(0, last);
    const std::size_t previous = before.rfind(':');
    host = forge::trim(std::string(previous == std::string_view::npos ? before : before.substr(previous + 1)));
}

// The files the index lists, read from beside it; false when the set is larger than any image.
bool readListedFiles(const std::vector<std::string>& lines, const std::filesystem::path& directory,
                     std::vector<m2i_file_t>& files, std::uint64_t& total) {
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const std::string& line = lines[k];
        std::string host;
        std::string cbmName;
        splitLine(line, host, cbmName);
        // Only files beside the index: a host name is a file name, never a path.
        if (host.empty() || host.find('/') != std::string::npos || host == "." || host == "..") continue;
        const std::filesystem::path file = directory / host;
        std::error_code error;
        const std::uint64_t size = std::filesystem::file_size(file, error);
        if (error) continue;
        if (total + size > kLargestSet) return false;
        forge::file_t read;
        if (!forge::readFile(file.string(), read)) continue;
        total += read.data.size();
        files.push_back(
            m2i_file_t{fileTypeFromLetter(forge::charToUpper(line[0])), paddedName(cbmName), std::move(read.data)});
    }
    return true;
}

// The kinds to try, smallest first: the set's size picks the first.
std::vector<format_id> imageKinds(std::uint64_t total) {
    if (total >= kSmallestDnpSet) return {format_id::dnp};
    if (total <= kLargestD64Set && libraryOptions().forceD81Archives == 0)
        return {format_id::d64, format_id::d81, format_id::dnp};
    return {format_id::d81, format_id::dnp};
}

// A new image of the kind holding the files, or null when they do not fit.
std::unique_ptr<Disk> buildImage(format_id kind, const std::filesystem::path& index, const name_t& diskName,
                                 const std::vector<m2i_file_t>& files) {
    std::unique_ptr<Disk> disk = makeDiskOfFormat(kind);
    if (!disk) return nullptr;
    std::filesystem::path base = index;
    base.replace_extension();
    if (!disk->open(base, false, true, kind == format_id::dnp ? kDnpFormatArgument : 0)) return nullptr;
    // The files are the image's initial contents, not edits to undo.
    disk->setUndoSuspended(true);
    disk->setDiskName(diskName);
    for (std::size_t k = 0; k < files.size(); ++k) {
        const m2i_file_t& file = files[k];
        if (!disk->importFile(file.name, static_cast<std::int64_t>(k), file.bytes, 0, formatByCbmType(file.type)))
            return nullptr;
    }
    disk->setUndoSuspended(false);
    disk->setPathForFormat(index);
    disk->setModified(false);
    return disk;
}

}  // namespace

open_result_t openM2I(const std::filesystem::path& index, const std::vector<std::uint8_t>* bytes) {
    std::vector<std::uint8_t> read;
    if (!bytes) {
        forge::file_t file;
        if (!forge::readFile(index.string(), file)) return {};
        read = std::move(file.data);
        bytes = &read;
    }
    const std::vector<std::string> lines =
        forge::split(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), '\n', true);
    if (lines.empty()) return {};
    std::vector<m2i_file_t> files;
    std::uint64_t total = 0;
    if (!readListedFiles(lines, index.parent_path(), files, total))
        return {nullptr, "the files it lists are larger than any disk image"};
    const name_t diskName = paddedName(forge::trim(lines.front()));
    std::string unbuilt;
    for (const format_id kind : imageKinds(total)) {
        if (std::unique_ptr<Disk> disk = buildImage(kind, index, diskName, files)) return {std::move(disk), {}};
        if (!formatClass(kind) && unbuilt.empty()) unbuilt = formatNotBuiltText(kind);
    }
    if (!unbuilt.empty()) return {nullptr, "its files need a larger image, but " + unbuilt};
    return {nullptr, "its files do not fit a D64, D81 or DNP image"};
}

open_result_t openM2iIndex(format_id, const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes) {
    return openM2I(path, bytes);
}

}  // namespace platter
