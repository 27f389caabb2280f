#pragma once

#include <cstdint>
#include <span>

#include "platter/core/listing_output.hpp"

namespace platter {

class Converter;
class Disk;

// The directory listing document of the converter's kind: header, the
// listing of the current directory (and, with `recursive`, of every
// subdirectory and partition below it, each under its title when
// `withTitles`), the end of the text and the footer, written once. Appended
// to an open stream there is neither header, footer nor title. The document
// is built in memory; a failure leaves no file, sets the image's last error
// (4, 5 or 19 when nothing was drawn) and returns false.
bool convertListing(Converter& converter, Disk& disk, const listing_output_t& out, bool recursive,
                    std::span<const std::uint32_t> selection, bool withTitles);

}  // namespace platter
