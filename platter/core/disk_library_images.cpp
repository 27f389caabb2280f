#include "platter/core/disk_library.hpp"

#include <algorithm>
#include <array>

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

void initD81Header(std::span<std::uint8_t, 256> header, std::span<std::uint8_t, 256> bam1,
                   std::span<std::uint8_t, 256> bam2, std::span<std::uint8_t, 256> firstDirectory) {
    header[0] = 40;
    header[1] = 3;
    header[2] = 'D';
    header[3] = 0;
    std::fill(header.begin() + 4, header.begin() + 29, std::uint8_t{0xA0});
    header[25] = '3';
    header[26] = 'D';

    const std::array<std::uint8_t, 7> bamStart1 = {40, 2, 'D', 0xBB, 0xA0, 0xA0, 0xC0};
    const std::array<std::uint8_t, 7> bamStart2 = {0x00, 0xFF, 'D', 0xBB, 0xA0, 0xA0, 0xC0};
    std::copy(bamStart1.begin(), bamStart1.end(), bam1.begin());
    std::copy(bamStart2.begin(), bamStart2.end(), bam2.begin());

    std::fill(firstDirectory.begin(), firstDirectory.end(), std::uint8_t{0});
    firstDirectory[1] = 0xFF;
}

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

bool splitGeoPaint(std::span<const std::uint8_t> unpacked, picture_parts_t& out) {
    constexpr std::size_t kRecord = 1448;
    constexpr std::size_t kBitmap = 1280;
    constexpr std::size_t kColourAt = 1288;
    constexpr std::size_t kColour = 160;
    for (std::size_t at = 0; at < unpacked.size(); at += kRecord) {
        const auto record = unpacked.subspan(at, std::min(kRecord, unpacked.size() - at));
        if (record.size() > kBitmap) out.bitmap.insert(out.bitmap.end(), record.begin(), record.begin() + kBitmap);
        if (record.size() > kColourAt) {
            const auto colour = record.subspan(kColourAt, std::min(kColour, record.size() - kColourAt));
            out.colour.insert(out.colour.end(), colour.begin(), colour.end());
        }
    }
    out.widthCards = 80;
    out.heightCards = 90;
    return true;
}

bool splitPhotoScrap(std::span<const std::uint8_t> scrap, picture_parts_t& out) {
    const auto byteAt = [scrap](std::size_t at) -> std::uint8_t { return at < scrap.size() ? scrap[at] : 0; };
    const std::size_t width = byteAt(0);
    const std::size_t lines = byteAt(1) | (std::size_t{byteAt(2)} << 8);
    const std::size_t bands = (lines + 7) / 8;
    out.bitmap.reserve(out.bitmap.size() + bands * width * 8);
    for (std::size_t band = 0; band < bands; ++band) {
        for (std::size_t column = 0; column < width; ++column) {
            for (std::size_t row = 0; row < 8; ++row) {
                const std::size_t line = band * 8 + row;
                out.bitmap.push_back(line < lines ? byteAt(3 + line * width + column) : 0);
            }
        }
    }
    const std::size_t colourAt = 3 + width * lines;
    if (colourAt < scrap.size()) out.colour.insert(out.colour.end(), scrap.data() + colourAt, scrap.data() + scrap.size());
    out.widthCards = static_cast<std::uint32_t>(width);
    out.heightCards = static_cast<std::uint32_t>(bands);
    return true;
}

}  // namespace platter
