#include <algorithm>
#include <optional>

#include "platter/archive/arc_header.hpp"
#include "platter/archive/archive_damage.hpp"
#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/bit_reader.hpp"
#include "platter/archive/lzw_crunch.hpp"
#include "platter/archive/squeeze_table.hpp"
#include "platter/petscii/file_type_names.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

// A mode-5 entry runs to its end code; its header does not bound it, so this
// does (the largest length a header can give).
constexpr std::uint32_t kMaxEndCodeLength = 0xFFFFFF;
// Output reserved up front at most; a lying header must not allocate more.
constexpr std::size_t kMaxReserve = std::size_t{1} << 18;

enum arc_mode : std::uint8_t { kStored, kPacked, kSqueezed, kCrunched, kSqueezedPacked, kCrunchedEndCode };

bool expandsRuns(std::uint8_t mode) {
    return mode == kPacked || mode == kCrunched || mode == kSqueezedPacked || mode == kCrunchedEndCode;
}

// The decoded bytes of one entry before run-length expansion, by mode.
class ArcStream {
public:
    ArcStream(const arc_header_t& header, std::span<const std::uint8_t> data)
        : mode_(header.mode), marker_(header.runMarker()), data_(data), bits_(data) {}

    // Reads what precedes the data (the squeeze table, or a packed entry's run
    // marker); false makes the header invalid.
    bool prepare() {
        if (mode_ == kSqueezed || mode_ == kSqueezedPacked) return table_.read(bits_);
        if (mode_ == kPacked && next_ < data_.size()) marker_ = data_[next_++];
        return true;
    }

    bool readArcByte(std::uint8_t& out) {
        switch (mode_) {
            case kStored:
            case kPacked:
                if (next_ == data_.size()) return false;
                out = data_[next_++];
                return true;
            case kSqueezed:
            case kSqueezedPacked: return table_.decode(bits_, out);
            case kCrunched:
            case kCrunchedEndCode: {
                const LzwCrunch::step step = lzw_.next(bits_, out, mode_ == kCrunchedEndCode);
                if (step == LzwCrunch::step::end) readEndChecksum();
                return step == LzwCrunch::step::byte;
            }
            default: return false;  // an unknown mode yields no bytes
        }
    }

    std::uint8_t runMarker() const { return marker_; }
    // The bytes of the data read so far.
    std::size_t bytesUsed() const { return mode_ == kStored || mode_ == kPacked ? next_ : bits_.bytesUsed(); }
    bool sawEndCode() const { return ended_; }
    // The checksum that followed the end code; none before it or when the input ended.
    std::optional<std::uint16_t> endChecksum() const { return endChecksum_; }

private:
    void readEndChecksum() {
        ended_ = true;
        std::uint32_t value = 0;
        if (bits_.bits(16, value)) endChecksum_ = static_cast<std::uint16_t>(value);
    }

    std::uint8_t mode_;
    std::uint8_t marker_;
    std::span<const std::uint8_t> data_;
    std::size_t next_ = 0;
    LsbBitReader bits_;
    SqueezeTable table_;
    LzwCrunch lzw_;
    bool ended_ = false;
    std::optional<std::uint16_t> endChecksum_;
};

// Decodes one entry into `out`; true when it came out whole.
bool decodeArcEntry(const arc_header_t& header, ArcStream& stream, std::vector<std::uint8_t>& out) {
    const bool endCode = header.mode == kCrunchedEndCode;
    const std::size_t expected = endCode ? kMaxEndCodeLength : header.length;
    const bool runs = expandsRuns(header.mode);
    out.clear();
    out.reserve(std::min(expected, kMaxReserve));
    std::uint8_t byte = 0;
    while (out.size() < expected && stream.readArcByte(byte)) {
        if (!runs || byte != stream.runMarker()) {
            out.push_back(byte);
            continue;
        }
        std::uint8_t count = 0;
        std::uint8_t value = 0;
        if (!stream.readArcByte(count) || !stream.readArcByte(value)) break;
        const std::size_t run = count == 0 ? header.zeroRunCount() : count;
        out.insert(out.end(), std::min(run, expected - out.size()), value);
    }
    return endCode ? stream.sawEndCode() : out.size() == expected;
}

// Whether the decoded data match their checksum, which mode 5 gives after its end code.
bool matchesChecksum(const arc_header_t& header, const ArcStream& stream, std::span<const std::uint8_t> data) {
    const std::optional<std::uint16_t> expected =
        header.mode == kCrunchedEndCode ? stream.endChecksum() : std::optional<std::uint16_t>(header.checksum);
    return expected == arcChecksum(header.version, data);
}

// What follows the last entry without being one: nothing, zeros, or an end mark (version,
// mode and type 0) end the archive as they should.
bool endsTheArchive(std::span<const std::uint8_t> rest) {
    return (rest.size() >= arc_header_t::kFixedSize && rest[0] == 0 && rest[1] == 0 && rest[9] == 0) ||
           isPadding(rest);
}

}  // namespace

import_result_t ArchiveDecoder::decodeArc() {
    std::size_t at = 0;
    std::vector<std::uint8_t> data;
    entry_name_t previous{};
    for (bool first = true;; first = false) {
        const std::span<const std::uint8_t> rest = input_.subspan(at);
        const std::optional<arc_header_t> header = readArcHeader(rest);
        if (!header) {
            if (first) return import_result_t::damaged;
            if (!endsTheArchive(rest)) lost(headerLostText(rest.size(), arc_header_t::kFixedSize, previous));
            return status_.result();
        }
        // The entry's data end with its blocks, or with the archive.
        const std::size_t claimed = std::size_t{header->blocks} * arc_header_t::kBlockSize;
        const std::span<const std::uint8_t> blocks = rest.first(std::min(rest.size(), claimed));
        ArcStream stream(*header, blocks.subspan(std::min(header->dataOffset, blocks.size())));
        const bool prepared = stream.prepare();
        if (!prepared && first) return import_result_t::damaged;

        // A damaged stream ends the entry; what was decoded is kept.
        const bool whole = prepared && decodeArcEntry(*header, stream, data);
        if (!prepared) data.clear();
        const std::size_t dataEnd = std::min(header->dataOffset + stream.bytesUsed(), rest.size());
        archive_entry_t entry;
        entry.name = header->name;
        entry.setType(fileTypeFromLetter(header->typeLetter) | archive_entry_t::kClosed, header->recordLength);
        entry.data = data;
        if (!whole) {
            const bool cut = claimed > rest.size() && dataEnd == rest.size();
            entry.loss = entry_loss_t{cut ? entry_loss_t::cause::archiveEnds : entry_loss_t::cause::undecodable,
                                      header->mode == kCrunchedEndCode ? std::nullopt
                                                                       : std::optional<std::uint64_t>(header->length)};
        } else if (!matchesChecksum(*header, stream, data)) {
            failedCheck(entry.name);
        }
        if (!store(entry)) return status_.result();
        previous = entry.name;

        if (claimed >= rest.size()) {
            // Only the last block may be short; blocks that lead further leave out what follows.
            if (rest.size() - dataEnd >= arc_header_t::kBlockSize) {
                lost("file " + quotedName(entry.name) + " claims " + std::to_string(header->blocks) +
                     " blocks, more than the archive holds; the " + std::to_string(rest.size() - dataEnd) +
                     " bytes after its data were left out");
            }
            return status_.result();
        }
        at += claimed;
    }
}

}  // namespace platter
