#pragma once
// Four- and five-part zipcode sets opened as the D64 they hold: from host part files named
// "1!NAME" to "5!NAME", or from entries of that name inside an image.

#include <filesystem>
#include <string>
#include <vector>

#include "platter/core/dir_entry.hpp"
#include "platter/ids/format_id.hpp"
#include "platter/open/open_result.hpp"
#include "platter/open/zipcode_set_files.hpp"

namespace platter {

class Disk;

// The D64 that the read parts of a four/five-part set decode to, with what it lacks in its
// damage report. A part that is missing (or too short to hold a block), unreadable, no part
// or cut short leaves (some of) its tracks empty (last error 5 for a missing part, 3 for an
// unreadable one), and a run-length record that does not decode leaves its block empty; each
// is named and makes the image incomplete. The image has 40 tracks when part 5's file is
// there, whatever it holds, or when the BAM of the other parts has blocks of tracks 36-40 in
// use. No disk when no part decoded at all.
open_result_t decodeZipcodeSet(const zipcode_set_t& set);

// The set of the host part file `path`, read with its siblings from the same directory and
// decoded as decodeZipcodeSet does, saved as "<directory>/NAME.d64"; `bytes`, when given, are
// the content of `path` itself.
open_result_t openZipcodeFiles(const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes = nullptr);

// The set that the part entry `entry` of `disk` belongs to, built from the entries of the same
// name with the digits 1 to 5 and decoded as above; `bytes`, when given, are the entry's own data.
open_result_t openZipcodeSet(Disk& disk, const dir_entry_t& entry, const std::vector<std::uint8_t>* bytes = nullptr);

// The registry's opener of the zipcode kind: a part file's bytes alone are no set.
open_result_t openZipcodeKind(format_id id, const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes);

}  // namespace platter
