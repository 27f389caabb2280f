#pragma once
// Lookups in the container-format registry: the facts of every kind by id, extension or
// CBM type. The classes that open the kinds are registered in platter/open.

#include "platter/core/container_format.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

// Every row of the registry, in table order.
std::span<const container_format_t> containerFormats();

// The row of a registry id (the later row when two share it), or null.
const container_format_t* formatById(format_id id);
// The row of an extension given with or without its dot, in any case (the later row when two
// share it); null for an empty or unknown extension. "*" finds the ALL row.
const container_format_t* formatByExtension(std::string_view extension);
// The first row whose CBM type equals `type`, or null.
const container_format_t* formatByCbmType(std::uint32_t type);
// The short name of a kind ("D64"), or "id N" for an id without a row.
std::string formatName(format_id id);

// Every non-empty extension of the registry, sorted, then the zipcode part prefixes.
std::vector<std::string> supportedExtensions();

// A disk or tape image kind; text files carry the image bit too, but are CBM files.
bool isImageKind(const container_format_t& row);
// P00, R00, S00 and U00: a CBM file behind a "C64File" header.
bool isP00Family(format_id id);
// The P00-family form of a CBM file type (SEQ S00, PRG P00, REL R00), else none.
format_id p00FormatForType(std::uint32_t cbmType);

// Size in 256-byte blocks of a CMD partition holding an image of the kind: the row's
// partitionBlocks, or the image's own size (at least 512 blocks) for a native partition;
// 0 for a kind that has no partition.
std::uint64_t partitionSizeBlocks(format_id id, std::uint64_t byteSize);

// CMD partition types: 1 native, 2 D64, 3 D71, 4 D81; 0 for other formats.
std::uint32_t cmdPartitionTypeOf(format_id id);
// Registry id of a CMD partition type; unknown for types that hold no image.
format_id formatOfCmdPartitionType(std::uint32_t partitionType);

}  // namespace platter
