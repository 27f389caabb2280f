#pragma once
// M2I index files: a text that names host files to be presented as the files of one disk.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platter/ids/format_id.hpp"
#include "platter/open/open_result.hpp"

namespace platter {

// A new image holding the files the index lists, in its order: a D64 when they fit one (up to
// 170163 bytes), a DNP from 808960 bytes, else a D81, each kind retried in the next larger one
// when its files do not fit. `bytes`, when given, are the index itself; the host files lie
// beside it, and a listed file that cannot be read is left out. Saved as the index's path with
// the image's extension.
open_result_t openM2I(const std::filesystem::path& index, const std::vector<std::uint8_t>* bytes = nullptr);

// The registry's opener of the M2I kind.
open_result_t openM2iIndex(format_id id, const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes);

}  // namespace platter
