#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace platter {

class Disk;

// Factory of the disk and tape image rows: an unopened object of the row's class. The bytes
// are not used; the opener fills or loads the provider.
std::unique_ptr<Disk> openImageOfFormat(std::uint32_t formatId, const std::filesystem::path& path,
                                        const std::vector<std::uint8_t>* bytes);

// Factory of the M2I row.
std::unique_ptr<Disk> openM2iIndex(std::uint32_t formatId, const std::filesystem::path& path,
                                   const std::vector<std::uint8_t>* bytes);

}  // namespace platter
