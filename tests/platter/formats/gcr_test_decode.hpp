#pragma once
// Test side: the decoder used the way the image classes use it, and G64s built from a D64
// with one track replaced.

#include <cstdint>
#include <map>

#include "platter/formats/gcr_decoder.hpp"
#include "tests/platter/formats/gcr_test_encoder.hpp"

namespace platter::testing {

inline constexpr std::size_t kBlocks35 = 683;

inline gcr_bytes_t decode(const gcr_bytes_t& file, bool nib, bool fastFirst = true) {
    GcrDecoder decoder;
    decoder.setFastFirst(fastFirst);
    if (nib)
        decoder.loadNib(file);
    else
        decoder.loadG64(file);
    decoder.decodeAllTracks();
    return decoder.takeImage();
}

// A sector as the 1541 formats it: 0x4B, then 255 bytes 0x01.
inline gcr_bytes_t formatPatternBlock() {
    gcr_bytes_t block(256, 0x01);
    block[0] = 0x4B;
    return block;
}

// The G64 of `d64` with track `track` replaced.
inline gcr_bytes_t g64WithTrack(const gcr_bytes_t& d64, std::uint64_t track, const gcr_bytes_t& bytes) {
    std::map<std::size_t, gcr_bytes_t> entries;
    for (std::uint64_t t = 1; t <= 35; ++t) entries[2 * (t - 1)] = t == track ? bytes : encodeTrack(d64, t);
    return makeG64(entries);
}

// Two turns of `track`: the first laid out as `first` says, the second clean, so that a good
// copy of every sector follows its damaged one.
inline gcr_bytes_t twoTurnsOf(const gcr_bytes_t& d64, std::uint64_t track, const track_layout_t& first) {
    gcr_bytes_t turns = encodeTrack(d64, track, first);
    const gcr_bytes_t clean = encodeTrack(d64, track);
    turns.insert(turns.end(), clean.begin(), clean.end());
    return turns;
}

}  // namespace platter::testing
