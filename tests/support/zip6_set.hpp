#pragma once
// Test support: six-part GCR zipcode sets built the way the format stores a disk's raw
// tracks, and the tracks of a G64 read back.

#include <array>
#include <functional>
#include <vector>

#include "tests/support/files.hpp"

namespace test_support {

using zip6_set_t = std::array<bytes_t, 6>;

unsigned zip6SectorsOf(unsigned track);

// What a set stores of one track.
struct zip6_track_t {
    std::vector<bytes_t> headers;  // 10 GCR bytes each, in header-area order
    std::vector<bytes_t> data;     // 326 GCR bytes each, by sector
    std::size_t count = 0;         // the header area's count byte
};
using zip6_source_t = std::function<zip6_track_t(unsigned track)>;

// The parts of a set of `tracks` tracks: each track a header area, then as many data
// blocks as its count says (at most 25) in the set's interleave order.
zip6_set_t makeZip6Set(unsigned tracks, const zip6_source_t& source);

// A track's bytes in a G64, and what follows each of its syncs (two or more 0xFF): a
// header's 10 bytes or a data block's 326.
bytes_t g64Track(const bytes_t& g64, unsigned track);
std::vector<bytes_t> blocksAfterSyncs(const bytes_t& track);

// The set a zip6 tool would make of a G64 holding one header and one data block per sector.
zip6_set_t zip6SetOfG64(const bytes_t& g64, unsigned tracks);

}  // namespace test_support
