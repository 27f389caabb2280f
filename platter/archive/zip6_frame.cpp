#include "platter/archive/zip6_frame.hpp"

#include <algorithm>
#include <string_view>

namespace platter {
namespace {

void putLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Bytes of one 1541 track in a G64 and its speed zone.
struct g64_zone_t {
    std::uint32_t trackBytes;
    std::uint32_t speed;
};

g64_zone_t zoneOfTrack(std::uint32_t track) {
    if (track <= 17) return {7692, 3};
    if (track <= 24) return {7142, 2};
    if (track <= 30) return {6666, 1};
    return {6250, 0};
}

}  // namespace

bool writeZip6Frame(const std::vector<std::vector<std::uint8_t>>& parts, std::vector<std::uint8_t>& out) {
    constexpr std::uint32_t kTracks = 42;
    constexpr std::uint32_t kFirstTrackOffset = 684;
    if (parts.size() != 6) return false;
    const std::vector<std::uint8_t>& first = parts[0];
    if (first.size() < 8 || first[0] != 0xFF || first[1] != 0x03) return false;
    // The first part file names N; tracks 1 to N - 1 carry data, never more than the table holds.
    const std::uint32_t dataTracks = first[2] == 0 ? 0 : std::min<std::uint32_t>(first[2] - 1u, kTracks);

    static constexpr std::string_view kSignature = "GCR-1541";
    out.insert(out.end(), kSignature.begin(), kSignature.end());
    out.insert(out.end(), {0, 84, 0x0C, 0x1E});

    std::uint32_t offset = kFirstTrackOffset;
    for (std::uint32_t track = 1; track <= kTracks; ++track) {
        putLe32(out, track <= dataTracks ? offset : 0);
        putLe32(out, 0);
        offset += zoneOfTrack(track).trackBytes + 2;
    }
    for (std::uint32_t track = 1; track <= kTracks; ++track) {
        putLe32(out, track <= dataTracks ? zoneOfTrack(track).speed : 0);
        putLe32(out, 0);
    }
    return true;
}

}  // namespace platter
