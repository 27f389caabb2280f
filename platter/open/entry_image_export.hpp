#pragma once
// Entries that hold an archive or a zipcode set, saved as the disk image they expand to.

#include <cstdint>
#include <filesystem>

#include "platter/core/export_options.hpp"

namespace platter {

class Disk;

// What Disk::exportFiles needs to save such entries as images: the shared descent's test and
// opener (nestedKindOf, openNestedContainer).
const entry_image_opener_t& archiveEntryOpener();

// Saves the container the index-th entry holds as an image under `hostPath`, whose extension
// becomes that of the image's kind ("game.lnx" is saved as "game.d64"). False when the entry
// holds none or it does not open (last error 6 on `disk`), or when saving fails (the image's
// last error on `disk`).
bool exportEntryAsImage(Disk& disk, std::uint64_t index, const std::filesystem::path& hostPath);

}  // namespace platter
