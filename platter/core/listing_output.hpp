#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <vector>

namespace platter {

class PetsciiWriter;

// Where a listing document goes. A document is built in memory and then
// either appended to an open stream in one write (several listings can so
// share one document) or saved under the path.
struct listing_output_t {
    std::filesystem::path path;
    std::ostream* stream = nullptr;
};

// What saveAs needs beyond the target to write a listing document.
struct listing_request_t {
    PetsciiWriter* writer = nullptr;     // the sink of converter documents and pictures; a default one when null
    bool recurse = false;                // list subdirectories and partitions too
    std::vector<std::uint32_t> indices;  // entries to leave out (CSV) or to show (drawn listings)
    std::ostream* stream = nullptr;      // append to this instead of saving under the target
};

// Appends the document to the stream, or saves it under the path through the
// save routine. The last-error code of the outcome: 0, 5 (the file could not
// be made) or 4 (writing failed); a failed save leaves the target as it was.
std::uint32_t emitListing(const listing_output_t& out, std::span<const std::uint8_t> document);

}  // namespace platter
