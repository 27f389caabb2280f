#include <algorithm>
#include <string_view>

#include "platter/archive/archive_damage.hpp"
#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/crc16.hpp"
#include "platter/archive/lzhuf.hpp"
#include "platter/core/transfer_padding.hpp"
#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/file_type_names.hpp"

namespace platter {

namespace {

// A level-0 header: size H (without its first two bytes), checksum, method,
// packed and unpacked size, time stamp, attribute, level, name length n,
// name, CRC-16 of the data; H = n + 22.
constexpr std::size_t kMinEntry = 26;
constexpr std::size_t kNameOffset = 22;
constexpr std::size_t kFixedHeader = 22;
constexpr std::size_t kMaxNameBytes = 18;
// No C64 file comes near this; a larger size is a damaged header.
constexpr std::uint32_t kMaxUnpacked = 0xFFFFFF;

std::uint32_t le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16)) |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

bool headerSumMatches(std::span<const std::uint8_t> header, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 2; i < size + 2; ++i) sum += header[i];
    return (sum & 0xFF) == header[1];
}

// The stored name: when its next-to-last byte is 0, its last byte is the CBM
// file type letter.
std::uint8_t lhaFileType(std::span<const std::uint8_t> name) {
    const std::size_t n = name.size();
    if (n >= 2 && name[n - 2] == 0) return fileTypeFromLetter(static_cast<char>(name[n - 1]));
    return archive_entry_t::kPrg;
}

struct lha_header_t {
    bool packed = false;  // "-lh1-"; else "-lh0-"
    std::uint32_t unpackedSize = 0;
    std::span<const std::uint8_t> name;
    std::uint16_t crc = 0;
    std::span<const std::uint8_t> data;  // the packed bytes the archive holds
    bool cut = false;                    // the archive ends inside them
    bool last = false;                   // nothing follows the data
};

enum class header_read : std::uint8_t { entry, end, damaged };

// The entry at the start of `rest` (at least kMinEntry bytes), checked
// against everything that could take a read past the archive's end; the end
// mark is a 0 byte.
header_read readLhaHeader(std::span<const std::uint8_t> rest, lha_header_t& header) {
    const std::size_t headerSize = rest[0];
    if (headerSize == 0) return header_read::end;
    if (rest.size() < headerSize + 2) return header_read::damaged;
    const std::size_t nameLength = rest[21];
    if (headerSize != nameLength + kFixedHeader) return header_read::damaged;

    const std::string_view method(reinterpret_cast<const char*>(rest.data() + 2), 5);
    header.packed = method == "-lh1-";
    if (!header.packed && method != "-lh0-") return header_read::damaged;
    if (!headerSumMatches(rest, headerSize)) return header_read::damaged;
    const std::uint32_t packedSize = le32(rest, 7);
    header.unpackedSize = le32(rest, 11);
    if (header.unpackedSize > kMaxUnpacked) return header_read::damaged;
    // After the name: the CRC, then the data, which the archive's end may cut.
    const std::size_t crcAt = kNameOffset + nameLength;
    const std::size_t held = rest.size() - crcAt - 2;

    header.name = rest.subspan(kNameOffset, nameLength);
    header.crc = static_cast<std::uint16_t>(rest[crcAt] | (rest[crcAt + 1] << 8));
    header.data = rest.subspan(crcAt + 2, std::min<std::size_t>(packedSize, held));
    header.cut = held < packedSize;
    header.last = held <= packedSize;
    return header_read::entry;
}

}  // namespace

import_result_t ArchiveDecoder::decodeLha() {
    // Too short for an entry: an empty archive when it starts with the end mark.
    if (input_.size() < kMinEntry) {
        return input_.empty() || input_[0] == 0 ? import_result_t::done : import_result_t::damaged;
    }
    std::vector<std::uint8_t> data;
    std::size_t at = 0;
    entry_name_t previous{};
    for (bool first = true;; first = false) {
        const std::span<const std::uint8_t> rest = input_.subspan(at);
        lha_header_t header;
        switch (readLhaHeader(rest, header)) {
            case header_read::entry: break;
            // Only the first header can be the end mark here: later ones are looked at below.
            case header_read::end: return import_result_t::damaged;
            case header_read::damaged:
                if (first) return import_result_t::damaged;
                lost(headerLostText(rest.size(), kMinEntry, previous));
                return status_.result();
        }
        // A stream that breaks off keeps what it gave; a stored entry gives what it holds.
        if (header.packed) {
            lzhufDecode(header.data, header.unpackedSize, data);
        } else {
            data.assign(header.data.begin(),
                        header.data.begin() + std::min<std::ptrdiff_t>(header.unpackedSize, std::ssize(header.data)));
        }
        const bool cut = data.size() < header.unpackedSize;
        const auto shown = header.name.first(std::min(header.name.size(), kMaxNameBytes));
        const std::string_view name(reinterpret_cast<const char*>(shown.data()),
                                    static_cast<std::size_t>(std::find(shown.begin(), shown.end(), 0) - shown.begin()));
        archive_entry_t entry;
        entry.name.fill(kNamePad);
        nameFromHostText(name, entry.name);
        if (cut)
            entry.loss = entry_loss_t{header.cut ? entry_loss_t::cause::archiveEnds : entry_loss_t::cause::undecodable,
                                      header.unpackedSize};
        else if (crc16Arc(data) != header.crc)
            failedCheck(entry.name);

        if (first && name == "title") {
            title_ = data;
            if (cut) lost("the title entry is cut short");
        } else {
            entry.setType(lhaFileType(header.name) | archive_entry_t::kClosed, 0);
            entry.data = data;
            if (!store(entry)) return status_.result();
        }
        previous = entry.name;

        if (header.last) return status_.result();
        at = static_cast<std::size_t>(header.data.data() + header.data.size() - input_.data());
        // The end mark, with a transfer's padding after it or none; bytes after the mark
        // belong to no file.
        const std::span<const std::uint8_t> after = input_.subspan(at);
        if (isTransferPadding(after)) return status_.result();
        if (after[0] == 0) {
            if (!isTransferPadding(after.subspan(1))) lost(leftOverText(after.size() - 1, "the archive's end mark"));
            return status_.result();
        }
        if (after.size() < kMinEntry) {
            lost(headerLostText(after.size(), kMinEntry, previous));
            return status_.result();
        }
    }
}

}  // namespace platter
