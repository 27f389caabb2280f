#include <algorithm>

#include "platter/archive/archive_decoder.hpp"

namespace platter {

namespace {

// Byte 0 counts the files; 29-byte records follow from offset 1, the data
// from the next 254-byte boundary after them.
constexpr std::size_t kMinArchive = 30;
constexpr std::size_t kRecordSize = 29;
constexpr std::ptrdiff_t kBlockData = 254;
// Record fields.
constexpr std::size_t kType = 0;
constexpr std::size_t kLastBlockBytes = 1;
constexpr std::size_t kName = 2;
constexpr std::size_t kRecordLength = 18;
constexpr std::size_t kDate = 19;
constexpr std::size_t kSideSectorBlocks = 25;
constexpr std::size_t kBlocks = 27;
// The type, locked and closed bits of the type byte.
constexpr std::uint8_t kTypeBits = 0xC7;
constexpr std::size_t kEntryTailDate = 2;  // entry bytes 25-29

}  // namespace

import_result_t ArchiveDecoder::decodeArkive() {
    if (input_.size() < kMinArchive) return import_result_t::damaged;
    const std::size_t files = input_[0];
    if (files == 0) return import_result_t::done;
    const std::size_t directoryEnd = 1 + files * kRecordSize;
    std::size_t dataAt = (files * kRecordSize + kBlockData) / kBlockData * kBlockData;
    if (input_.size() < dataAt) return import_result_t::damaged;

    for (std::size_t at = 1; at < directoryEnd; at += kRecordSize) {
        const std::span<const std::uint8_t> record = input_.subspan(at, kRecordSize);
        const std::ptrdiff_t blocks = record[kBlocks] | (record[kBlocks + 1] << 8);
        const std::ptrdiff_t lastBytes = std::ptrdiff_t{record[kLastBlockBytes]} - 1;
        const std::ptrdiff_t length = blocks == 0 ? lastBytes : (blocks - 1) * kBlockData + lastBytes;
        if (length < 0) return import_result_t::damaged;
        if (input_.size() - dataAt < static_cast<std::size_t>(length)) return import_result_t::damaged;

        archive_entry_t entry;
        std::copy_n(record.begin() + kName, entry.name.size(), entry.name.begin());
        entry.setType(record[kType] & kTypeBits, record[kRecordLength]);
        std::copy_n(record.begin() + kDate, entry.entryTail.size() - kEntryTailDate,
                    entry.entryTail.begin() + kEntryTailDate);
        entry.data = input_.subspan(dataAt, static_cast<std::size_t>(length));
        if (!store(entry)) return status_.result();

        dataAt += static_cast<std::size_t>(blocks * kBlockData);
        // A REL file's side sectors are stored after its data.
        if ((record[kType] & 7) == archive_entry_t::kRel) dataAt += record[kSideSectorBlocks] * std::size_t{254};
        dataAt = std::min(dataAt, input_.size());
    }
    return status_.result();
}

}  // namespace platter
