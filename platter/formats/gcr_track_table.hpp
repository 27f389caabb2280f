#pragma once
// The track tables of the two raw-track file kinds, read with every offset and
// length checked against the file: a dump the table lists but the file ends
// before (a file cut short) is listed as cut, with no bytes. Of the file they
// read the table and each dump's length only.

#include <cstdint>
#include <span>
#include <vector>

#include "platter/formats/gcr_file.hpp"

namespace platter {

// One track dump a raw image lists.
struct gcr_entry_t {
    std::uint64_t offset = 0;  // of the dump's first byte in the file
    std::uint64_t length = 0;
    std::uint64_t track = 0;  // the track the table places it on
    bool halfTrack = false;
    // The dump lies, at least in part, past the end of the file: offset and length are 0.
    bool cut = false;
};

// Shorter dumps cannot hold a single sector header.
inline constexpr std::uint64_t kGcrMinimumTrackBytes = 10;
inline constexpr std::uint64_t kNibTrackBytes = 8192;

// G64: "GCR-1541", version, entry count N at 9, N u32 offsets from 12 (entry
// 2k is track k + 1, entry 2k + 1 its half track; 0 for a track not
// recorded), each pointing at a u16 length and the track's bytes. Half tracks
// are left out, and so are tracks too short to hold a header.
std::vector<gcr_entry_t> listG64Tracks(const gcr_file_t& file);

// NIB: "MNIB-1541-RAW", records of (half-track number, density) from byte 16
// until a 0 or byte 256, one 8192-byte dump per record from byte 256.
std::vector<gcr_entry_t> listNibTracks(const gcr_file_t& file);

}  // namespace platter
