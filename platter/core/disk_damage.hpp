#pragma once
// Everything a container knows is wrong with it, in one report: what its file lacks, what
// its opener could not fill, how the walk of its directory ended, and what its kind says in
// its own words. Whether it may be written back is answered here, once.

#include <cstdint>
#include <string>
#include <vector>

#include "platter/core/chain_walk.hpp"

namespace platter {

// The chain a container's listing walks.
enum class directory_kind : std::uint8_t {
    directory,       // a directory chain of CBM blocks, or the kind's own directory
    partitionTable,  // a table of partitions
};

struct disk_damage_t {
    bool sizeUnknown = false;    // a size its kind does not know
    bool missesBlocks = false;   // blocks its file ends before: a cut image
    bool incomplete = false;     // blocks its opener could not fill (a zipcode part missing)
    bool sourceChanged = false;  // the host file lost bytes it had while it was read
    bool areaFaults = false;     // an entry reserves an area its kind cannot use (told where it is listed)
    directory_kind directoryKind = directory_kind::directory;
    chain_stop_t directory;          // how the walk of the current directory ended
    std::vector<std::string> notes;  // what its kind and its opener say of it in their own words

    bool whole() const {
        return !sizeUnknown && !missesBlocks && !incomplete && !sourceChanged && !areaFaults && directory.whole() &&
               notes.empty();
    }
    // Only a whole image is written back: a save would write what is missing as if it were
    // not, a cut image shorter, and one of an unknown size reshaped.
    bool maySave() const { return whole(); }
};

}  // namespace platter
