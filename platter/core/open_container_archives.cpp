#include "platter/core/open_container_archives.hpp"

namespace platter {

// No archive decoder is part of this build yet; every archive kind reports that it cannot
// be expanded.
ArchiveImporter archiveImporterFor(std::uint32_t /*formatId*/) { return nullptr; }

}  // namespace platter
