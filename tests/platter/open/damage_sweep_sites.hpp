#pragma once
// Where the chains and entries of an intact CBM DOS image lie in its file, found by walking
// it through the library: the sites the sweep's operators damage.

#include <string>
#include <utility>
#include <vector>

#include "platter/core/track_sector.hpp"
#include "tests/platter/open/damage_sweep.hpp"

namespace damage_sweep {

inline std::string blockText(const platter::track_sector_t& block) {
    return std::to_string(block.track) + "/" + std::to_string(block.sector);
}

// Two link bytes at `at` and the blocks a damaged link is pointed at, by name.
struct link_site_t {
    std::string chain;  // "directory", "file", "partition directory" ...
    std::string where;
    std::size_t at = 0;
    std::vector<std::pair<std::string, platter::track_sector_t>> targets;
};

// The last block of a file's chain, whose second byte says how much of it the file holds.
struct chain_end_t {
    std::string chain;
    std::string where;
    std::size_t at = 0;  // offset of the block
};

enum class entry_role { file, partition, subdirectory, tableEntry };

// A directory entry's 32 bytes at `at`.
struct entry_site_t {
    std::string prefix;  // "", "partition " or "subdirectory ": the directory it stands in
    std::string where;
    std::size_t at = 0;
    entry_role role = entry_role::file;
};

// A block the image's error table can mark: by what it is to the image.
struct block_site_t {
    std::string role;  // "the header", "a directory block" ...
    std::size_t index = 0;  // the block's number in the image (its offset / 256)
};

struct image_sites_t {
    std::vector<link_site_t> links;
    std::vector<chain_end_t> ends;
    std::vector<entry_site_t> entries;
    std::vector<block_site_t> blocks;
};

// The intact image's sites, walked on first use.
const image_sites_t& sitesOf(intact_t& intact);

}  // namespace damage_sweep
