#pragma once
// Why the area an entry reserves (a partition's run of blocks, a subdirectory's header block)
// is not an area of its image that its kind can use.

namespace platter {

enum class block_range_fault {
    none,
    outsideImage,       // its first block is none of the image's blocks
    pastEnd,            // it runs past the image's last track or the end of its bytes
    directoryTrack,     // it covers the track of the directory it is listed in
    systemArea,         // it covers blocks the image keeps for itself (a CMD image's system area)
    smallerThanKind,    // it holds fewer bytes than an image of its kind needs
    noHeader,           // it does not start with the header or BAM of an image of its kind
    overlapsPartition,  // it shares blocks with another partition of the table
    notWholeTracks,     // it starts or ends inside a track, where its kind takes whole tracks
    headerOutside,      // a subdirectory's header block is none of the image's blocks
    enclosingHeader,    // a subdirectory's header block is that of a directory enclosing it
    directoryOutside,   // a subdirectory's first directory block lies outside the partition holding it
    enclosingStart,     // a subdirectory's first directory block starts a directory enclosing it
};

}  // namespace platter
