#pragma once
// The damage sweep: damaged copies of every fixture kind, each made by an operator from the
// intact bytes, opened in process, listed and read, and held to one property against the
// intact copy.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platter/core/disk.hpp"

namespace damage_sweep {

using Bytes = std::vector<std::uint8_t>;

// Bytes written over the image at an offset.
struct patch_t {
    std::size_t offset = 0;
    Bytes bytes;
};

// One damaged copy. `op` names the operator (a row of the sweep with the fixture), `where`
// the site it hit; the copy is the intact bytes with `patches` written, then `edit` applied.
struct damage_t {
    std::string op;
    std::string where;
    std::vector<patch_t> patches;
    std::function<void(Bytes&)> edit;
    // The copy lacks bytes of the intact one (a cut): only the damage report can tell that
    // from a chain that leaves, so a read that differs must be named there.
    bool cut = false;
    // The damage lies where the reads pass and changes none of their bytes (an error byte on
    // a block they read): it must be named, whatever the reads give.
    bool mustBeNamed = false;

    Bytes apply(const Bytes& intact) const;
};

struct image_sites_t;

// The intact image an operator walks to find its sites.
struct intact_t {
    std::string name;  // the fixture, e.g. "d64/base.d64"
    Bytes bytes;
    std::unique_ptr<platter::Disk> disk;
    // The sites of its chains and entries, walked once (damage_sweep_sites.cpp).
    std::shared_ptr<const image_sites_t> sites;
};

using operator_t = std::function<std::vector<damage_t>(intact_t&)>;

// The container the bytes hold, opened as `zt` opens a file of that name (identified first,
// its extension the fallback); null when it does not open, which names the damage.
std::unique_ptr<platter::Disk> openCopy(const std::string& name, Bytes bytes);

// What listing and reading every entry gave, subdirectories and partitions included.
struct entry_seen_t {
    std::string key;  // path of names and type bytes; an area refused gets an entry of its own
    bool whole = false;
    Bytes bytes;
};
struct snapshot_t {
    bool opened = false;
    bool reportNamed = false;  // some damage report (the image's, a partition's) is not whole
    std::vector<entry_seen_t> entries;
};
snapshot_t snapshotOf(platter::Disk* disk);

// The property: every read is whole and equal to the intact one, or the damage is named (in
// a report or a read) and every read that differs is not whole. What breaks it, or nothing.
std::optional<std::string> violation(const snapshot_t& intact, const snapshot_t& damaged, const damage_t& damage);

// ---- Operators (damage_sweep_operators.cpp) ----
// Cut to every size in `sizes` below the intact size, and to a few of its own.
operator_t cuts(std::vector<std::size_t> sizes);
// Every link of every chain of a CBM DOS image (directory, header, entry start, file, side
// sector, GEOS info and record, partition directory), pointed past the image, past its track,
// outside its area, at a structure block, at itself and at 0/0.
std::vector<damage_t> chainLinks(intact_t& intact);
// Every file's last-block byte one lower, one higher, 0, 1 and 255.
std::vector<damage_t> lastBlockBytes(intact_t& intact);
// Every entry's block count one lower, one higher, 0 and 65535.
std::vector<damage_t> entryBlockCounts(intact_t& intact);
// A 1581 partition's size one lower, one higher, 0, its maximum and the sizes that are no
// whole tracks of at least 120 blocks.
std::vector<damage_t> partitionSizes(intact_t& intact);
// A CMD partition table entry's start and size one lower, one higher, 0 and their maximum.
std::vector<damage_t> cmdTableFields(intact_t& intact);
// An error table appended (all blocks good, then one read error on a structure or data block).
std::vector<damage_t> errorBytes(intact_t& intact);
// A T64's entry counts, addresses and offsets.
std::vector<damage_t> t64Fields(intact_t& intact);
// A Lynx archive's directory block count, entry count, block counts and last-block bytes.
std::vector<damage_t> lynxFields(intact_t& intact);
// Junk after the end of an archive or tape.
std::vector<damage_t> appendedJunk(intact_t& intact);

}  // namespace damage_sweep
