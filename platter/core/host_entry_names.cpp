#include "platter/core/host_entry_names.hpp"

#include "forge/paths.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/petscii/ascii_to_petscii.hpp"
#include "platter/petscii/cbm_name.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace platter {
namespace {

std::vector<std::uint8_t> toPetscii(std::string_view text) {
    std::vector<std::uint8_t> out;
    asciiToPetscii(text, out, Charset::lowerUpper);
    return out;
}

}  // namespace

void petsciiNameFromPath(std::string_view hostPath, std::span<std::uint8_t, 16> destination) {
    const std::string fileName = forge::fileName(hostPath);
    const std::string dottedExtension = pathExtension(fileName);
    bool keepExtension = !dottedExtension.empty();
    std::string_view stem = std::string_view(fileName).substr(0, fileName.size() - dottedExtension.size());
    // "name." has an empty extension, which counts as none: no dot is written.
    if (dottedExtension.empty() && stem.ends_with('.')) stem.remove_suffix(1);
    const std::string_view extension = keepExtension ? std::string_view(dottedExtension).substr(1) : "";
    if (keepExtension) {
        // Single-file forms (PRG, SEQ, P00 ...) name the host wrapper, not the file. The TXT
        // row carries those bits too, but "readme.txt" keeps its extension.
        const container_format_t* row = formatByExtension(extension);
        if (row && (row->category & kCategoryCbmFile) && !(row->category & kCategoryOutput)) keepExtension = false;
    }

    std::vector<std::uint8_t> stemBytes = toPetscii(stem);
    std::vector<std::uint8_t> extensionBytes;
    std::size_t stemLimit = destination.size();
    if (keepExtension) {
        extensionBytes = toPetscii(extension);
        const bool cut = extensionBytes.size() > 3;
        if (cut) extensionBytes.resize(3);
        stemLimit = cut ? 12 : 15 - extensionBytes.size();
    }
    if (stemBytes.size() > stemLimit) stemBytes.resize(stemLimit);

    auto out = std::copy(stemBytes.begin(), stemBytes.end(), destination.begin());
    if (keepExtension) {
        *out++ = '.';
        std::copy(extensionBytes.begin(), extensionBytes.end(), out);
    }
}

bool entryFromPath(dir_entry_t& entry, std::string_view hostPath) {
    clearEntryWithName(entry.bytes, hostPath);
    const container_format_t* row = formatByExtension(pathExtension(hostPath));
    if (!row) row = formatById(format_id::prg);
    entry.bytes[2] = static_cast<std::uint8_t>(row->id == format_id::txt ? 1 : row->cbmType);
    return true;
}

}  // namespace platter
