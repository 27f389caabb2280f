#include "app/listing_entry.hpp"

#include "app/entry_byte_facts.hpp"
#include "forge/numbers.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/open_container.hpp"
#include "platter/fileid/describe.hpp"

#include <optional>
#include <span>

namespace app {

namespace {

constexpr std::uint32_t kWhite = 7;

forge::text_attr_t foregroundOnly(std::uint32_t colour) { return {forge::kAttrForeground, colour, forge::kNoColor}; }

forge::text_attr_t foregroundOn(std::uint32_t colour, std::uint32_t background) {
    return {forge::kAttrForegroundBackground, colour, background};
}

// Bright green for the usual BASIC starts; then, each overriding the one
// before: partitions cyan, archives bright blue, DEL yellow, GEOS USR white on blue.
forge::text_attr_t nameColour(platter::Disk& disk, const listed_entry_t& listed) {
    if (disk.hasPartitionTable()) return foregroundOnly(3);
    if (!listed.dataRead) return foregroundOn(14, 4);
    if (listed.size == 0 || !listed.hasLoadAddress) return foregroundOnly(kWhite);
    const bool basicStart = listed.loadAddress == 0x0801 || listed.loadAddress == 0x1C01;
    forge::text_attr_t colour = foregroundOnly(basicStart ? 10 : kWhite);
    const std::uint8_t type = listed.entry.fileType();
    if (type == platter::kTypeCbm || type == platter::kTypeDir) colour = foregroundOnly(3);
    if (platter::isArchiveEntry(disk, &listed.entry)) colour = foregroundOnly(9);
    if (type == platter::kTypeDel) colour = foregroundOnly(6);
    if (type == platter::kTypeUsr && disk.isGeosFile(listed.entry)) colour = foregroundOn(kWhite, 1);
    return colour;
}

}  // namespace

listed_entry_t gatherEntry(platter::Disk& disk, std::uint64_t index, const platter::dir_entry_t& entry,
                           const entry_needs_t& needs) {
    listed_entry_t listed;
    listed.index = index;
    listed.entry = entry;
    listed.line = platter::listingLine(disk, entry);
    // A partition's colour needs none of its bytes, which may be megabytes, and its table's
    // entries have no chains of blocks.
    const bool readsData = needs.data || (needs.nameColour && !disk.hasPartitionTable());
    const bool readsBlocks = needs.blocks && !disk.hasPartitionTable();
    // The description may look at every byte (the text classifier counts them all), so a
    // listing that shows it holds the file; any other takes its facts as the bytes go by.
    EntryByteFacts facts(needs.hashes);
    platter::Disk::bytes_t data;
    if (readsData || readsBlocks) {
        std::vector<platter::track_sector_t>* blocks = needs.blocks ? &listed.blocks : nullptr;
        const platter::entry_sink_t take([&facts](std::span<const std::uint8_t> piece) { facts.take(piece); },
                                         facts.wantedBytes());
        // What a file cut short holds is listed as what it holds; one whose chain stopped early
        // (it turns back or leaves) is listed as unreadable, with a warning where it stopped.
        platter::entry_read_t read =
            needs.description ? disk.readEntry(entry, blocks) : disk.readEntry(entry, take, blocks);
        listed.dataRead = read.whole() || (read.outcome == platter::read_outcome::cutShort && read.stop.whole());
        listed.size = listed.dataRead ? read.size() : 0;
        listed.chainStop = read.stop;
        if (readsData && listed.dataRead) {
            data = std::move(read.bytes);
            facts.take(data);
            listed.dataLength = listed.size;
        }
    }
    // Bytes of a file not listed as read count as none.
    if (listed.dataLength == 0) facts = EntryByteFacts(needs.hashes);
    const std::optional<std::uint16_t> loadAddress = facts.loadAddress();
    listed.hasLoadAddress = loadAddress.has_value();
    listed.loadAddress = loadAddress.value_or(0);
    if (needs.hashes) {
        listed.xxh32 = facts.xxh32();
        listed.xxh3 = facts.xxh3();
    }
    if (needs.description) listed.description = platter::fileid::describe(data);
    if (needs.nameColour) listed.nameColour = nameColour(disk, listed);
    return listed;
}

std::string hashNotation(std::uint64_t value) {
    unsigned bytes = 1;
    while (bytes < 8 && (value >> (8 * bytes)) != 0) ++bytes;
    if (bytes > 1 && bytes % 2 != 0) ++bytes;
    return forge::toHex(value, 2 * bytes);
}

}  // namespace app
