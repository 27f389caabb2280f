#include "platter/formats/gcr_track_table.hpp"

#include <algorithm>

namespace platter {

namespace {

constexpr std::size_t kG64CountAt = 9;
constexpr std::size_t kG64OffsetsAt = 12;
constexpr std::size_t kNibRecordsAt = 16;
constexpr std::size_t kNibDumpsAt = 256;

std::uint64_t readLe(std::span<const std::uint8_t> file, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | file[at + i];
    return value;
}

}  // namespace

std::vector<gcr_entry_t> listG64Tracks(const gcr_file_t& file) {
    std::vector<gcr_entry_t> entries;
    // The count and as much of the longest table (255 offsets) as the file holds.
    const std::span<const std::uint8_t> table =
        file.bytes(0, std::min<std::uint64_t>(file.size, kG64OffsetsAt + 4 * 255));
    if (table.size() <= kG64CountAt) return entries;
    const std::size_t count = table[kG64CountAt];
    for (std::size_t i = 0; i < count; i += 2) {
        const std::uint64_t track = i / 2 + 1;
        const std::size_t slot = kG64OffsetsAt + 4 * i;
        if (slot + 4 > table.size()) break;
        const std::uint64_t offset = readLe(table, slot, 4);
        if (offset == 0) continue;
        const std::span<const std::uint8_t> lengthBytes = file.bytes(offset, 2);
        const std::uint64_t length = lengthBytes.empty() ? 0 : readLe(lengthBytes, 0, 2);
        if (lengthBytes.empty() || offset + 2 + length > file.size)
            entries.push_back({0, 0, track, false, true});
        else if (length >= kGcrMinimumTrackBytes)
            entries.push_back({offset + 2, length, track, false});
    }
    return entries;
}

std::vector<gcr_entry_t> listNibTracks(const gcr_file_t& file) {
    std::vector<gcr_entry_t> entries;
    const std::span<const std::uint8_t> records = file.bytes(0, std::min<std::uint64_t>(file.size, kNibDumpsAt));
    for (std::size_t i = 0;; ++i) {
        const std::size_t record = kNibRecordsAt + 2 * i;
        if (record >= kNibDumpsAt || record >= records.size() || records[record] == 0) break;
        const std::uint64_t offset = kNibDumpsAt + kNibTrackBytes * i;
        const std::uint8_t halfTrackNumber = records[record];
        const bool cut = offset + kNibTrackBytes > file.size;
        entries.push_back(
            {cut ? 0 : offset, cut ? 0 : kNibTrackBytes, halfTrackNumber / 2u, (halfTrackNumber & 1) != 0, cut});
    }
    return entries;
}

}  // namespace platter
