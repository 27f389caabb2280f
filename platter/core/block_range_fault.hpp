#pragma once
// Why a run of blocks that an entry reserves (a 1581 partition's area) is not a run of its
// image's blocks.

namespace platter {

enum class block_range_fault {
    none,
    outsideImage,    // its first block is none of the image's blocks
    pastEnd,         // it runs past the image's last track or the end of its bytes
    directoryTrack,  // it covers the track of the directory it is listed in
};

}  // namespace platter
