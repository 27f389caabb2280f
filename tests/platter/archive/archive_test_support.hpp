#pragma once

#include <array>
#include <map>
#include <optional>
#include <span>
#include <sstream>
#include <cstdint>
#include <string>
#include <vector>

#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/extractor_stubs.hpp"
#include "forge/crc32.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"

namespace platter::test {

// What a sink was handed, copied out of the decoder's buffers.
struct collected_entry_t {
    std::string name;  // up to the padding
    std::uint8_t typeByte = 0;
    std::array<std::uint8_t, 7> entryTail{};
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> infoBlock;
    std::vector<std::uint8_t> recordIndex;
    std::vector<vlir_record_t> records;
    std::optional<entry_loss_t> loss;

    bool operator==(const collected_entry_t&) const = default;
};

// An entry name up to its padding.
inline std::string shownName(const entry_name_t& name) {
    std::string shown;
    for (std::uint8_t c : name) {
        if (c == 0xA0) break;
        shown += static_cast<char>(c);
    }
    return shown;
}

// A sink that keeps every entry and answers `answer`.
struct EntryCollector {
    std::vector<collected_entry_t> entries;
    import_result_t answer = import_result_t::done;

    entry_sink sink() {
        return [this](const archive_entry_t& entry) {
            collected_entry_t copy;
            copy.name = shownName(entry.name);
            copy.typeByte = entry.typeByte;
            copy.entryTail = entry.entryTail;
            copy.data.assign(entry.data.begin(), entry.data.end());
            copy.infoBlock.assign(entry.infoBlock.begin(), entry.infoBlock.end());
            copy.recordIndex.assign(entry.recordIndex.begin(), entry.recordIndex.end());
            copy.records = entry.records;
            copy.loss = entry.loss;
            entries.push_back(std::move(copy));
            return answer;
        };
    }
};

using bytes_t = test_support::Bytes;
using test_support::text;

inline bytes_t readFixture(const std::string& name) { return test_support::readFixture("archive/" + name); }

// Bits written from bit 7 of each byte downward (LHA, Wraptor) or from bit 0
// upward (ARC); fields go first bit most significant unless said otherwise.
class TestBits {
public:
    explicit TestBits(bool lowBitFirst) : lowBitFirst_(lowBitFirst) {}
    TestBits& put(std::uint32_t value, unsigned width) {
        for (unsigned i = width; i-- > 0;) bit((value >> i) & 1);
        return *this;
    }
    TestBits& putLowFirst(std::uint32_t value, unsigned width) {
        for (unsigned i = 0; i < width; ++i) bit((value >> i) & 1);
        return *this;
    }
    bytes_t bytes() const {
        bytes_t out = out_;
        if (count_ > 0) out.push_back(current_);
        return out;
    }

private:
    void bit(std::uint32_t b) {
        const unsigned shift = lowBitFirst_ ? count_ : 7 - count_;
        current_ = static_cast<std::uint8_t>(current_ | (b << shift));
        if (++count_ == 8) {
            out_.push_back(current_);
            current_ = 0;
            count_ = 0;
        }
    }
    bool lowBitFirst_;
    bytes_t out_;
    std::uint8_t current_ = 0;
    unsigned count_ = 0;
};

struct decoded_t {
    import_result_t result = import_result_t::damaged;
    std::vector<collected_entry_t> entries;
    bytes_t title;
    std::vector<std::string> failedChecks;  // names up to their padding
    std::vector<std::string> notes;
};

// Runs one decoder over the archive with a collecting sink.
inline decoded_t runDecoder(std::span<const std::uint8_t> archive, import_result_t (ArchiveDecoder::*decodeKind)(),
                            import_result_t answer = import_result_t::done) {
    EntryCollector collector;
    collector.answer = answer;
    ArchiveDecoder decoder(archive, collector.sink());
    decoded_t out;
    out.result = (decoder.*decodeKind)();
    out.entries = std::move(collector.entries);
    out.title = decoder.title();
    for (const entry_name_t& name : decoder.failedChecks()) out.failedChecks.push_back(shownName(name));
    out.notes = decoder.notes();
    return out;
}

// Decodes a fixture by its extension: .arc, .sda, .lzh, .wr3, .ark, .lbr, .spy.
inline decoded_t decode(const std::string& archive, std::span<const std::uint8_t> bytes) {
    const std::string kind = archive.substr(archive.rfind('.') + 1);
    if (kind == "sda")
        return runDecoder(skipSdaStub(bytes).value_or(std::span<const std::uint8_t>{}), &ArchiveDecoder::decodeArc);
    if (kind == "lzh") return runDecoder(bytes, &ArchiveDecoder::decodeLha);
    if (kind == "wr3") return runDecoder(bytes, &ArchiveDecoder::decodeWraptor);
    if (kind == "ark") return runDecoder(bytes, &ArchiveDecoder::decodeArkive);
    if (kind == "lbr") return runDecoder(bytes, &ArchiveDecoder::decodeLibrary);
    if (kind == "spy") return runDecoder(bytes, &ArchiveDecoder::decodeSpyne);
    return runDecoder(bytes, &ArchiveDecoder::decodeArc);
}

// One line of tests/data/archive/expected.txt: an entry index (or "title"), the
// type name, size, CRC-32 and name of what the archive holds.
struct expected_entry_t {
    std::string index;
    std::string type;
    std::size_t size = 0;
    std::uint32_t crc = 0;
    std::string name;
};

// The entries tests/data/archive/expected.txt lists, by archive.
inline std::map<std::string, std::vector<expected_entry_t>> readManifest() {
    std::map<std::string, std::vector<expected_entry_t>> archives;
    std::istringstream in(test_support::readText(test_support::fixturePath("archive/expected.txt")));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string archive;
        expected_entry_t entry;
        fields >> archive >> entry.index >> entry.type >> entry.size >> std::hex >> entry.crc;
        fields.get();
        std::getline(fields, entry.name);
        archives[archive].push_back(entry);
    }
    return archives;
}

inline std::string typeName(std::uint8_t typeByte) {
    static const char* const kNames[] = {"DEL", "SEQ", "PRG", "USR", "REL", "CBM", "DIR", "???"};
    return kNames[typeByte & 7];
}

inline std::uint32_t crcOf(std::span<const std::uint8_t> bytes) { return forge::crc32(0, bytes); }

}  // namespace platter::test
