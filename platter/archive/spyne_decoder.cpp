#include <algorithm>

#include "platter/archive/archive_damage.hpp"
#include "platter/archive/archive_decoder.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

// The directory starts in block 15 (of 254 bytes): records laid out as
// directory entries without their link bytes, eight to a block, 32 bytes
// apart. The data follow from the next block, each file in whole blocks.
constexpr std::size_t kMinArchive = 17 * 254;
constexpr std::size_t kBlockData = 254;
constexpr std::size_t kDirectoryAt = 15 * kBlockData;
constexpr std::size_t kRecordSize = 30;
constexpr std::size_t kRecordSpacing = 32;
constexpr std::size_t kRecordsPerBlock = 8;
// Record fields.
constexpr std::size_t kType = 0;
constexpr std::size_t kName = 3;
constexpr std::size_t kNameSize = 16;
constexpr std::size_t kChecksum = 23;
constexpr std::size_t kLastBlockBytes = 25;
constexpr std::size_t kMoreFollow = 26;
constexpr std::size_t kBlocks = 28;
constexpr std::uint8_t kMoreMark = 0xFF;
constexpr std::uint8_t kUsr = 3;

std::size_t recordOffset(std::size_t index) {
    return kDirectoryAt + index / kRecordsPerBlock * kBlockData + index % kRecordsPerBlock * kRecordSpacing;
}

std::uint16_t dataChecksum(std::span<const std::uint8_t> data) {
    std::uint32_t sum = 0;
    for (std::uint8_t b : data) sum += b;
    return static_cast<std::uint16_t>(sum);
}

}  // namespace

import_result_t ArchiveDecoder::decodeSpyne() {
    if (input_.size() < kMinArchive || (input_[0] == 167 && input_[1] != 2)) return import_result_t::damaged;

    // The records up to the first without the "another follows" mark; a mark that leads past
    // the archive, or to a record of zeros, promises a file the directory does not hold.
    std::size_t count = 0;
    for (bool more = true; more; ++count) {
        if (recordOffset(count) + kRecordSize > input_.size()) {
            lost("the directory runs past the end of the archive");
            break;
        }
        const std::span<const std::uint8_t> record = input_.subspan(recordOffset(count), kRecordSize);
        if (count > 0 && std::all_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0; })) {
            const std::span<const std::uint8_t> last = input_.subspan(recordOffset(count - 1) + kName, kNameSize);
            lost("the directory says a file follows " + quotedName(last) + ", but holds none");
            break;
        }
        more = record[kMoreFollow] == kMoreMark;
    }
    const std::size_t lastBlock = (count - 1) / kRecordsPerBlock;
    std::size_t dataAt = kDirectoryAt + (lastBlock + 1) * kBlockData;

    for (std::size_t index = 0; index < count; ++index) {
        const std::span<const std::uint8_t> record = input_.subspan(recordOffset(index), kRecordSize);
        const std::ptrdiff_t blocks = record[kBlocks] | (record[kBlocks + 1] << 8);
        const std::ptrdiff_t length =
            blocks == 0 ? 0 : (blocks - 1) * std::ptrdiff_t{kBlockData} + record[kLastBlockBytes] - 1;
        if (length < 0) return import_result_t::damaged;

        // Data cut by the end of the archive are stored as far as they go.
        const std::size_t start = std::min(dataAt, input_.size());
        const std::size_t taken = std::min(static_cast<std::size_t>(length), input_.size() - start);
        archive_entry_t entry;
        std::copy_n(record.begin() + kName, entry.name.size(), entry.name.begin());
        const auto type = static_cast<std::uint8_t>((record[kType] & 4) != 0 ? kUsr : record[kType] & 7);
        entry.setType(type | archive_entry_t::kClosed, 0);
        entry.data = input_.subspan(start, taken);
        const auto checksum = static_cast<std::uint16_t>(record[kChecksum] | (record[kChecksum + 1] << 8));
        if (taken < static_cast<std::size_t>(length))
            entry.loss = entry_loss_t{entry_loss_t::cause::archiveEnds, static_cast<std::uint64_t>(length)};
        else if (dataChecksum(entry.data) != checksum)
            failedCheck(entry.name);
        if (!store(entry)) return status_.result();
        dataAt += (static_cast<std::size_t>(length) + kBlockData - 1) / kBlockData * kBlockData;
    }
    if (dataAt < input_.size() && !isPadding(input_.subspan(dataAt))) lost(leftOverText(input_.size() - dataAt));
    return status_.result();
}

}  // namespace platter
