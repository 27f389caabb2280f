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

// A block of the header or BAM whose error byte records a read the drive could not make.
struct recorded_error_t {
    track_sector_t block;
    std::uint8_t code = 0;  // the error byte
    bool header = false;    // the header block (else one of the BAM)
};

struct disk_damage_t {
    bool sizeUnknown = false;    // a size its kind does not know
    bool missesBlocks = false;   // blocks its file ends before: a cut image
    bool incomplete = false;     // blocks its opener could not fill (a zipcode part missing)
    bool sourceChanged = false;  // the host file lost bytes it had while it was read
    bool areaFaults = false;     // an entry reserves an area its kind cannot use (told where it is listed)
    directory_kind directoryKind = directory_kind::directory;
    chain_stop_t directory;          // how the walk of the current directory ended
    // The walk ended at a block whose error byte records a failed read.
    bool directoryAtRecordedError = false;
    std::vector<recorded_error_t> unreadHeaderBlocks;  // told, but kept by a save
    std::vector<std::string> notes;  // what its kind and its opener say of it in their own words

    bool whole() const { return maySave() && directory.whole() && unreadHeaderBlocks.empty(); }
    // Only an image that holds all its blocks is written back: a save would write what is
    // missing as if it were not, a cut image shorter, and one of an unknown size reshaped.
    // Blocks its own error bytes mark unread are its content, which a save keeps.
    bool maySave() const {
        return !sizeUnknown && !missesBlocks && !incomplete && !sourceChanged && !areaFaults && notes.empty() &&
               (directory.whole() || directoryAtRecordedError);
    }
};

}  // namespace platter
