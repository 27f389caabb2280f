#pragma once
// Which paint program wrote a file: from its identification result, from its
// load address and size, or from its directory entry and bytes.

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter {

// The paint type of a picture type of the file identification (Amica Paint
// as the packed form, Loadstar by its hires or multicolour flag); 0 for
// other types.
std::uint32_t paintTypeFromFileId(std::uint32_t fileType, std::span<const fileid::file_metadata_t> metadata);

// The paint type whose row matches the load address and size of the data
// among the rows of the CBM kind (1 SEQ, 2 PRG); 0 when none does. Rows
// that take any address and size count only for SEQ files or when not strict.
std::uint32_t identifyPaintByLoadAddress(std::uint8_t kind, std::span<const std::uint8_t> data, bool strict);

// The paint type of a directory entry's file (the raw 32-byte entry): GEOS
// pictures by their class, others by load address and size, packed ones by
// unpacking them on trial. paint_type::assembler when nothing fits.
std::uint32_t identifyPaintType(std::span<const std::uint8_t> entry, std::span<const std::uint8_t> data);

}  // namespace platter
