// The walk of an intact CBM DOS image that finds the sweep's sites: the directory and its
// entries, every file chain, GEOS info blocks and record tables, REL side sectors, and the
// directories of partitions and subdirectories, each link with the blocks it may be pointed at.

#include "tests/platter/open/damage_sweep_sites.hpp"

#include <cstring>
#include <optional>

#include "platter/open/nested_container.hpp"

namespace damage_sweep {

namespace {

using platter::Disk;
using platter::dir_entry_t;
using platter::makeBlock;
using platter::track_sector_t;

constexpr int kMaxSiteDepth = 2;

std::string nameText(const dir_entry_t& entry) {
    std::string name;
    for (std::uint8_t byte : entry.name()) {
        if (byte == 0xa0) break;
        name += byte >= 0x20 && byte < 0x7f ? static_cast<char>(byte) : '?';
    }
    return "\"" + name + "\"";
}

// One directory the walk is in: its image (the host or a partition's view), its header and
// BAM, and for a partition on the host a block just outside its area.
struct level_t {
    Disk& disk;
    std::string prefix;  // "", "partition " or "subdirectory "
    track_sector_t header;
    std::optional<track_sector_t> bam;
    std::optional<track_sector_t> outside;
};

std::optional<track_sector_t> firstBamBlock(Disk& disk) {
    const track_sector_t header = disk.headerBlock();
    const track_sector_t start = disk.directoryStart();
    for (std::uint64_t track : {header.track, start.track, header.track - 1, header.track + 1}) {
        if (track == 0 || track > disk.trackCount()) continue;
        for (std::uint64_t sector = 0; sector <= disk.maxSector(track); ++sector) {
            if (disk.isBamBlock(makeBlock(track, sector))) return makeBlock(track, sector);
        }
    }
    return std::nullopt;
}

// A block of the host just outside a 1581 partition's area.
std::optional<track_sector_t> outsideArea(Disk& disk, const dir_entry_t& entry) {
    const std::uint64_t perTrack = disk.maxSector(entry.firstBlock().track) + 1;
    const std::uint64_t first = (entry.firstBlock().track - 1) * perTrack + entry.firstBlock().sector;
    const std::uint64_t outside = first > 0 ? first - 1 : first + entry.blockCount();
    if (outside / perTrack + 1 > disk.trackCount()) return std::nullopt;
    return makeBlock(outside / perTrack + 1, outside % perTrack);
}

class SiteWalk {
public:
    explicit SiteWalk(intact_t& intact)
        : intact_(intact), base_(intact.disk->providerData(0)), size_(intact.bytes.size()) {}

    image_sites_t walk() {
        Disk& disk = *intact_.disk;
        const level_t top{disk, "", disk.headerBlock(), firstBamBlock(disk), std::nullopt};
        if (const std::optional<std::size_t> at = offsetOf(disk, top.header)) {
            block(*at, "the header");
            if (intact_.bytes[*at] != 0) links(top, "header", *at, top.header, blockText(top.header), false);
        }
        if (top.bam) {
            if (const std::optional<std::size_t> at = offsetOf(disk, *top.bam)) block(*at, "a BAM block");
        }
        walkLevel(top, 0);
        return std::move(sites_);
    }

private:
    std::optional<std::size_t> offsetOf(const std::uint8_t* data, std::size_t length) const {
        if (!data || !base_ || data < base_ || data + length > base_ + size_) return std::nullopt;
        const std::size_t offset = static_cast<std::size_t>(data - base_);
        // Kinds whose file is not their blocks (raw tracks, packed images) have no sites.
        if (std::memcmp(intact_.bytes.data() + offset, data, length) != 0) return std::nullopt;
        return offset;
    }
    std::optional<std::size_t> offsetOf(Disk& disk, const track_sector_t& at) const {
        return offsetOf(disk.blockPointer(at), Disk::kBlockSize);
    }

    void block(std::size_t at, const std::string& role) {
        sites_.blocks.push_back({role, at / Disk::kBlockSize});
    }

    void walkLevel(const level_t& level, int depth) {
        Disk& disk = level.disk;
        const std::vector<track_sector_t> directory = disk.directoryChain();
        for (const track_sector_t& dirBlock : directory) {
            if (const std::optional<std::size_t> at = offsetOf(disk, dirBlock)) {
                links(level, "directory", *at, dirBlock, blockText(dirBlock), false);
                if (depth == 0) block(*at, "a directory block");
            }
        }
        for (std::uint64_t i = 0; i < 2000; ++i) {
            track_sector_t holder;
            std::uint64_t slot = 0;
            const std::uint8_t* stored = disk.locateEntry(i, false, &holder, &slot);
            if (!stored) break;
            const dir_entry_t entry = dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, dir_entry_t::kSize));
            if (const std::optional<std::size_t> at = offsetOf(stored, dir_entry_t::kSize))
                walkEntry(level, entry, *at, holder, depth);
        }
    }

    void walkEntry(const level_t& level, const dir_entry_t& entry, std::size_t at, const track_sector_t& holder,
                   int depth) {
        Disk& disk = level.disk;
        const std::string name = level.prefix + nameText(entry);
        const platter::nested_kind kind = platter::nestedKindOf(disk, entry);
        if (kind == platter::nested_kind::partition) {
            sites_.entries.push_back({level.prefix, name, at, entry_role::tableEntry});
            const std::shared_ptr<Disk> view = depth < kMaxSiteDepth ? disk.openPartition(entry) : nullptr;
            if (view) walkLevel(level_t{*view, "partition ", view->headerBlock(), firstBamBlock(*view), {}}, depth + 1);
            return;
        }
        if (entry.firstBlock().track != 0) links(level, "entry start", at + 3, holder, name, true);
        if (kind == platter::nested_kind::directory) {
            const bool partition = entry.fileType() == platter::kTypeCbm;
            sites_.entries.push_back(
                {level.prefix, name, at, partition ? entry_role::partition : entry_role::subdirectory});
            track_sector_t first;
            if (depth >= kMaxSiteDepth || !disk.openDirectory(entry, first, false)) return;
            level_t inner{disk, partition ? "partition " : "subdirectory ", entry.firstBlock(), level.bam, {}};
            if (partition) {
                inner.bam = makeBlock(entry.firstBlock().track, entry.firstBlock().sector + 1);
                inner.outside = outsideArea(disk, entry);
            }
            walkLevel(inner, depth + 1);
            disk.closeDirectory(false);
            return;
        }
        sites_.entries.push_back({level.prefix, name, at, entry_role::file});
        if (disk.isGeosFile(entry)) {
            links(level, "GEOS info", at + 21, holder, name, true);
            if (entry.geosStructure() == 1) {
                walkRecords(level, entry, name, depth);
                return;
            }
        }
        chain(level, "file", entry.firstBlock(), name, depth);
        if (entry.fileType() == platter::kTypeRel) chain(level, "side sector", entry.sideBlock(), name, depth);
    }

    // A VLIR file: the record links of its index block and the chain of each record.
    void walkRecords(const level_t& level, const dir_entry_t& entry, const std::string& name, int depth) {
        Disk& disk = level.disk;
        const track_sector_t index = entry.firstBlock();
        const std::optional<std::size_t> at = offsetOf(disk, index);
        if (!at) return;
        const std::uint8_t* data = intact_.bytes.data() + *at;
        std::size_t last = 0;
        for (std::size_t record = 0; record < 127; ++record)
            if (data[2 + 2 * record] != 0) last = record;
        for (std::size_t record = 0; record < 127; ++record) {
            const std::uint8_t track = data[2 + 2 * record];
            if (track == 0) continue;
            const std::string where = name + " record " + std::to_string(record);
            // The last record's link at 0/0 is the table's end mark: a valid file of one record
            // fewer, which no reader can tell from this one, so that copy is not made.
            links(level, "VLIR record", *at + 2 + 2 * record, index, where, true, record != last);
            chain(level, "VLIR record chain", makeBlock(track, data[3 + 2 * record]), where, depth);
        }
    }

    void chain(const level_t& level, const std::string& what, const track_sector_t& start, const std::string& name,
               int depth) {
        std::vector<track_sector_t> blocks;
        level.disk.chainStop(start, platter::walk_kind::file, &blocks);
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const std::optional<std::size_t> at = offsetOf(level.disk, blocks[i]);
            if (!at) continue;
            const std::string where = name + " block " + std::to_string(i);
            links(level, what, *at, blocks[i], where, true);
            if (depth == 0 && i < 2) block(*at, i == 0 ? "a file's first block" : "a file's second block");
            if (i + 1 == blocks.size() && intact_.bytes[*at] == 0)
                sites_.ends.push_back({level.prefix + what, where, *at});
        }
    }

    // The two link bytes at `at`, in a block `self` of the level, with every target (0/0 only
    // with `atZero`).
    void links(const level_t& level, const std::string& chainName, std::size_t at, const track_sector_t& self,
               const std::string& where, bool fileChain, bool atZero = true) {
        Disk& disk = level.disk;
        link_site_t site{level.prefix + chainName, where, at, {}};
        const auto add = [&](const std::string& target, const track_sector_t& to) {
            if (to.track <= 255 && to.sector <= 255) site.targets.emplace_back(target, to);
        };
        add("past the image", makeBlock(disk.trackCount() + 1, 0));
        if (self.track >= 1 && self.track <= disk.trackCount())
            add("past its track", makeBlock(self.track, disk.maxSector(self.track) + 1));
        if (level.outside) add("outside its area", *level.outside);
        add("at the header", level.header);
        if (level.bam) add("at the BAM", *level.bam);
        if (fileChain) add("at the directory", disk.directoryStart());
        add("at itself", self);
        if (atZero) add("at 0/0", makeBlock(0, 0));
        sites_.links.push_back(std::move(site));
    }

    intact_t& intact_;
    const std::uint8_t* base_;
    std::size_t size_;
    image_sites_t sites_;
};

}  // namespace

const image_sites_t& sitesOf(intact_t& intact) {
    if (!intact.sites) intact.sites = std::make_shared<const image_sites_t>(SiteWalk(intact).walk());
    return *intact.sites;
}

}  // namespace damage_sweep
