#include <algorithm>
#include <array>
#include <bitset>

#include "platter/core/disk.hpp"

namespace platter {

namespace {

// Part 4 holds the most tracks, 26-35.
constexpr std::size_t kMostPartTracks = 10;

enum zip4_mode : std::uint8_t { kStored = 0, kFilled = 1, kRuns = 2, kHeaderOnly = 3 };

// Decodes the N coded bytes of a run-length record: a byte equal to the marker starts
// {marker, count, value}, any other byte is a literal. Stops when the block is full. False for
// a record that is no block: a run that would pass the block's end, or one cut off by the end
// of the coded bytes.
bool decodeRuns(std::span<const std::uint8_t> coded, std::uint8_t marker, std::span<std::uint8_t, 256> block) {
    std::size_t out = 0;
    for (std::size_t at = 0; at < coded.size() && out < block.size();) {
        if (coded[at] != marker) {
            block[out++] = coded[at++];
            continue;
        }
        if (at + 2 >= coded.size()) return false;
        const std::size_t count = coded[at + 1];
        if (out + count > block.size()) return false;
        std::fill_n(block.begin() + static_cast<std::ptrdiff_t>(out), count, coded[at + 2]);
        out += count;
        at += 3;
    }
    return true;
}

}  // namespace

std::optional<zip4_part_gaps_t> Disk::unpackZip4Part(std::span<const std::uint8_t> part, unsigned number) {
    if (!loadsAsZip4Part(part, number)) return std::nullopt;
    if (number == kZipcodeParts) {
        // The decoded blocks are not journalled either: both are the image's contents.
        UndoSuspension quiet(journal_);
        extendDisk(true);
    }
    setModified(true);
    forgetWalks();
    const std::uint64_t firstTrack = kZipcodePartFirstTrack[number - 1];
    const std::uint64_t endTrack = std::min<std::uint64_t>(kZipcodePartFirstTrack[number], trackCount() + 1);
    std::array<std::bitset<256>, kMostPartTracks> reached;
    zip4_part_gaps_t gaps;
    std::size_t at = number == 1 ? 4 : 2;
    // Records of blocks the image lacks decode here.
    std::array<std::uint8_t, kBlockSize> scratch{};
    while (part.size() >= at + 3 && !gaps.cutShort) {
        const std::uint8_t mode = part[at] >> 6;
        const std::uint64_t track = part[at] & 0x3f;
        const std::uint8_t sector = part[at + 1];
        at += 2;
        const track_sector_t block = makeBlock(track, sector);
        const bool own = track >= firstTrack && track < endTrack && sector <= maxSector(track);
        if (!own || reached[track - firstTrack].test(sector)) {
            gaps.stray = own ? zip4_part_gaps_t::stray_record::repeated : zip4_part_gaps_t::stray_record::foreign;
            gaps.strayBlock = block;
            break;
        }
        std::uint8_t* data = blockPointer(block);
        std::span<std::uint8_t, kBlockSize> target(data ? data : scratch.data(), kBlockSize);
        const std::size_t left = part.size() - at;
        bool decodes = true;
        switch (mode) {
            case kStored:
                // A stored record cut short copies nothing; nothing can follow it either.
                gaps.cutShort = left < kBlockSize;
                if (!gaps.cutShort)
                    std::copy_n(part.begin() + static_cast<std::ptrdiff_t>(at), kBlockSize, target.begin());
                at += kBlockSize;
                break;
            case kFilled:
                std::fill(target.begin(), target.end(), part[at]);
                at += 1;
                break;
            case kRuns: {
                const std::size_t coded = part[at];
                // A record whose coded bytes pass the end of the part ends the decoding.
                gaps.cutShort = left < 2 + coded;
                if (gaps.cutShort) break;
                // A record that is no block leaves the block empty, not half written.
                std::array<std::uint8_t, kBlockSize> decoded;
                std::copy(target.begin(), target.end(), decoded.begin());
                decodes = decodeRuns(part.subspan(at + 2, coded), part[at + 1], decoded);
                if (!decodes) decoded.fill(0);
                std::copy(decoded.begin(), decoded.end(), target.begin());
                at += 2 + coded;
                break;
            }
            case kHeaderOnly: break;
        }
        if (gaps.cutShort) continue;
        if (!decodes) gaps.undecodable.push_back(block);
        reached[track - firstTrack].set(sector);
    }
    // One or two bytes after the last record are the start of one more.
    const bool stray = gaps.stray != zip4_part_gaps_t::stray_record::none;
    gaps.cutShort = gaps.cutShort || (!stray && at < part.size());
    for (std::uint64_t track = firstTrack; track < endTrack; ++track) {
        for (std::uint64_t sector = 0; sector <= maxSector(track); ++sector)
            if (!reached[track - firstTrack].test(sector)) gaps.unreached.push_back(makeBlock(track, sector));
    }
    return gaps;
}

}  // namespace platter
