#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platter/archive/import_result.hpp"

namespace platter {

// One record of a GEOS VLIR file as an archive holds it.
struct vlir_record_t {
    enum class kind : std::uint8_t {
        absent,  // no record: the archived index pair stays as it is
        empty,   // a record without data (index pair 0x00 0xFF)
        data,
    };
    kind what = kind::absent;
    std::vector<std::uint8_t> bytes;

    bool operator==(const vlir_record_t&) const = default;
};

// An entry's name: PETSCII, padded with 0xA0.
using entry_name_t = std::array<std::uint8_t, 16>;

// What an entry lacks when the archive holds only part of its file, or none of it.
struct entry_loss_t {
    enum class cause : std::uint8_t {
        archiveEnds,  // the archive ends before the rest of the data
        undecodable,  // the data that follow cannot be decoded
    };
    cause why = cause::archiveEnds;
    std::optional<std::uint64_t> expected;  // the bytes the archive says the file holds

    bool operator==(const entry_loss_t&) const = default;
};

// One file decoded from an archive, with what its directory entry needs.
// The spans point into the archive or the decoder and stay valid only while
// the sink that receives the entry runs.
struct archive_entry_t {
    static constexpr std::uint8_t kClosed = 0x80;
    static constexpr std::uint8_t kSeq = 1;
    static constexpr std::uint8_t kPrg = 2;
    static constexpr std::uint8_t kRel = 4;

    entry_name_t name{};
    std::uint8_t typeByte = 0;  // directory-entry byte 2: CBM type with the closed and locked bits
    // Directory-entry bytes 23-29: a REL file's record length, or a GEOS
    // file's structure, GEOS type and date, or a date at 25-29.
    std::array<std::uint8_t, 7> entryTail{};
    std::span<const std::uint8_t> data;  // the file; a GEOS file's data after its info block; empty for VLIR
    // A GEOS file has an info block (and then never side sectors, whatever its type).
    std::span<const std::uint8_t> infoBlock;    // GEOS: the 254 bytes of the info block
    std::span<const std::uint8_t> recordIndex;  // GEOS VLIR: the archived 254-byte record index
    std::vector<vlir_record_t> records;         // GEOS VLIR: one per index pair, in order
    // Set when the data are not all of the file: it is stored as far as it goes, and named.
    std::optional<entry_loss_t> loss;

    // Sets the type byte; a REL file whose archive gives no record length
    // cannot get side sectors and is kept as SEQ.
    void setType(std::uint8_t type, std::uint8_t recordLength) {
        if ((type & 7) == kRel && recordLength == 0) type = static_cast<std::uint8_t>((type & ~7) | kSeq);
        typeByte = type;
        if ((type & 7) == kRel) entryTail[0] = recordLength;
    }
};

// Receives each decoded entry in archive order: `done` when it was stored,
// `partial` when this one could not be but the rest may go on, `full` or
// `damaged` to stop the decoder with that outcome.
using entry_sink = std::function<import_result_t(const archive_entry_t&)>;

}  // namespace platter
