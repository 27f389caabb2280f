#pragma once

#include <set>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

// Moves the addresses of `blocks` not yet in `visited` into it (and onto `out` when given),
// then empties `blocks`: a file's blocks gathered across its chains.
void appendNewBlocks(std::vector<track_sector_t>& blocks, std::vector<track_sector_t>* out,
                     std::set<track_sector_t>& visited);

}  // namespace platter
