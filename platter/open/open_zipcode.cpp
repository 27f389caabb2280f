#include "platter/open/open_zipcode.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "forge/files.hpp"
#include "forge/paths.hpp"
#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/partial_data_provider.hpp"
#include "platter/core/zipcode_part.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/petscii/zipcode_names.hpp"

namespace platter {

namespace {

// An empty part 5: decoding it makes the image 40 tracks, as a whole part 5 does first.
constexpr std::array<std::uint8_t, 2> kEmptyLaterPart = {0x00, 0x04};

std::string blockList(const std::vector<track_sector_t>& blocks) {
    std::string text;
    for (const track_sector_t& block : blocks)
        text += (text.empty() ? "" : ", ") + std::to_string(block.track) + "." + std::to_string(block.sector);
    return text;
}

// What decoding a part left undone, in one note each.
void noteGaps(const std::string& part, const zip4_part_gaps_t& gaps, std::vector<std::string>& notes) {
    if (const std::uint64_t empty = gaps.unreached.size(); empty != 0) {
        const std::string count = std::to_string(empty) + " block" + forge::plural("s", empty);
        const std::string are = empty == 1 ? " is" : " are";
        if (gaps.cutShort)
            notes.push_back("zipcode part '" + part + "' is cut short; " + count + " of its tracks" + are + " empty");
        else
            notes.push_back("zipcode part '" + part + "' has no record of " + count + " of its tracks; they are empty");
    }
    if (gaps.undecodable.size() == 1)
        notes.push_back("zipcode part '" + part + "' has a record of block " + blockList(gaps.undecodable) +
                        " that does not decode; the block is empty");
    else if (!gaps.undecodable.empty())
        notes.push_back("zipcode part '" + part + "' has records of blocks " + blockList(gaps.undecodable) +
                        " that do not decode; the blocks are empty");
    if (gaps.stray != zip4_part_gaps_t::stray_record::none) {
        const bool repeated = gaps.stray == zip4_part_gaps_t::stray_record::repeated;
        notes.push_back("zipcode part '" + part + "' has " + (repeated ? "a second record" : "a record") +
                        " of block " + blockList({gaps.strayBlock}) + (repeated ? "" : ", outside its tracks") +
                        "; it and the records after it were left out");
    }
}

// Every block of part `number`'s tracks, for a part that gave none of them.
void appendPartBlocks(const Disk& disk, unsigned number, std::vector<track_sector_t>& blocks) {
    const std::uint64_t end = std::min<std::uint64_t>(kZipcodePartFirstTrack[number], disk.trackCount() + 1);
    for (std::uint64_t track = kZipcodePartFirstTrack[number - 1]; track < end; ++track) {
        for (std::uint64_t sector = 0; sector <= disk.maxSector(track); ++sector)
            blocks.push_back(makeBlock(track, sector));
    }
}

struct decoded_set_t {
    std::unique_ptr<Disk41> disk;
    std::vector<std::string> gaps;
    std::vector<track_sector_t> noData;  // blocks the set gave no whole record of
    bool decodedAny = false;
};

// Decodes the parts into a fresh D64 in the order 5 to 1: part 5 makes the image 40 tracks
// before the others fill tracks 1-35.
decoded_set_t decodeParts(const zipcode_set_t& set, bool fortyTracks) {
    decoded_set_t out{std::make_unique<Disk41>(), {}, {}, false};
    Disk41& disk = *out.disk;
    disk.adoptDataProvider(std::make_unique<PartialDataProvider>());
    disk.keepTracksOfSize();
    if (!disk.open({}, false)) return {};
    for (unsigned k = static_cast<unsigned>(set.parts.size()); k >= 1; --k) {
        const zipcode_part_t& part = set.parts[k - 1];
        const bool partFive = k == kZipcodeParts;
        const bool read = part.state == zipcode_part_state::read;
        const std::optional<zip4_part_gaps_t> gaps = read ? disk.unpackZip4Part(part.bytes, k) : std::nullopt;
        if (partFive && fortyTracks && !gaps) disk.unpackZip4Part(kEmptyLaterPart, k);
        if (gaps) {
            noteGaps(part.name, *gaps, out.gaps);
            out.noData.insert(out.noData.end(), gaps->unreached.begin(), gaps->unreached.end());
            out.noData.insert(out.noData.end(), gaps->undecodable.begin(), gaps->undecodable.end());
            out.decodedAny = true;
            continue;
        }
        if (partFive && !fortyTracks) continue;  // a 35-track set
        appendPartBlocks(disk, k, out.noData);
        // Another part's file in the place of this one would fill the tracks of that part.
        if (read) {
            out.gaps.push_back("'" + part.name + "' is no zipcode part; its tracks are empty");
            continue;
        }
        disk.setLastError(part.missing() ? kErrOpenFile : kErrHostRead);
        out.gaps.push_back(missingPartNote(part));
    }
    return out;
}

// Parts 1-4 whose BAM has blocks of tracks 36-40 in use are those of a 40-track disk whose
// part 5 is lost; without any, nothing lies past track 35 (a set zip -4 made of such a disk).
bool claimsFortyTracks(Disk41& disk) {
    const std::uint8_t* bam = disk.sectorPointer(disk.headerBlock());
    return bam && Disk41::extendedBamUsesBlocks({bam, Disk::kBlockSize});
}

// A part's data alone are no disk: the set is found by its part names.
open_result_t notAPartName() { return {nullptr, "a zipcode part needs its sibling files, named 1!NAME to 4!NAME"}; }

}  // namespace

open_result_t decodeZipcodeSet(const zipcode_set_t& set) {
    if (set.sixParts) return notAPartName();
    const bool partFive = set.parts.size() == kZipcodeParts && set.parts.back().state != zipcode_part_state::absent;
    decoded_set_t decoded = decodeParts(set, partFive);
    if (!partFive && decoded.disk && claimsFortyTracks(*decoded.disk)) decoded = decodeParts(set, true);
    if (!decoded.disk) return {};
    if (!decoded.decodedAny) return {nullptr, "the zipcode set '" + set.name + "' has no valid part"};
    Disk41& disk = *decoded.disk;
    const std::uint32_t error = disk.lastError();
    // Opening again reads the directory the parts wrote.
    if (!disk.open({}, false)) return {};
    disk.setLastError(error);
    if (!decoded.gaps.empty()) disk.markIncomplete();
    // The blocks the set lacks hold no data: a read through one is not whole.
    auto& provider = static_cast<PartialDataProvider&>(*disk.dataProvider());
    for (const track_sector_t& block : decoded.noData) provider.markNoData(disk.blockOffset(block));
    for (std::string& gap : decoded.gaps) disk.noteDamage(std::move(gap));
    return {std::move(decoded.disk), {}};
}

open_result_t openZipcodeFiles(const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes) {
    zipcode_set_t set = findZipcodeSet(path.string());
    if (set.sixParts) return notAPartName();
    const std::optional<zipcode_part_name_t> named = zipcodePartName(forge::fileName(path.string()));
    readZipcodeParts(set, bytes && named ? named->number : 0, bytes);
    open_result_t result = decodeZipcodeSet(set);
    // Saved beside the parts as NAME.d64, never over a part.
    if (result.disk) result.disk->setPathForFormat(set.directory + set.name);
    return result;
}

open_result_t openZipcodeSet(Disk& disk, const dir_entry_t& entry, const std::vector<std::uint8_t>* bytes) {
    if (!isZipcodePartEntry(entry)) return notAPartName();
    const auto name = entry.name();
    zipcode_set_t set = namedZipcodeSet({}, zipcodeSetName(entry), false);
    // Scratched entries of the same name hold no part.
    const bool includeEmpty = disk.includeEmpty();
    disk.setIncludeEmpty(false);
    for (unsigned k = 1; k <= set.parts.size(); ++k) {
        zipcode_part_t& part = set.parts[k - 1];
        if (bytes && name[0] == '0' + k) {
            takePartBytes(part, *bytes, false);
            continue;
        }
        std::array<std::uint8_t, dir_entry_t::kNameLength> partEntry;
        std::copy(name.begin(), name.end(), partEntry.begin());
        partEntry[0] = static_cast<std::uint8_t>('0' + k);
        std::uint64_t index = 0;
        if (!disk.findEntryByName(partEntry, index, false)) continue;
        std::vector<std::uint8_t> data;
        if (disk.readFileByIndex(index, false, data))
            takePartBytes(part, std::move(data), false);
        else
            part.state = zipcode_part_state::unreadable;
    }
    disk.setIncludeEmpty(includeEmpty);
    open_result_t result = decodeZipcodeSet(set);
    if (result.disk) result.disk->setPathForFormat(set.name);
    return result;
}

open_result_t openZipcodeKind(format_id, const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes) {
    if (!isZip4PartName(forge::fileName(path.string())) || !forge::exists(path.string())) return notAPartName();
    return openZipcodeFiles(path, bytes);
}

}  // namespace platter
