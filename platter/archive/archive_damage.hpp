#pragma once
// What an importer finds wrong with an archive while it fills an image: the files it stored
// short or without their data, those that fail the archive's check value, and what belongs
// to no file. The builder notes it in the image's damage report, each thing once.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platter/archive/archive_entry.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/entry_read.hpp"
#include "platter/core/last_block_byte.hpp"

namespace platter {

class Disk;

class ArchiveDamage {
public:
    // An entry stored with the `held` bytes the archive holds of its file.
    void entryShort(const dir_entry_t& stored, std::uint64_t held, const entry_loss_t& loss);
    // The same, in the importer's own words; it reads as cut short.
    void entryShort(const dir_entry_t& stored, std::string text);
    // A file kept as decoded whose data fail the archive's check value.
    void failedCheck(const entry_name_t& name);
    // Files stored as the archive gives them that its counts cannot place for sure (its
    // directory and its data do not account for each other): each reads as cut short, and
    // `text` names them all once.
    void entriesMisplaced(std::span<const dir_entry_t> stored, std::string text);
    // Damage that is no one file's: bytes that no file accounts for, a file the directory
    // makes up, a header that leads past the archive.
    void note(std::string text);

    bool empty() const { return entries_.empty() && misplaced_.empty() && notes_.empty(); }
    // Puts it all in the image's damage report: an entry stored short reads as cut short, or
    // as unreadable when it holds nothing; the files the archive ends before share one note.
    void noteIn(Disk& disk) const;

private:
    struct short_entry_t {
        dir_entry_t stored;
        read_outcome outcome = read_outcome::cutShort;
        std::uint64_t held = 0;
        entry_loss_t loss;
        std::string text;  // empty: worded from `held` and `loss`
    };
    // A file the archive ends before, with nothing of it stored.
    static bool lostToTheEnd(const short_entry_t& entry);
    // The note that names one entry.
    static std::string textOf(const short_entry_t& entry);

    std::vector<short_entry_t> entries_;
    std::vector<dir_entry_t> misplaced_;
    std::vector<std::string> notes_;
};

// Bytes after an archive's last file that are all zero: the padding of a last block.
bool isPadding(std::span<const std::uint8_t> bytes);
// What is said of a header after file `previous` that cannot be read, `restBytes` from the
// end of an archive whose headers take `headerBytes`.
std::string headerLostText(std::size_t restBytes, std::size_t headerBytes, const entry_name_t& previous);
// What is said of `bytes` after a file (`after`, "the last file" unless named) that no file
// of the archive accounts for.
std::string leftOverText(std::uint64_t bytes, const std::string& after = "the last file");

}  // namespace platter
