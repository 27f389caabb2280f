#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

class Disk;
struct dir_entry_t;

// Builds the image of registry row `formatId` over the given bytes; `name` becomes the source
// path and, with the registry extension, the image path. Null when the row has no factory or
// the bytes are not a usable container of that kind.
std::unique_ptr<Disk> openContainer(std::uint32_t formatId, const std::string& name,
                                    const std::vector<std::uint8_t>& bytes);
// The same, taking the bytes over: an image keeps them as its content without a copy.
std::unique_ptr<Disk> openContainer(std::uint32_t formatId, const std::string& name, std::vector<std::uint8_t>&& bytes);

// Opens a host file as a container, by its contents when identification knows them, else by
// its extension; a name like "1!game" without extension opens a zipcode set. The file is read
// once (pipes work too), except by classes that read blocks on demand. Null on failure.
std::unique_ptr<Disk> openContainerFile(const std::filesystem::path& path);

// `openContainer(formatId, "stdin", bytes)`.
std::unique_ptr<Disk> openStdinContainer(const std::vector<std::uint8_t>& bytes, std::uint32_t formatId);
std::unique_ptr<Disk> openStdinContainer(std::vector<std::uint8_t>&& bytes, std::uint32_t formatId);

// Factory of the single-file rows: a fresh D64 holding the one file, named after the path.
// Without bytes the host file is read.
std::unique_ptr<Disk> openSingleFileAsDisk(std::uint32_t formatId, const std::filesystem::path& path,
                                           const std::vector<std::uint8_t>* bytes);

// Factory of the archive rows: reads the file when no bytes are given, then `archiveToDisk`.
std::unique_ptr<Disk> openArchiveAsDisk(std::uint32_t formatId, const std::filesystem::path& path,
                                        const std::vector<std::uint8_t>* bytes);

// Expands an archive of registry id `formatId` into a new D64, retrying in a D81 and then a
// DNP when it does not fit. A failed Lynx import keeps its partly filled image with last
// error 13. Null when the archive kind cannot be expanded.
std::unique_ptr<Disk> archiveToDisk(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& path,
                                    std::uint32_t formatId);

// The same, keyed by an identified type id (47 CVT, 48 Wraptor, 49 Library, 50 Arkive,
// 52 SPYne, 53 LHA, 54 LHA SFX, 55/56 ARC, 57 SDA, 80 Lynx). `title` receives an LHA title.
std::unique_ptr<Disk> archiveToDiskByType(const std::vector<std::uint8_t>& bytes, std::uint32_t typeId,
                                          const std::filesystem::path& path, std::vector<std::uint8_t>* title);

// True for a zipcode part name ("1!" to "5!" first) or a name whose extension is an archive row.
bool isArchiveFileName(std::string_view name);

// True for a zipcode part entry or an entry whose name extension is an archive row; a ".cvt"
// entry must also carry the GEOS Convert signature in its first block.
bool isArchiveEntry(Disk& disk, const dir_entry_t* entry);

// An image from an archive's bytes, chosen by identification; prints
// "error: could not expand the archive." when an archive cannot be expanded.
std::unique_ptr<Disk> expandArchive(const std::vector<std::uint8_t>& bytes);

}  // namespace platter
