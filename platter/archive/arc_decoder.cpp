#include <algorithm>

#include "platter/archive/arc_header.hpp"
#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/bit_reader.hpp"
#include "platter/archive/lzw_crunch.hpp"
#include "platter/archive/squeeze_table.hpp"
#include "platter/petscii/file_type_names.hpp"

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
    ArcStream(std::uint8_t mode, std::span<const std::uint8_t> data) : mode_(mode), data_(data), bits_(data) {}

    // Reads what precedes the data (the squeeze table); false makes the
    // header invalid.
    bool prepare() {
        if (mode_ == kSqueezed || mode_ == kSqueezedPacked) return table_.read(bits_);
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
                ended_ = step == LzwCrunch::step::end;
                return step == LzwCrunch::step::byte;
            }
            default: return false;  // an unknown mode yields no bytes
        }
    }

    bool sawEndCode() const { return ended_; }

private:
    std::uint8_t mode_;
    std::span<const std::uint8_t> data_;
    std::size_t next_ = 0;
    LsbBitReader bits_;
    SqueezeTable table_;
    LzwCrunch lzw_;
    bool ended_ = false;
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
        if (!runs || byte != header.runMarker()) {
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

}  // namespace

import_result_t ArchiveDecoder::decodeArc() {
    std::size_t at = 0;
    std::vector<std::uint8_t> data;
    for (bool first = true;; first = false) {
        const std::optional<arc_header_t> header = readArcHeader(input_.subspan(at));
        if (!header) return first ? import_result_t::damaged : status_.result();
        ArcStream stream(header->mode, input_.subspan(at + header->dataOffset));
        if (!stream.prepare()) return first ? import_result_t::damaged : status_.result();

        // A damaged stream ends the entry; what was decoded is kept.
        if (!decodeArcEntry(*header, stream, data)) status_.note(import_result_t::partial);
        archive_entry_t entry;
        entry.name = header->name;
        entry.setType(fileTypeFromLetter(header->typeLetter) | archive_entry_t::kClosed, header->recordLength);
        entry.data = data;
        if (!store(entry)) return status_.result();

        at += std::size_t{header->blocks} * arc_header_t::kBlockSize;
        if (at >= input_.size()) return status_.result();
    }
}

}  // namespace platter
