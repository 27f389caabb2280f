#include "platter/archive/zipcode_writer.hpp"

#include <optional>
#include <span>

#include "platter/archive/zipcode_block.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/zipcode_part.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kTracks35 = 35;
constexpr std::uint64_t kTracks40 = 40;
constexpr std::uint8_t kFirstPartStart[] = {0xFE, 0x03, 'S', '.'};
constexpr std::uint8_t kLaterPartStart[] = {0x00, 0x04};

std::size_t partOfTrack(std::uint64_t track) {
    std::size_t part = 0;
    while (track >= kZipcodePartFirstTrack[part + 1]) ++part;
    return part;
}

}  // namespace

std::vector<std::uint8_t> zipcodeSectorOrder(std::uint64_t sectors) {
    const std::uint64_t forward = (sectors + 1) / 2;
    std::vector<std::uint8_t> order(sectors);
    for (std::uint64_t i = 0; i < sectors; ++i) order[i] = static_cast<std::uint8_t>(i / 2 + (i % 2 ? forward : 0));
    return order;
}

bool writeZipcode(std::vector<std::vector<std::uint8_t>>& parts, const Disk& disk, std::uint64_t& tracks,
                  const zipcode_zero_fill& zeroFill, bool perBlockMarker) {
    parts.clear();
    tracks = tracks >= kTracks40 && disk.trackCount() >= kTracks40 ? kTracks40 : kTracks35;

    // Every block is packed before any marker is chosen: the markers across
    // the disk depend on all of them.
    std::vector<zipcode_record_t> records;
    std::vector<std::size_t> firstRecord(tracks + 2);
    for (std::uint64_t track = 1; track <= tracks; ++track) {
        firstRecord[track] = records.size();
        const std::uint64_t sectors = disk.maxSector(track) + 1;
        for (std::uint64_t sector = 0; sector < sectors; ++sector) {
            const track_sector_t block = makeBlock(track, sector);
            const std::span<const std::uint8_t> data = disk.blockBytes(block);
            if (data.size() != Disk::kBlockSize) return false;
            if (zeroFill && zeroFill(block))
                records.emplace_back();
            else
                records.push_back(packZipcodeBlock(data.first<256>()));
        }
    }
    firstRecord[tracks + 1] = records.size();

    std::optional<ZipcodeMarkerOrder> markers;
    if (!perBlockMarker) markers.emplace(records);
    parts.resize(partOfTrack(tracks) + 1);
    parts[0].assign(std::begin(kFirstPartStart), std::end(kFirstPartStart));
    for (std::size_t part = 1; part < parts.size(); ++part)
        parts[part].assign(std::begin(kLaterPartStart), std::end(kLaterPartStart));
    for (std::uint64_t track = 1; track <= tracks; ++track) {
        std::vector<std::uint8_t>& out = parts[partOfTrack(track)];
        for (const std::uint8_t sector : zipcodeSectorOrder(firstRecord[track + 1] - firstRecord[track])) {
            const zipcode_record_t& record = records[firstRecord[track] + sector];
            const std::uint8_t marker = record.mode != zipcode_mode::Runs ? 0
                                        : markers                         ? markers->markerFor(record.present)
                                                                          : lowestUnusedByte(record.present);
            appendZipcodeRecord(out, record, static_cast<std::uint8_t>(track), sector, marker);
        }
    }
    return true;
}

}  // namespace platter
