#pragma once
// Expanding an archive into a new image: a D64, then a D81 and a DNP while the files do not
// fit.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platter/ids/format_id.hpp"
#include "platter/open/open_result.hpp"

namespace platter {

struct archive_build_t {
    std::uint32_t typeId = 1;  // the identified type (Lynx layouts); 1 identifies the bytes first
    bool startWithD81 = false;
    std::vector<std::uint8_t>* title = nullptr;  // receives a leading LHA "title" entry
};

// Expands an archive of registry kind `id` into a new image named after `path`: a D64 (a D81
// for archives larger than any D64 holds, or when asked), and the next larger kind only when
// the files did not fit. An archive whose files were not all stored whole keeps its image with
// last error 13 (kErrArchiveImport) and what its importer found in the damage report: each file
// stored short or without its data is named (and reads so), as are files that fail the
// archive's checksum (kept as decoded) and bytes no file accounts for; kPartlyExpandedText
// when the importer could say no more. A damaged one gives no image. A DNP is cut to the
// tracks it uses.
// The image comes back unmodified.
open_result_t archiveToDisk(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& path, format_id id,
                            const archive_build_t& build = {});

// The same, keyed by an identified type id whose registry kind is an archive; no image and no
// failure text for other types.
open_result_t archiveToDiskByType(const std::vector<std::uint8_t>& bytes, std::uint32_t typeId,
                                  const std::filesystem::path& path, archive_build_t build = {});

// The archive kind an identified type expands as; none for other types.
format_id archiveFormatOfType(std::uint32_t typeId);

// What is said of an archive whose image lacks some of its files.
inline constexpr const char* kPartlyExpandedText = "not every file of the archive could be expanded";

}  // namespace platter
