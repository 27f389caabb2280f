#pragma once
// What the record table of a GEOS Convert file cannot say of a VLIR file's records: the
// table gives each record one byte for its blocks.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platter {

// The most blocks the record table of a GEOS Convert file can count for one record.
inline constexpr std::uint64_t kConvertRecordBlocks = 255;

// A VLIR record by its place in the record index, and the blocks of its chain.
struct vlir_record_blocks_t {
    std::size_t record = 0;
    std::uint64_t blocks = 0;

    bool operator==(const vlir_record_blocks_t&) const = default;
};

// A record of more than one block whose table pair gives its last block a byte of 0 or 1,
// which says no size: its blocks are kept whole.
struct convert_unsized_record_t {
    std::size_t record = 0;
    std::uint8_t lastByte = 0;
    std::uint64_t blocks = 0;

    bool operator==(const convert_unsized_record_t&) const = default;
};

// How the record table of a GEOS Convert file and the data the file holds disagree: bytes
// after the last record that no record counts, records (`firstCut` to `lastCut`) that
// the file ends before, lacking `missing` bytes between them, and records whose size the
// table does not give.
struct convert_record_gaps_t {
    std::uint64_t leftOver = 0;
    std::uint64_t missing = 0;
    std::size_t firstCut = 0;
    std::size_t lastCut = 0;
    std::vector<convert_unsized_record_t> unsized;

    bool any() const { return leftOver != 0 || missing != 0 || !unsized.empty(); }
};

}  // namespace platter
