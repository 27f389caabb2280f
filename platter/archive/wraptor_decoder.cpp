#include <algorithm>
#include <array>

#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/chunks.hpp"
#include "platter/archive/wraptor_stream.hpp"
#include "platter/petscii/cbm_name.hpp"

namespace platter {

namespace {

constexpr std::array<std::uint8_t, 4> kSignature{0xFF, 0x42, 0x4C, 0xFF};
constexpr std::size_t kCheckBytes = 2;
constexpr std::uint8_t kFirstGeosType = 3;  // USR and above carry a GEOS info block
constexpr std::uint8_t kLastType = 4;

// Decoded data: a 9-byte head whose bytes 0-6 become directory-entry bytes
// 23-29; for a GEOS file the info block and the VLIR record index (254
// bytes each) follow, then the file.
constexpr std::size_t kHead = 9;
constexpr std::size_t kInfoAt = kHead;
constexpr std::size_t kIndexAt = kInfoAt + 254;
constexpr std::size_t kRecordsAt = kIndexAt + 254;
constexpr std::size_t kMinGeos = kRecordsAt + 2;
constexpr std::uint8_t kVlir = 1;
constexpr std::size_t kMaxRecords = 127;
// A record's last two joined bytes are not part of its data.
constexpr std::size_t kRecordTrailer = 2;

// The VLIR records from the decoded data, one per index pair while data
// remain; false when a chunk runs past the data.
bool readVlirRecords(std::span<const std::uint8_t> data, std::vector<vlir_record_t>& records) {
    std::size_t at = 0;
    while (at < data.size() && records.size() < kMaxRecords) {
        vlir_record_t record;
        std::size_t consumed = 0;
        if (!joinChunks(consumed, record.bytes, data.subspan(at))) return false;
        at += consumed;
        if (record.bytes.empty()) {
            record.what = vlir_record_t::kind::absent;
        } else if (record.bytes.size() <= kRecordTrailer) {
            record.what = vlir_record_t::kind::empty;
            record.bytes.clear();
        } else {
            record.what = vlir_record_t::kind::data;
            record.bytes.resize(record.bytes.size() - kRecordTrailer);
        }
        records.push_back(std::move(record));
    }
    return true;
}

enum class wraptor_file : std::uint8_t {
    ready,
    tooShort,  // no data to store, skipped as the format's own writer skips it
    damaged,   // a type no file has, or records that run past the data
};

// Fills the entry from the archived type (the CBM type + 1) and the decoded data.
wraptor_file describeWraptorFile(std::uint8_t archivedType, std::span<const std::uint8_t> decoded,
                                 archive_entry_t& entry) {
    if (archivedType == 0 || archivedType - 1 > kLastType) return wraptor_file::damaged;
    const auto type = static_cast<std::uint8_t>(archivedType - 1);
    entry.typeByte = static_cast<std::uint8_t>(type | archive_entry_t::kClosed);
    const std::size_t minimum = type < kFirstGeosType ? kHead + 1 : kMinGeos;
    if (decoded.size() < minimum) return wraptor_file::tooShort;
    std::copy_n(decoded.begin(), entry.entryTail.size(), entry.entryTail.begin());
    if (type < kFirstGeosType) {
        entry.data = decoded.subspan(kHead);
        return wraptor_file::ready;
    }
    entry.infoBlock = decoded.subspan(kInfoAt, kIndexAt - kInfoAt);
    if (entry.entryTail[0] != kVlir) {
        entry.data = decoded.subspan(kIndexAt);
        return wraptor_file::ready;
    }
    entry.recordIndex = decoded.subspan(kIndexAt, kRecordsAt - kIndexAt);
    return readVlirRecords(decoded.subspan(kRecordsAt), entry.records) ? wraptor_file::ready : wraptor_file::damaged;
}

}  // namespace

import_result_t ArchiveDecoder::decodeWraptor() {
    std::vector<std::uint8_t> decoded;
    std::size_t at = 0;
    while (at < input_.size()) {
        const std::span<const std::uint8_t> rest = input_.subspan(at);
        if (rest.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), rest.begin())) {
            return import_result_t::damaged;
        }
        // The name runs to a 0 byte; only its first 16 bytes are kept.
        const auto nameStart = rest.begin() + kSignature.size();
        const auto nameEnd = std::find(nameStart, rest.end(), 0);
        if (nameEnd == rest.end() || nameEnd + 1 == rest.end()) return cutShort();
        const auto typeAt = static_cast<std::size_t>(nameEnd - rest.begin()) + 1;
        const std::size_t streamAt = typeAt + 1;
        if (streamAt >= rest.size()) return status_.result();

        MsbBitReader bits(rest.subspan(streamAt));
        if (!decodeWraptorStream(bits, decoded)) return cutShort();

        archive_entry_t entry;
        entry.name.fill(kNamePad);
        std::copy_n(nameStart, std::min<std::ptrdiff_t>(nameEnd - nameStart, kNameSize), entry.name.begin());
        switch (describeWraptorFile(rest[typeAt], decoded, entry)) {
            case wraptor_file::ready:
                if (!store(entry)) return status_.result();
                break;
            case wraptor_file::tooShort: break;
            case wraptor_file::damaged: status_.note(import_result_t::partial); break;
        }

        at += streamAt + bits.bytesUsed() + kCheckBytes;
    }
    return status_.result();
}

}  // namespace platter
