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

// Appends the G64 tracks of one part (1-6) of a six-part GCR zipcode set.
// `part` starts at the track-count byte that follows the load address. Each
// track is written at its nominal G64 length, sectors in order, a sector
// without a usable header without one, a sector without data without data.
// False when the part ends inside a track it announces; the G64 then holds
// the tracks before it.
bool unpackZip6Part(unsigned partNumber, std::span<const std::uint8_t> part, std::vector<std::uint8_t>& g64);

// Builds the G64 image of a six-part set from its part files. Returns 0 once
// built, else the number (1-6) of the first part that does not fit the set:
// not starting with the zip6 load address, a track count other than part 1's,
// or too short for its tracks. `g64` is then incomplete.
std::size_t zip6ToG64(std::span<const std::vector<std::uint8_t>, 6> parts, std::vector<std::uint8_t>& g64);

}  // namespace platter
