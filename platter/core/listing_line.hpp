#pragma once
// The fields of one line of a directory listing, the same in every listing: the terminal
// listing of ls, the listing documents and the PETSCII listing that render draws only lay
// them out. The blocks-free line is Disk::blocksFreeText.

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace platter {

class Disk;
struct dir_entry_t;

struct listing_line_t {
    std::uint64_t blocks = 0;             // the entry's size as its kind counts it
    std::array<std::uint8_t, 16> name{};  // the stored name, padded with shifted spaces
    bool splat = false;                   // not closed, where the kind's entries carry the CBM flags
    bool locked = false;
    // The type word as the kind's DOS sends it, in PETSCII; the stray types of a DOS table hold
    // control codes (a 1541's type 13 ends in reverse on).
    std::string typeWord;

    // The name up to its last byte that is not a shifted space.
    std::span<const std::uint8_t> trimmedName() const;
    // The type word without its control codes, as a listing of cells shows it.
    std::string shownTypeWord() const;
    // The type word switches reverse on: the machine shows the rest of the line reversed.
    bool reversesRest() const;
};

listing_line_t listingLine(const Disk& disk, const dir_entry_t& entry);

}  // namespace platter
