#pragma once

#include <cstdint>
#include <span>

#include "platter/core/listing_output.hpp"
#include "platter/ids/format_id.hpp"

namespace platter {

class Disk;
class PetsciiWriter;

// Whether saveAs writes a document or picture of the directory for a
// registry row, rather than the image's blocks.
bool isListingDocument(format_id id);

// The document or picture of the row's kind (SEQ, TXT, BMP, CSV, RTF, PNG,
// HTML, Kick Assembler).
bool saveListing(Disk& disk, format_id id, const listing_output_t& out, const listing_request_t& request);

// The listing as PETSCII with reverse codes, the content of a SEQ file.
bool writeListingSeq(Disk& disk, const listing_output_t& out, bool recurse, PetsciiWriter& writer,
                     std::span<const std::uint32_t> shown, bool withTitles);

// A Kick Assembler .disk directive naming every entry of the current directory.
bool writeListingKickAssembler(Disk& disk, const listing_output_t& out);

}  // namespace platter
