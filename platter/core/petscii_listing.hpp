#pragma once

#include <cstdint>
#include <vector>

#include "platter/petscii/charset.hpp"

namespace platter {

class Disk;

// The directory listing as the machine's own LIST prints it, as PETSCII:
// a case switch for the lower/upper-case set, the header with name and id
// reversed, a line per entry (control codes in names shown reversed) and the
// blocks-free line where the kind has one. The lines are those of ls;
// `includeEmpty` adds the scratched entries, as ls -A does. The image's own
// setting is left as it was.
std::vector<std::uint8_t> buildPetsciiListing(Disk& disk, Charset charset, bool includeEmpty);

}  // namespace platter
