#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

class Disk;

// Blocks that zip writes as an empty block (zip -f: free in the BAM and
// reached by neither the directory nor any file).
using zipcode_zero_fill = std::function<bool(const track_sector_t&)>;

// Packs the first `tracks` tracks of a 1541 image into the parts of a zipcode
// set: four parts for 35 tracks, five for 40 (a request for 40 on a shorter
// disk gives 35, stored back into `tracks`). Part 1 carries the ID "S.".
// Without `perBlockMarker` the run-length markers are chosen across the disk.
// False, with `parts` left empty, when a block of those tracks is missing.
bool writeZipcode(std::vector<std::vector<std::uint8_t>>& parts, const Disk& disk, std::uint64_t& tracks,
                  const zipcode_zero_fill& zeroFill, bool perBlockMarker);

// The order in which a track's sectors are recorded: 0, then alternately
// forward by half the track (rounded up) and back by one less.
std::vector<std::uint8_t> zipcodeSectorOrder(std::uint64_t sectors);

}  // namespace platter
