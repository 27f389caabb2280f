#pragma once
// The one result of reading an entry's file: its bytes and whether they are all of it.

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "platter/core/block_range_fault.hpp"
#include "platter/core/chain_walk.hpp"
#include "platter/core/convert_records.hpp"
#include "platter/core/last_block_byte.hpp"

namespace platter {

enum class read_outcome : std::uint8_t {
    whole,       // every byte of the file (none for an empty one)
    cutShort,    // the bytes up to where the file stops early
    unreadable,  // nothing: its first block holds no data, or none of the container's
    areaFault,   // nothing: the area it reserves is not the container's (`area` says why)
};

// Takes an entry's bytes in order, a piece at a time, as a streamed read gives them. A sink that
// wants only the first bytes lets the read of an area of the image count the pieces after them
// that the file holds, unread (`DataProvider::holdsRange`): the read's size and outcome stay what
// reading them would give, but for a host read error.
struct entry_sink_t {
    template <class Take>
        requires std::invocable<Take&, std::span<const std::uint8_t>>
    entry_sink_t(Take onPiece, std::uint64_t wantedBytes = UINT64_MAX)
        : take(std::move(onPiece)), wanted(wantedBytes) {}

    std::function<void(std::span<const std::uint8_t>)> take;
    std::uint64_t wanted;
};

struct entry_read_t {
    std::vector<std::uint8_t> bytes;
    // A streamed read: how many bytes went to its sink, which `bytes` does not keep.
    std::uint64_t streamed = 0;
    read_outcome outcome = read_outcome::whole;
    // Cut short: the bytes the entry says its file holds, where it says (a size field).
    std::optional<std::uint64_t> expected;
    // Where a chain of the file stopped, when one did.
    chain_stop_t stop;
    block_range_fault area = block_range_fault::none;
    // The damage is one its container's report names already (a tape entry its file ends
    // inside): no word of its own.
    bool namedByContainer = false;
    // A VLIR file read in the GEOS Convert form: records whose blocks its table counts short.
    std::vector<vlir_record_blocks_t> recordsCountedShort;
    // Cut short: the first chain whose last block says no size, kept whole.
    std::optional<unsized_chain_t> unsized;

    bool whole() const { return outcome == read_outcome::whole; }
    // The bytes read, kept or streamed.
    std::uint64_t size() const { return bytes.size() + streamed; }
    // Keeps a piece of the file, or hands it to `sink` when there is one.
    void take(std::span<const std::uint8_t> piece, const entry_sink_t* sink) {
        if (sink == nullptr) {
            bytes.insert(bytes.end(), piece.begin(), piece.end());
        } else if (!piece.empty()) {
            sink->take(piece);
            streamed += piece.size();
        }
    }
};

// The outcome of a read that gave `bytes` and stopped as `stop` said.
inline read_outcome outcomeOf(const chain_stop_t& stop, bool anyBytes) {
    if (stop.whole()) return read_outcome::whole;
    return anyBytes || !stop.from.isNone() ? read_outcome::cutShort : read_outcome::unreadable;
}

}  // namespace platter
