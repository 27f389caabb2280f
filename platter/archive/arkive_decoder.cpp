#include <algorithm>

#include "platter/archive/archive_damage.hpp"
#include "platter/archive/archive_decoder.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

// Byte 0 counts the files; 29-byte records follow from offset 1, the data
// from the next 254-byte boundary after them.
constexpr std::size_t kMinArchive = 30;
constexpr std::size_t kRecordSize = 29;
constexpr std::size_t kBlockData = 254;
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
    if (input_.size() < directoryEnd) return import_result_t::damaged;
    // Every file the directory lists is stored, with what of its data the archive holds.
    std::size_t dataAt = std::min((files * kRecordSize + kBlockData) / kBlockData * kBlockData, input_.size());
    for (std::size_t at = 1; at < directoryEnd; at += kRecordSize) {
        const std::span<const std::uint8_t> record = input_.subspan(at, kRecordSize);
        const std::size_t blocks = record[kBlocks] | std::size_t{record[kBlocks + 1]} << 8;

        archive_entry_t entry;
        std::copy_n(record.begin() + kName, entry.name.size(), entry.name.begin());
        // The last block's byte counts its bytes plus one; one below 2 says no size, and the
        // blocks are kept whole.
        const std::uint8_t lastByte = record[kLastBlockBytes];
        std::size_t length = blocks * kBlockData;
        if (lastByte >= 2) {
            length = blocks == 0 ? lastByte - 1u : (blocks - 1) * kBlockData + lastByte - 1u;
        } else if (blocks > 0 || lastByte == 0) {
            lost(unsizedLastBlockText("file " + quotedName(entry.name), lastByte, blocks));
        }
        entry.setType(record[kType] & kTypeBits, record[kRecordLength]);
        std::copy_n(record.begin() + kDate, entry.entryTail.size() - kEntryTailDate,
                    entry.entryTail.begin() + kEntryTailDate);
        const std::size_t held = std::min(input_.size() - dataAt, length);
        entry.data = input_.subspan(dataAt, held);
        if (held < length) entry.loss = entry_loss_t{entry_loss_t::cause::archiveEnds, length};
        if (!store(entry)) return status_.result();

        dataAt += blocks * kBlockData;
        // A REL file's side sectors are stored after its data.
        if ((record[kType] & 7) == archive_entry_t::kRel) dataAt += record[kSideSectorBlocks] * kBlockData;
        dataAt = std::min(dataAt, input_.size());
    }
    // Data in whole blocks: only a block or more after the last file's is no file's.
    const std::span<const std::uint8_t> after = input_.subspan(dataAt);
    if (after.size() >= kBlockData && !isPadding(after)) lost(leftOverText(after.size()));
    return status_.result();
}

}  // namespace platter
