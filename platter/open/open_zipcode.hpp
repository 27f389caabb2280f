#pragma once
// Four- and five-part zipcode sets opened as the D64 they hold: from host part files named
// "1!NAME" to "5!NAME", or from entries of that name inside an image.

#include <filesystem>
#include <string>
#include <vector>

#include "platter/core/dir_entry.hpp"
#include "platter/core/zipcode_part.hpp"
#include "platter/ids/format_id.hpp"
#include "platter/open/open_result.hpp"

namespace platter {

class Disk;

// The set of the host part file `path`, read with its siblings from the same directory and
// saved as "<directory>/NAME.d64"; `bytes`, when given, are the content of `path` itself. A
// missing part (or one too short to hold a block) or an unreadable part leaves its tracks
// empty (last error 5 or 3), a part cut short the blocks its records did not reach; each is
// named in a warning and marks the disk incomplete; no disk when no part is valid.
open_result_t openZipcodeFiles(const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes = nullptr);

// The set that the part entry `entry` of `disk` belongs to, built from the entries of the same
// name with the digits 1 to 5 (last error 5 for a missing part, 3 for an unreadable one; the
// warnings as above); `bytes`, when given, are the entry's own data.
open_result_t openZipcodeSet(Disk& disk, const dir_entry_t& entry, const std::vector<std::uint8_t>* bytes = nullptr);

// The warning naming the part `part` whose records left blocks of its tracks empty; empty
// when they left none.
std::string zip4GapsWarning(const std::string& part, const zip4_part_gaps_t& gaps);

// The registry's opener of the zipcode kind: a part file's bytes alone are no set.
open_result_t openZipcodeKind(format_id id, const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes);

}  // namespace platter
