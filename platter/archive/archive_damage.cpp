#include "platter/archive/archive_damage.hpp"

#include <algorithm>

#include "platter/core/disk.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

std::string fileText(const dir_entry_t& entry) { return "file " + quotedName(entry.name()); }

}  // namespace

bool isPadding(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

std::string headerLostText(std::size_t restBytes, std::size_t headerBytes, const entry_name_t& previous) {
    const std::string after = "the header after file " + quotedName(previous);
    if (restBytes < headerBytes) return "the archive ends inside " + after;
    return after + " cannot be read; the " + std::to_string(restBytes) +
           " bytes from it to the end of the archive were left out";
}

std::string leftOverText(std::uint64_t bytes, const std::string& after) {
    if (bytes == 1) return "1 byte after " + after + " belongs to no file; it was left out";
    return std::to_string(bytes) + " bytes after " + after + " belong to no file; they were left out";
}

void ArchiveDamage::entryShort(const dir_entry_t& stored, std::uint64_t held, const entry_loss_t& loss) {
    entries_.push_back({stored, held == 0 ? read_outcome::unreadable : read_outcome::cutShort, held, loss, {}});
}

void ArchiveDamage::entryShort(const dir_entry_t& stored, std::string text) {
    entries_.push_back({stored, read_outcome::cutShort, 0, {}, std::move(text)});
}

void ArchiveDamage::failedCheck(const entry_name_t& name) {
    notes_.push_back("file " + quotedName(name) + " does not match its checksum");
}

void ArchiveDamage::entriesMisplaced(std::span<const dir_entry_t> stored, std::string text) {
    misplaced_.insert(misplaced_.end(), stored.begin(), stored.end());
    notes_.push_back(std::move(text));
}

void ArchiveDamage::note(std::string text) { notes_.push_back(std::move(text)); }

bool ArchiveDamage::lostToTheEnd(const short_entry_t& entry) {
    return entry.text.empty() && entry.held == 0 && entry.loss.why == entry_loss_t::cause::archiveEnds;
}

std::string ArchiveDamage::textOf(const short_entry_t& entry) {
    if (!entry.text.empty()) return entry.text;
    if (entry.held == 0) return fileText(entry.stored) + " could not be decoded";
    const std::string text = fileText(entry.stored) + " is cut short";
    if (!entry.loss.expected) return text;
    return text + ": " + std::to_string(entry.held) + " of " + std::to_string(*entry.loss.expected) +
           " bytes could be read";
}

void ArchiveDamage::noteIn(Disk& disk) const {
    for (std::size_t i = 0; i < entries_.size();) {
        const short_entry_t& entry = entries_[i];
        if (lostToTheEnd(entry)) {
            // Every file after the archive's end is lost the same way: one note names the run.
            std::size_t end = i + 1;
            while (end < entries_.size() && lostToTheEnd(entries_[end])) ++end;
            const std::string text =
                end == i + 1 ? fileText(entry.stored) + " is missing: the archive ends before its data"
                             : "files " + quotedName(entry.stored.name()) + (end == i + 2 ? " and " : " to ") +
                                   quotedName(entries_[end - 1].stored.name()) +
                                   " are missing: the archive ends before their data";
            for (std::size_t k = i; k < end; ++k)
                disk.noteEntryDamage(entries_[k].stored, entries_[k].outcome, k == i ? text : std::string());
            i = end;
            continue;
        }
        disk.noteEntryDamage(entry.stored, entry.outcome, textOf(entry));
        ++i;
    }
    for (const dir_entry_t& entry : misplaced_) disk.noteEntryDamage(entry, read_outcome::cutShort, std::string());
    for (const std::string& text : notes_) disk.noteDamage(text);
}

}  // namespace platter
