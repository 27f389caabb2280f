#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platter/archive/archive_entry.hpp"
#include "platter/archive/import_result.hpp"

namespace platter {

// Decodes the entries of one archive and hands each to a sink, in archive
// order. Every read is bounded by the archive's bytes, which the caller
// keeps alive; a damaged archive ends the run with `partial` or `damaged`.
class ArchiveDecoder {
public:
    ArchiveDecoder(std::span<const std::uint8_t> input, entry_sink sink);

    // C64 ARC: stored, run-length packed, squeezed and crunched entries.
    import_result_t decodeArc();
    // LHA level 0 with "-lh0-" and "-lh1-" entries; a leading entry named
    // "title" goes to `title()` instead of the sink.
    import_result_t decodeLha();
    // GEOS Wraptor: plain and GEOS (sequential and VLIR) files.
    import_result_t decodeWraptor();
    // Arkive: 29-byte records, data in whole blocks.
    import_result_t decodeArkive();
    // Library: a "DWB " text directory, data back to back.
    import_result_t decodeLibrary();
    // SPYne: a directory of entries in block 15, data checked by 16-bit sums.
    import_result_t decodeSpyne();

    // The data of a leading LHA "title" entry; empty when there was none.
    std::vector<std::uint8_t>& title() { return title_; }
    // The names of the entries whose data do not match the archive's check
    // value (ARC checksum, LHA CRC, SPYne sum); they were handed on as decoded.
    const std::vector<entry_name_t>& failedChecks() const { return failedChecks_; }
    // What the archive lacks that is no one entry's, in words: bytes no entry accounts for,
    // an entry its directory makes up, a header that leads past its end.
    const std::vector<std::string>& notes() const { return notes_; }

private:
    // Hands an entry to the sink; false when the run must stop.
    bool store(const archive_entry_t& entry);
    void failedCheck(const entry_name_t& name) { failedChecks_.push_back(name); }
    // Damage that is no one entry's: named, and the run is partial.
    void lost(std::string text);

    std::span<const std::uint8_t> input_;
    entry_sink sink_;
    ImportStatus status_;
    std::size_t stored_ = 0;
    std::vector<std::uint8_t> title_;
    std::vector<entry_name_t> failedChecks_;
    std::vector<std::string> notes_;
};

}  // namespace platter
