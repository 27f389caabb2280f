#include <algorithm>
#include <array>
#include <string_view>

#include "platter/core/disk.hpp"

namespace platter {

namespace {

// A GEOS Convert file: the directory entry (bytes 2-31 of it) at 0, the signature after the
// structure name, the info block at 254, then the data of a sequential file, or the VLIR
// record table at 508 and the records in whole blocks from 762.
constexpr std::size_t kSignatureAt = 33;
constexpr std::string_view kSignature = " formatted GEOS file";
constexpr std::size_t kEntryBytes = 30;
constexpr std::size_t kStructureAt = 21;  // entry byte 23
constexpr std::size_t kBlockData = 254;
constexpr std::size_t kInfoAt = kBlockData;
constexpr std::size_t kTableAt = 2 * kBlockData;
constexpr std::size_t kRecordsAt = 3 * kBlockData;

std::uint64_t blocksFor(std::uint64_t bytes) { return (bytes + kBlockData - 1) / kBlockData; }

void setBlock(dir_entry_t& entry, std::size_t at, const track_sector_t& block) {
    entry.bytes[at] = static_cast<std::uint8_t>(block.track);
    entry.bytes[at + 1] = static_cast<std::uint8_t>(block.sector);
}

}  // namespace

bool Disk::importCvt(std::span<const std::uint8_t> data, std::int64_t position, convert_record_gaps_t* gaps) {
    lastError_ = kErrNone;
    if (gaps) *gaps = {};
    const auto damaged = [this] {
        if (lastError_ == kErrNone) lastError_ = kErrImportFailed;
        return false;
    };
    if (data.size() < kTableAt || !std::equal(kSignature.begin(), kSignature.end(), data.begin() + kSignatureAt)) {
        return damaged();
    }
    const bool vlir = data[kStructureAt] != 0;
    // A VLIR file must hold its whole record table.
    if (vlir && data.size() < kRecordsAt) return damaged();

    UndoGroup group(*this);
    dir_entry_t entry;
    std::copy_n(data.begin(), kEntryBytes, entry.bytes.begin() + 2);
    entry.setStoredType(data[0]);
    track_sector_t block{};
    if (!writeChain(data.subspan(kInfoAt, kBlockData), block)) return damaged();
    setBlock(entry, 21, block);
    std::uint64_t blocks = 1;
    convert_record_gaps_t found;

    if (!vlir) {
        block = {};
        if (data.size() > kTableAt && !writeChain(data.subspan(kTableAt), block)) return damaged();
        blocks += blocksFor(data.size() - kTableAt);
    } else {
        const std::span<const std::uint8_t> table = data.subspan(kTableAt, kBlockData);
        std::array<std::uint8_t, kBlockData> index{};
        std::size_t offset = kRecordsAt;
        for (std::size_t p = 0; p + 1 < kBlockData; p += 2) {
            const std::size_t count = table[p];
            const std::size_t last = table[p + 1];
            if (count <= 1 && last == 0) break;
            // A last-block byte of 0 or 1 gives the last block no bytes: a record of one block
            // is empty (and still takes its block), one of more has no size, and keeps them all.
            const bool unsized = count > 1 && last < 2;
            if (unsized) found.unsized.push_back({p / 2, static_cast<std::uint8_t>(last), count});
            const std::size_t length =
                count == 0 ? 0 : (unsized ? count * kBlockData : (count - 1) * kBlockData + last - 1);
            const std::size_t start = offset;
            // Records follow one another on whole blocks; a pair (1, 1) still takes its block.
            offset += count * kBlockData;
            const std::size_t held = start < data.size() ? std::min(length, data.size() - start) : 0;
            if (held < length) {
                if (found.missing == 0) found.firstCut = p / 2;
                found.lastCut = p / 2;
                found.missing += length - held;
            }
            if (held == 0) {
                index[p + 1] = 0xff;  // a record without data
                continue;
            }
            if (!writeChain(data.subspan(start, held), block)) return damaged();
            index[p] = static_cast<std::uint8_t>(block.track);
            index[p + 1] = static_cast<std::uint8_t>(block.sector);
            blocks += blocksFor(held);
        }
        if (data.size() > offset) found.leftOver = data.size() - offset;
        if (!writeChain(index, block)) return damaged();
        ++blocks;
    }
    setBlock(entry, 3, block);
    entry.setBlockCount(static_cast<std::uint16_t>(std::min<std::uint64_t>(blocks, 0xffff)));
    if (!insertEntry(position, entry)) return damaged();
    group.commit("Insert File");
    if (gaps) *gaps = found;
    return true;
}

}  // namespace platter
