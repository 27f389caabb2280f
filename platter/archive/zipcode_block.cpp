#include "platter/archive/zipcode_block.hpp"

#include <algorithm>
#include <numeric>

namespace platter {

namespace {

// Runs shorter than this stay literal bytes: a token takes three.
constexpr std::size_t kMinRun = 4;
// A run-length record holds fewer packed bytes than this, else the block is stored.
constexpr std::size_t kMaxPacked = 254;

}  // namespace

zipcode_record_t packZipcodeBlock(std::span<const std::uint8_t, 256> block) {
    zipcode_record_t record;
    if (std::all_of(block.begin(), block.end(), [&](std::uint8_t b) { return b == block[0]; })) {
        record.fill = block[0];
        return record;
    }
    record.packed.reserve(kMaxPacked);
    for (std::size_t at = 0; at < block.size();) {
        const std::uint8_t value = block[at];
        std::size_t run = 1;
        while (at + run < block.size() && block[at + run] == value) ++run;
        record.present.add(value);
        if (run >= kMinRun) {
            // Below 256: a block of one value was a fill record.
            record.markerAt.push_back(static_cast<std::uint8_t>(record.packed.size()));
            record.packed.insert(record.packed.end(), {0, static_cast<std::uint8_t>(run), value});
        } else {
            record.packed.insert(record.packed.end(), run, value);
        }
        at += run;
        if (record.packed.size() >= kMaxPacked) break;
    }
    if (record.markerAt.empty() || record.packed.size() >= kMaxPacked) {
        record.mode = zipcode_mode::Stored;
        record.packed.assign(block.begin(), block.end());
        record.markerAt.clear();
        return record;
    }
    record.mode = zipcode_mode::Runs;
    return record;
}

std::uint8_t lowestUnusedByte(const byte_set_t& present) {
    for (unsigned value = 0; value < 256; ++value) {
        if (!present.contains(static_cast<std::uint8_t>(value))) return static_cast<std::uint8_t>(value);
    }
    return 0;
}

ZipcodeMarkerOrder::ZipcodeMarkerOrder(std::span<const zipcode_record_t> records) {
    std::array<std::uint32_t, 256> count{};
    for (const zipcode_record_t& record : records) {
        if (record.mode != zipcode_mode::Runs) continue;
        for (unsigned value = 0; value < 256; ++value) {
            if (record.present.contains(static_cast<std::uint8_t>(value))) ++count[value];
        }
    }
    std::iota(order_.begin(), order_.end(), std::uint8_t{0});
    std::stable_sort(order_.begin(), order_.end(), [&](std::uint8_t a, std::uint8_t b) { return count[a] < count[b]; });
}

std::uint8_t ZipcodeMarkerOrder::markerFor(const byte_set_t& present) const {
    for (const std::uint8_t value : order_) {
        if (!present.contains(value)) return value;
    }
    return 0;
}

void appendZipcodeRecord(std::vector<std::uint8_t>& out, const zipcode_record_t& record, std::uint8_t track,
                         std::uint8_t sector, std::uint8_t marker) {
    out.push_back(static_cast<std::uint8_t>(track | static_cast<std::uint8_t>(record.mode)));
    out.push_back(sector);
    switch (record.mode) {
        case zipcode_mode::Fill: out.push_back(record.fill); return;
        case zipcode_mode::Stored: break;
        case zipcode_mode::Runs:
            out.push_back(static_cast<std::uint8_t>(record.packed.size()));
            out.push_back(marker);
            break;
    }
    const std::size_t start = out.size();
    out.insert(out.end(), record.packed.begin(), record.packed.end());
    for (const std::uint8_t at : record.markerAt) out[start + at] = marker;
}

}  // namespace platter
