#pragma once
// The parts of a zipcode set, four/five-part or six-part: found on the host from the name of
// a part or of the set, read, and told missing or too short in one place, for the opener
// and for unzip alike.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platter {

inline constexpr unsigned kZip6Parts = 6;

enum class zipcode_part_state : std::uint8_t {
    absent,      // no such file or entry
    tooShort,    // one too short to hold a block of the part: missing as well
    found,       // a file that is there, not read yet
    unreadable,  // one that could not be read
    read,
};

struct zipcode_part_t {
    std::string name;            // "2!NAME" or "2!!NAME", as messages name the part
    std::filesystem::path path;  // its host file; empty for a part held as an entry
    zipcode_part_state state = zipcode_part_state::absent;
    std::vector<std::uint8_t> bytes;  // once read

    bool missing() const { return state == zipcode_part_state::absent || state == zipcode_part_state::tooShort; }
};

struct zipcode_set_t {
    std::string directory;  // as the path named it, with its separator ("dir/"), or empty
    std::string name;       // the set's name, NAME
    bool sixParts = false;
    std::vector<zipcode_part_t> parts;  // parts 1 to 5, or 1 to 6
};

// Whether a part of `size` bytes is too short to hold a block, and so is missing: a
// four/five-part part below its load address and first record, a six-part part below its
// load address, track count and the first byte of its first header.
bool holdsNoBlock(std::uint64_t size, bool sixParts);

// The set that `path` names: the existing file of a part ("DIR/2!NAME", "DIR/3!!NAME"), or
// else the set's own name ("DIR/NAME", a six-part set when "DIR/1!!NAME" exists). Every part
// is looked for beside it; a regular file too short to hold a block is missing.
zipcode_set_t findZipcodeSet(const std::string& path);

// The set NAME with its parts named and none of them found yet.
zipcode_set_t namedZipcodeSet(const std::string& directory, const std::string& name, bool sixParts);

// Reads every part found; `given`, when set, are the bytes of part `givenNumber` (1-6),
// already read. A part whose bytes are too short to hold a block becomes missing.
void readZipcodeParts(zipcode_set_t& set, unsigned givenNumber = 0, const std::vector<std::uint8_t>* given = nullptr);

// Sets a part's state from the bytes it holds: read, or too short.
void takePartBytes(zipcode_part_t& part, std::vector<std::uint8_t> bytes, bool sixParts);

// The note of a part that is missing or could not be read, whose tracks are empty:
// "zipcode part '2!NAME' is missing; its tracks are empty".
std::string missingPartNote(const zipcode_part_t& part);

}  // namespace platter
