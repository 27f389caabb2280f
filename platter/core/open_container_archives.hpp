#pragma once

#include <cstdint>
#include <vector>

namespace platter {

class Disk;

// Fills a freshly formatted image from an archive; false when it does not fit or is damaged.
using ArchiveImporter = bool (*)(Disk& disk, const std::vector<std::uint8_t>& bytes);

// The importer of an archive registry id, or null when that archive kind cannot be expanded
// in this build.
ArchiveImporter archiveImporterFor(std::uint32_t formatId);

}  // namespace platter
