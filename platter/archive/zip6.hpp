#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace platter {

// Decodes the first five GCR bytes of a sector header into its first four
// bytes (block marker, checksum, sector, track); an invalid 5-bit code gives
// 0xFF for its byte.
std::array<std::uint8_t, 4> decodeGcrHeader(std::span<const std::uint8_t, 5> gcr);

// The tracks one part of a six-part set announces, and how many of them it holds whole.
struct zip6_part_tracks_t {
    std::uint64_t announced = 0;
    std::uint64_t written = 0;

    bool cutShort() const { return written < announced; }
};

// Appends the G64 tracks of one part (1-6) of a six-part GCR zipcode set.
// `part` starts at the track-count byte that follows the load address. Each
// track is written at its nominal G64 length, sectors in order, a sector
// without a usable header without one, a sector without data without data.
// The part ends at the first track it does not hold whole: that track and those
// after it are not written.
zip6_part_tracks_t unpackZip6Part(unsigned partNumber, std::span<const std::uint8_t> part,
                                  std::vector<std::uint8_t>& g64);

// What building a six-part set's G64 gave, part by part.
struct zip6_unpacked_t {
    // The first part (1-6) that is no part of the set: not starting with the zip6 load
    // address, or with a track count other than the first present part's; 0 for none.
    std::size_t misfit = 0;
    std::array<zip6_part_tracks_t, 6> parts{};  // nothing for a missing part
};

// Builds the G64 image of a six-part set from its part files, an empty file standing for a
// missing part. A track that a part misses, or that no part holds, is left out (offset 0 in
// the table), so that it reads as a track without data. With a misfit `g64` holds no image.
zip6_unpacked_t zip6ToG64(std::span<const std::vector<std::uint8_t>, 6> parts, std::vector<std::uint8_t>& g64);

}  // namespace platter
