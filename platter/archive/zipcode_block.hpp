#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace platter {

// The byte values that occur in one block, as a 256-bit set.
class byte_set_t {
public:
    void add(std::uint8_t value) { bits_[value >> 6] |= std::uint64_t{1} << (value & 63); }
    bool contains(std::uint8_t value) const { return (bits_[value >> 6] >> (value & 63)) & 1; }

private:
    std::array<std::uint64_t, 4> bits_{};
};

// How a zipcode record stores its block; the value is the mode in bits 6-7 of
// the record's track byte.
enum class zipcode_mode : std::uint8_t { Stored = 0x00, Fill = 0x40, Runs = 0x80 };

// One block packed for a four/five-part zipcode set: the block itself
// (stored), its one byte value (fill), or literals and run tokens (runs). A
// run-length record keeps its marker open until every block of the disk is
// known; `markerAt` lists the places in `packed` where the marker goes.
struct zipcode_record_t {
    zipcode_mode mode = zipcode_mode::Fill;
    std::uint8_t fill = 0;
    std::vector<std::uint8_t> packed;
    std::vector<std::uint8_t> markerAt;
    byte_set_t present;
};

// Packs one block: a fill record when every byte is equal; a run-length record
// when it has a run of four or more equal bytes and packs below 254 bytes;
// else the block is stored.
zipcode_record_t packZipcodeBlock(std::span<const std::uint8_t, 256> block);

// The lowest byte value that does not occur in a block: the marker the
// original zipcode uses.
std::uint8_t lowestUnusedByte(const byte_set_t& present);

// Markers chosen across a disk: byte values ordered by the number of
// run-length records they occur in, rarest first, equal counts lower value first.
class ZipcodeMarkerOrder {
public:
    explicit ZipcodeMarkerOrder(std::span<const zipcode_record_t> records);
    // The first value of the order that does not occur in the block.
    std::uint8_t markerFor(const byte_set_t& present) const;

private:
    std::array<std::uint8_t, 256> order_{};
};

// Appends the record as the part files hold it: track byte with the mode in
// bits 6-7, sector, then the record's bytes; `marker` is used by run-length
// records only.
void appendZipcodeRecord(std::vector<std::uint8_t>& out, const zipcode_record_t& record, std::uint8_t track,
                         std::uint8_t sector, std::uint8_t marker);

}  // namespace platter
