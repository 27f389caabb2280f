#pragma once
// The descent into what a directory entry holds, shared by deep listings and by selectors
// that nest: a subdirectory or partition entered on the same image, or an archive or
// zipcode set expanded from the entry's data.

#include <cstdint>

#include "platter/core/dir_entry.hpp"
#include "platter/open/open_result.hpp"

namespace platter {

class Disk;

// Nesting stops this many levels below the container a command opened.
inline constexpr std::uint64_t kMaxNestingDepth = 16;

// What an entry holds, told from its type and name without reading its data.
enum class nested_kind { file, directory, partition, archive };

// Every entry of a partition table (opened through `Disk::openPartition`); else a partition
// or subdirectory entered on the same image (types 5 and 6 on an image that has them;
// elsewhere they are files), an archive or a zipcode part (by the name), or a plain file.
nested_kind nestedKindOf(Disk& disk, const dir_entry_t& entry);

// What identification made of the data of an entry named as an archive.
enum class nested_data {
    archive,             // a kind that expands: a failure text says why it did not
    unsupportedArchive,  // an archive kind nothing expands: not tried
    notArchive,          // no archive kind: tried as the kind the entry's name gives
};

struct nested_open_t : open_result_t {
    nested_data data = nested_data::archive;
};

// Reads a file entry's data and expands the archive or zipcode set it holds, named after the
// entry.
nested_open_t openNestedContainer(Disk& disk, const dir_entry_t& entry);

}  // namespace platter
