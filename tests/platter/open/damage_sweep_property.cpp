// Opening a copy, listing and reading all of it, and the one property of the sweep.

#include <map>
#include <utility>

#include "platter/open/identified_format.hpp"
#include "platter/open/nested_container.hpp"
#include "platter/open/open_argument.hpp"
#include "tests/platter/open/damage_sweep.hpp"

namespace damage_sweep {

namespace {

using platter::Disk;
using platter::dir_entry_t;

// Far more than any fixture holds: a directory turned into a loop of entries ends here.
constexpr std::uint64_t kMaxEntries = 2000;
constexpr int kMaxDepth = 4;

std::string keyOf(const std::string& path, const dir_entry_t& entry) {
    std::string key = path + "/";
    for (std::uint8_t byte : entry.name()) key += static_cast<char>(byte);
    return key + ":" + std::to_string(entry.typeByte());
}

void walk(Disk& disk, const std::string& path, int depth, snapshot_t& seen) {
    if (!disk.damage().whole()) seen.reportNamed = true;
    for (std::uint64_t i = 0; i < kMaxEntries; ++i) {
        dir_entry_t entry;
        if (!disk.getEntry(i, false, entry)) break;
        const std::string key = keyOf(path, entry);
        platter::entry_read_t read = disk.readEntry(entry);
        const platter::nested_kind kind = platter::nestedKindOf(disk, entry);
        const bool holdsEntries = kind == platter::nested_kind::directory || kind == platter::nested_kind::partition;
        // An area's bytes hold the damage itself: what it holds is compared entry by entry.
        if (holdsEntries) read.bytes.clear();
        seen.entries.push_back({key, read.whole(), std::move(read.bytes)});
        if (depth >= kMaxDepth || !holdsEntries) continue;
        if (disk.partitionFault(entry) != platter::block_range_fault::none) {
            seen.entries.push_back({key + " (its area)", false, {}});
            continue;
        }
        if (kind == platter::nested_kind::directory) {
            platter::track_sector_t first;
            if (!disk.openDirectory(entry, first, false)) continue;
            walk(disk, key, depth + 1, seen);
            disk.closeDirectory(false);
        } else if (const std::shared_ptr<Disk> partition = disk.openPartition(entry)) {
            walk(*partition, key, depth + 1, seen);
        }
    }
}

}  // namespace

Bytes damage_t::apply(const Bytes& intact) const {
    Bytes copy = intact;
    for (const patch_t& patch : patches) {
        for (std::size_t i = 0; i < patch.bytes.size(); ++i) copy.at(patch.offset + i) = patch.bytes[i];
    }
    if (edit) edit(copy);
    return copy;
}

std::unique_ptr<Disk> openCopy(const std::string& name, Bytes bytes) {
    const std::uint32_t type = platter::firstIdentifiedType(bytes);
    return platter::openIdentifiedArgument(name, std::move(bytes), type).disk;
}

snapshot_t snapshotOf(Disk* disk) {
    snapshot_t seen;
    if (!disk) return seen;
    seen.opened = true;
    walk(*disk, "", 0, seen);
    return seen;
}

std::optional<std::string> violation(const snapshot_t& intact, const snapshot_t& damaged, const damage_t& damage) {
    const bool cut = damage.cut;
    // Refused whole: the opener said why.
    if (!damaged.opened) return std::nullopt;
    // A read names damage when it is not whole where the intact one was.
    bool readNamed = false;
    // The intact reads by key, each occurrence of a key in order.
    std::map<std::pair<std::string, std::size_t>, const entry_seen_t*> byKey;
    std::map<std::string, std::size_t> occurrences;
    for (const entry_seen_t& entry : intact.entries) byKey[{entry.key, occurrences[entry.key]++}] = &entry;
    occurrences.clear();
    bool differs = damaged.entries.size() != intact.entries.size();
    for (std::size_t i = 0; i < damaged.entries.size(); ++i) {
        const entry_seen_t& entry = damaged.entries[i];
        const auto found = byKey.find({entry.key, occurrences[entry.key]++});
        const bool same = found != byKey.end() && found->second->whole && entry.whole &&
                          found->second->bytes == entry.bytes;
        if (i >= intact.entries.size() || intact.entries[i].key != entry.key) differs = true;
        if (same) continue;
        const bool wasWhole = found == byKey.end() || found->second->whole;
        if (!entry.whole) {
            readNamed = readNamed || wasWhole;
            differs = differs || wasWhole;
            continue;
        }
        differs = true;
        if (found == byKey.end())
            return "entry " + entry.key + " is not in the intact listing and reads whole (" +
                   std::to_string(entry.bytes.size()) + " bytes)";
        return "entry " + entry.key + " reads whole as " + std::to_string(entry.bytes.size()) + " bytes, intact " +
               std::to_string(found->second->bytes.size()) + (found->second->whole ? "" : " (not whole)");
    }
    const bool named = damaged.reportNamed || (!cut && readNamed);
    if (damage.mustBeNamed && !named) return "every read is whole and nothing names the damage";
    if (differs && !named)
        return cut ? "the cut is named by no damage report (" + std::to_string(damaged.entries.size()) + " of " +
                         std::to_string(intact.entries.size()) + " entries listed)"
                   : "the listing differs (" + std::to_string(damaged.entries.size()) + " of " +
                         std::to_string(intact.entries.size()) + " entries) and nothing names it";
    return std::nullopt;
}

}  // namespace damage_sweep
