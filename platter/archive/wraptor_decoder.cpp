#include <algorithm>
#include <array>
#include <optional>

#include "platter/archive/archive_damage.hpp"
#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/chunks.hpp"
#include "platter/archive/wraptor_stream.hpp"
#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/petscii_text.hpp"

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
// remain; false when a chunk runs past the data, with the records before it read.
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
    tooShort,     // no data to store, skipped as the format's own writer skips it
    badType,      // a type no file has
    recordsLost,  // records that run past the data: those before them are ready
};

// Fills the entry from the archived type (the CBM type + 1) and the decoded data.
wraptor_file describeWraptorFile(std::uint8_t archivedType, std::span<const std::uint8_t> decoded,
                                 archive_entry_t& entry) {
    if (archivedType == 0 || archivedType - 1 > kLastType) return wraptor_file::badType;
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
    return readVlirRecords(decoded.subspan(kRecordsAt), entry.records) ? wraptor_file::ready
                                                                          : wraptor_file::recordsLost;
}

bool startsEntry(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kSignature.size() && std::equal(kSignature.begin(), kSignature.end(), bytes.begin());
}

// Where the next entry's signature lies in `rest` after `from`; the end of `rest` when none.
std::size_t nextEntry(std::span<const std::uint8_t> rest, std::size_t from) {
    return static_cast<std::size_t>(
        std::search(rest.begin() + static_cast<std::ptrdiff_t>(from), rest.end(), kSignature.begin(), kSignature.end()) -
        rest.begin());
}

// Decodes the stream from `streamAt` of `rest` up to `bound`: where it ends (after its check
// bytes), or none when it does not end before `bound`.
std::optional<std::size_t> decodeStream(std::span<const std::uint8_t> rest, std::size_t streamAt, std::size_t bound,
                                        std::vector<std::uint8_t>& decoded) {
    MsbBitReader bits(rest.subspan(streamAt, bound - streamAt));
    if (!decodeWraptorStream(bits, decoded)) return std::nullopt;
    return std::min(streamAt + bits.bytesUsed() + kCheckBytes, rest.size());
}

}  // namespace

import_result_t ArchiveDecoder::decodeWraptor() {
    std::vector<std::uint8_t> decoded;
    std::size_t at = 0;
    entry_name_t previous{};
    while (at < input_.size()) {
        const std::span<const std::uint8_t> rest = input_.subspan(at);
        // Every later entry starts at a signature: only the first can lack one.
        if (!startsEntry(rest)) return import_result_t::damaged;
        // The name runs to a 0 byte; only its first 16 bytes are kept.
        const auto nameStart = rest.begin() + kSignature.size();
        const auto nameEnd = std::find(nameStart, rest.end(), 0);
        if (nameEnd == rest.end() || nameEnd + 1 == rest.end()) {
            if (stored_ == 0) return import_result_t::damaged;
            lost("the archive ends inside the header after file " + quotedName(previous));
            return status_.result();
        }
        const auto typeAt = static_cast<std::size_t>(nameEnd - rest.begin()) + 1;
        const std::size_t streamAt = typeAt + 1;
        archive_entry_t entry;
        entry.name.fill(kNamePad);
        std::copy_n(nameStart, std::min<std::ptrdiff_t>(nameEnd - nameStart, kNameSize), entry.name.begin());
        previous = entry.name;

        // A stream ends where the next entry begins, or with the archive. One that does not
        // has lost its end: it is read up to the next signature, and the entry is cut short.
        const std::size_t next = nextEntry(rest, streamAt);
        const std::optional<std::size_t> decodedEnd = decodeStream(rest, streamAt, rest.size(), decoded);
        // Where the whole stream ends; a stream that lost its end is not whole.
        const std::size_t end = decodedEnd.value_or(next);
        const bool endsAtAnEntry = decodedEnd && (end == rest.size() || startsEntry(rest.subspan(end)));
        const bool whole = decodedEnd && (endsAtAnEntry || end <= next);
        if (!whole && next < rest.size()) decodeStream(rest, streamAt, std::max(streamAt, next - kCheckBytes), decoded);
        if (!whole) {
            entry.loss = entry_loss_t{next < rest.size() ? entry_loss_t::cause::undecodable
                                                         : entry_loss_t::cause::archiveEnds,
                                      std::nullopt};
        }

        bool stores = true;
        switch (describeWraptorFile(rest[typeAt], decoded, entry)) {
            case wraptor_file::ready: break;
            case wraptor_file::tooShort:
                // A whole one has nothing to store; a cut one is listed without data.
                stores = entry.loss.has_value();
                break;
            case wraptor_file::recordsLost:
                if (!entry.loss) entry.loss = entry_loss_t{entry_loss_t::cause::undecodable, std::nullopt};
                break;
            case wraptor_file::badType:
                stores = false;
                lost("file " + quotedName(entry.name) + " has a type no file has (" + std::to_string(rest[typeAt]) +
                     "); it was left out");
                break;
        }
        if (stores && !store(entry)) return status_.result();

        if (endsAtAnEntry) {
            at += end;
            continue;
        }
        // What lies between a whole stream and the next entry, but for zeros, belongs to no file.
        if (whole && !isPadding(rest.subspan(end, next - end)))
            lost(leftOverText(next - end, "file " + quotedName(entry.name)));
        at += next;
    }
    return status_.result();
}

}  // namespace platter
