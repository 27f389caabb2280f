#include "platter/formats/gcr_track_table.hpp"

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

std::vector<gcr_entry_t> listG64Tracks(std::span<const std::uint8_t> file) {
    std::vector<gcr_entry_t> entries;
    if (file.size() <= kG64CountAt) return entries;
    const std::size_t count = file[kG64CountAt];
    for (std::size_t i = 0; i < count; i += 2) {
        const std::uint64_t track = i / 2 + 1;
        const std::size_t slot = kG64OffsetsAt + 4 * i;
        if (slot + 4 > file.size()) break;
        const std::uint64_t offset = readLe(file, slot, 4);
        if (offset == 0) continue;
        const bool lengthInFile = offset + 2 <= file.size();
        const std::uint64_t length = lengthInFile ? readLe(file, static_cast<std::size_t>(offset), 2) : 0;
        if (!lengthInFile || offset + 2 + length > file.size())
            entries.push_back({0, 0, track, false, true});
        else if (length >= kGcrMinimumTrackBytes)
            entries.push_back({offset + 2, length, track, false});
    }
    return entries;
}

std::vector<gcr_entry_t> listNibTracks(std::span<const std::uint8_t> file) {
    std::vector<gcr_entry_t> entries;
    for (std::size_t i = 0;; ++i) {
        const std::size_t record = kNibRecordsAt + 2 * i;
        if (record >= kNibDumpsAt || record >= file.size() || file[record] == 0) break;
        const std::uint64_t offset = kNibDumpsAt + kNibTrackBytes * i;
        const std::uint8_t halfTrackNumber = file[record];
        const bool cut = offset + kNibTrackBytes > file.size();
        entries.push_back(
            {cut ? 0 : offset, cut ? 0 : kNibTrackBytes, halfTrackNumber / 2u, (halfTrackNumber & 1) != 0, cut});
    }
    return entries;
}

}  // namespace platter
