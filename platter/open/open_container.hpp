#pragma once
// Building the container of a registry kind from bytes or a host file: image classes,
// single files wrapped in a fresh D64, and archives expanded into a new image.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platter/ids/format_id.hpp"
#include "platter/open/open_result.hpp"

namespace platter {

class DataProvider;
class Disk;
struct container_format_t;
struct dir_entry_t;

// Builds the image of kind `id` over the given bytes; `name` becomes the source path and, with
// the registry extension, the image path. No disk when the kind cannot be opened or the bytes
// are not a usable container of that kind.
open_result_t openContainer(format_id id, const std::string& name, const std::vector<std::uint8_t>& bytes);
// The same, taking the bytes over: an image keeps them as its content without a copy.
open_result_t openContainer(format_id id, const std::string& name, std::vector<std::uint8_t>&& bytes);

// The image of kind `id` over a provider that holds the host file `path` (one reading it on
// demand). `byExtension`: the path's extension names a registry kind, so the image opens
// whatever its size and keeps the path, as openAsKind; otherwise as openContainer.
open_result_t openImageOver(format_id id, const std::filesystem::path& path, std::unique_ptr<DataProvider> provider,
                            bool byExtension);

// Opens a host file as a container, by its contents when identification knows them, else by
// its extension; a name like "1!game" without extension names a zipcode set. The file is read
// once (pipes work too), except by kinds that read blocks on demand.
open_result_t openContainerFile(const std::filesystem::path& path);

// The bytes of a host file opened as the kind `id`, whatever their size, as openContainerFile
// opens a file whose extension the registry knows.
open_result_t openAsKind(format_id id, const std::filesystem::path& path, std::vector<std::uint8_t> bytes);

// The bytes of a host file opened as the kind its extension names (any case), whatever
// identification says; a name like "1!game" names a zipcode set. A kind that reads its blocks
// on demand opens the path instead.
open_result_t openByExtension(const std::filesystem::path& path, std::vector<std::uint8_t> bytes);

// A kind that opens as a container: an image kind, an archive kind, or one with an opener of its
// own (single files).
bool opensAsContainer(const container_format_t& row);

// The single-file opener: a fresh D64 holding the one file, named after the path. Without
// bytes the host file is read.
open_result_t openSingleFileAsDisk(format_id id, const std::filesystem::path& path,
                                   const std::vector<std::uint8_t>* bytes);

// True for a zipcode part entry (of either kind of set) or an entry whose name extension is
// an archive row; a ".cvt" entry must also carry the GEOS Convert signature in its first block.
bool isArchiveEntry(Disk& disk, const dir_entry_t* entry);

}  // namespace platter
