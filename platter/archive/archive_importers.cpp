#include "platter/archive/archive_importers.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "platter/archive/archive_damage.hpp"
#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/disk_entry_sink.hpp"
#include "platter/archive/extractor_stubs.hpp"
#include "platter/archive/lynx_directory.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/transfer_padding.hpp"
#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kBlockData = 254;
constexpr std::size_t kConvertNameAt = 3;  // a GEOS Convert file starts with entry bytes 2-31

// Runs one decoder over the archive's `bytes` with the image as its sink,
// directory positions from `firstPosition`, and hands the source what it asks for.
import_result_t decodeInto(Disk& disk, std::span<const std::uint8_t> bytes, std::int64_t firstPosition,
                           import_result_t (ArchiveDecoder::*decode)(), const archive_source_t& source) {
    DiskEntrySink sink(disk, firstPosition, source.damage);
    ArchiveDecoder decoder(bytes, sink.sink());
    const import_result_t result = (decoder.*decode)();
    const bool damaged = result == import_result_t::damaged;
    if (source.title) *source.title = damaged ? std::vector<std::uint8_t>{} : std::move(decoder.title());
    if (source.damage && !damaged) {
        for (const entry_name_t& name : decoder.failedChecks()) source.damage->failedCheck(name);
        for (const std::string& note : decoder.notes()) source.damage->note(note);
    }
    return result;
}

// A Lynx file is cut when the archive holds fewer bytes than its directory gives it; one that
// takes the rest of the archive, when they do not fill the blocks before its last.
bool isCut(const lynx_entry_t& entry) {
    if (entry.expected) return entry.data.size() < *entry.expected;
    return entry.blocks > 0 && entry.data.size() < (entry.blocks - 1) * kBlockData;
}

// What the counts of a Lynx directory and the size of its archive leave unaccounted for: a
// directory whose text runs past the blocks it counts, so that the files start inside it, an
// archive that ends before the bytes its directory gives the files, or bytes after the last
// file's blocks that are no transfer's padding.
std::optional<std::string> unaccountedLynxText(const lynx_directory_t& directory,
                                               std::span<const std::uint8_t> archive) {
    const std::uint64_t dataStart = directory.blocks * kBlockData;
    if (directory.textEnd > dataStart) {
        const std::uint64_t textBlocks = (directory.textEnd + kBlockData - 1) / kBlockData;
        return "the directory counts " + std::to_string(directory.blocks) +
               (directory.blocks == 1 ? " block" : " blocks") + ", but its text takes " + std::to_string(textBlocks) +
               ": the files' data start inside it";
    }
    if (directory.filesEnd > archive.size()) {
        return "the directory accounts for " + std::to_string(directory.filesEnd) + " bytes, " +
               std::to_string(directory.filesEnd - archive.size()) + " more than the archive's " +
               std::to_string(archive.size());
    }
    if (directory.dataEnd >= archive.size() || isTransferPadding(archive.subspan(directory.dataEnd))) return std::nullopt;
    const std::uint64_t left = archive.size() - directory.dataEnd;
    return "the directory accounts for " + std::to_string(directory.dataEnd) + " of the archive's " +
           std::to_string(archive.size()) + " bytes; the " + std::to_string(left) + " after its last file " +
           (left == 1 ? "was" : "were") + " left out";
}

// The entry an importer stored at `position` of a directory that held `before` entries.
std::optional<dir_entry_t> storedEntry(Disk& disk, std::uint64_t position, std::uint64_t before) {
    dir_entry_t entry;
    if (!disk.getEntry(std::min(position, before), false, entry)) return std::nullopt;
    return entry;
}

// What a GEOS Convert file whose record table and data disagree lost on the way in: the
// bytes after its last record, the records it ends before, a record the table gives no size.
std::string leftOverRecordText(const std::string& name, std::uint64_t leftOver) {
    return std::to_string(leftOver) + " bytes of " + name +
           " follow its last record and belong to no record; they were left out";
}

std::string unsizedRecordText(const std::string& name, const convert_unsized_record_t& record) {
    return unsizedLastBlockText("record " + std::to_string(record.record) + " of " + name, record.lastByte,
                                record.blocks);
}

std::string missingRecordsText(const std::string& name, const convert_record_gaps_t& gaps) {
    const std::string records = gaps.firstCut == gaps.lastCut
                                    ? "record " + std::to_string(gaps.firstCut) + " of " + name + " runs"
                                    : "records " + std::to_string(gaps.firstCut) + " to " +
                                          std::to_string(gaps.lastCut) + " of " + name + " run";
    const std::string missing = std::to_string(gaps.missing) + (gaps.missing == 1 ? " byte is" : " bytes are");
    return records + " past the end of the file; " + missing + " missing";
}

}  // namespace

import_result_t importArc(Disk& disk, const archive_source_t& source) {
    return decodeInto(disk, source.bytes, 0, &ArchiveDecoder::decodeArc, source);
}

import_result_t importSda(Disk& disk, const archive_source_t& source) {
    const auto arc = skipSdaStub(source.bytes);
    return arc ? decodeInto(disk, *arc, 0, &ArchiveDecoder::decodeArc, source) : import_result_t::damaged;
}

import_result_t importLha(Disk& disk, const archive_source_t& source) {
    return decodeInto(disk, source.bytes, 0, &ArchiveDecoder::decodeLha, source);
}

import_result_t importSfx(Disk& disk, const archive_source_t& source) {
    const auto lha = skipSfxStub(source.bytes);
    return lha ? decodeInto(disk, *lha, 0, &ArchiveDecoder::decodeLha, source) : import_result_t::damaged;
}

import_result_t importWr3(Disk& disk, const archive_source_t& source) {
    return decodeInto(disk, source.bytes, 1, &ArchiveDecoder::decodeWraptor, source);
}

import_result_t importArk(Disk& disk, const archive_source_t& source) {
    return decodeInto(disk, source.bytes, 0, &ArchiveDecoder::decodeArkive, source);
}

import_result_t importLbr(Disk& disk, const archive_source_t& source) {
    return decodeInto(disk, source.bytes, 0, &ArchiveDecoder::decodeLibrary, source);
}

import_result_t importSpy(Disk& disk, const archive_source_t& source) {
    return decodeInto(disk, source.bytes, 0, &ArchiveDecoder::decodeSpyne, source);
}

import_result_t importCvt(Disk& disk, const archive_source_t& source) {
    convert_record_gaps_t gaps;
    if (!disk.importCvt(source.bytes, 0, &gaps)) return failureOf(disk, import_result_t::damaged);
    if (!gaps.any()) return import_result_t::done;
    if (!source.damage) return import_result_t::partial;
    const std::string name = quotedName(source.bytes.subspan(kConvertNameAt, kNameSize));
    for (const convert_unsized_record_t& record : gaps.unsized) source.damage->note(unsizedRecordText(name, record));
    if (gaps.leftOver != 0) source.damage->note(leftOverRecordText(name, gaps.leftOver));
    if (gaps.missing != 0) {
        // The file lacks the bytes of its records that the GEOS Convert file ends before.
        if (const std::optional<dir_entry_t> stored = storedEntry(disk, 0, 0))
            source.damage->entryShort(*stored, missingRecordsText(name, gaps));
    }
    return import_result_t::partial;
}

import_result_t importLnx(Disk& disk, const archive_source_t& source) {
    const lynx_directory_t directory = parseLynxDirectory(source.bytes, source.typeId);
    const std::vector<lynx_entry_t>& entries = directory.entries;
    if (entries.empty()) return import_result_t::damaged;
    ImportStatus status;
    if (entries.size() < directory.declared) {
        status.note(import_result_t::partial);
        if (source.damage) {
            source.damage->note("the directory ends after " + std::to_string(entries.size()) + " of the " +
                                std::to_string(directory.declared) + " files it counts");
        }
    }
    std::vector<dir_entry_t> whole;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const lynx_entry_t& entry = entries[k];
        std::array<std::uint8_t, kNameSize> name;
        name.fill(kNamePad);
        std::copy_n(entry.name.begin(), std::min(entry.name.size(), name.size()), name.begin());
        const auto recordLength = static_cast<std::uint8_t>(std::min<std::uint32_t>(entry.recordLength, 0xff));
        const std::uint64_t before = disk.countDirectoryEntries();
        const bool stored =
            disk.importFile(name, static_cast<std::int64_t>(k), entry.data, recordLength, formatByCbmType(entry.type));
        if (!stored && !status.note(failureOf(disk, import_result_t::partial))) break;
        if (!stored) continue;
        const std::optional<dir_entry_t> made = storedEntry(disk, k, before);
        const bool cut = isCut(entry);
        if (!cut && !entry.unsized) {
            if (made) whole.push_back(*made);
            continue;
        }
        status.note(import_result_t::partial);
        if (!source.damage || !made) continue;
        if (cut)
            source.damage->entryShort(*made, entry.data.size(), {entry_loss_t::cause::archiveEnds, entry.expected});
        else
            source.damage->entryShort(
                *made, unsizedLastBlockText("file " + quotedName(made->name()),
                                            static_cast<std::uint8_t>(entry.lastBlockBytes), entry.blocks));
    }
    // Where the directory and the archive's size do not account for each other, no file is
    // sure to lie where the directory places it.
    if (const std::optional<std::string> text = unaccountedLynxText(directory, source.bytes)) {
        status.note(import_result_t::partial);
        if (source.damage) source.damage->entriesMisplaced(whole, *text);
    }
    return status.result();
}

}  // namespace platter
