#include "platter/open/open_zipcode.hpp"

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "forge/files.hpp"
#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/petscii/string_parts.hpp"
#include "platter/petscii/zipcode_names.hpp"

namespace platter {

namespace {

constexpr int kParts = kZipcodeParts;

// Gives part k's bytes; false when it cannot be read, with `missing` set when the set has no
// such part.
using part_reader = std::function<bool(int k, std::vector<std::uint8_t>& bytes, bool& missing)>;

// Part 1 is told by its load address, 0x03FE; the others load at 0x0400.
bool isFirstPart(std::span<const std::uint8_t> part) { return part.size() >= 4 && part[0] == 0xfe && part[1] == 0x03; }

std::string partName(int part, const std::string& base) { return std::to_string(part) + "!" + base; }

// Decodes the parts into a fresh D64 in the order 5 to 1: part 5 makes the image 40 tracks
// before the others fill tracks 1-35. A part that is missing (or too short to hold a block),
// unreadable, no part or cut short leaves (some of) its tracks empty, is named in a warning
// and makes the image one that is never saved; no image when no part decoded at all.
open_result_t decodeSet(const std::string& base, const part_reader& readPart) {
    auto disk = std::make_unique<Disk41>();
    if (!disk->open({}, false)) return {};
    std::vector<std::string> gaps;
    bool decodedAny = false;
    for (int k = kParts; k >= 1; --k) {
        std::vector<std::uint8_t> part;
        bool missing = false;
        const bool read = readPart(k, part, missing);
        if (read && part.size() < kSmallestZipcodePart) missing = true;
        if (!read || missing) {
            if (missing && k == kParts) continue;  // a 35-track set
            disk->setLastError(missing ? kErrOpenFile : kErrHostRead);
            gaps.push_back("zipcode part '" + partName(k, base) + "' " +
                                      (missing ? "is missing" : "could not be read") + "; its tracks are empty");
            continue;
        }
        // Another part's file in the place of part 1 would fill the tracks of that part.
        const std::optional<zip4_part_gaps_t> empty =
            k == 1 && !isFirstPart(part) ? std::nullopt : disk->unpackZip4Part(part, static_cast<unsigned>(k));
        if (!empty) {
            gaps.push_back("'" + partName(k, base) + "' is no zipcode part; its tracks are empty");
            continue;
        }
        if (empty->emptyBlocks != 0) gaps.push_back(zip4GapsWarning(partName(k, base), *empty));
        decodedAny = true;
    }
    if (!decodedAny) return {nullptr, "the zipcode set '" + base + "' has no valid part"};
    const std::uint32_t error = disk->lastError();
    // Opening again reads the directory the parts wrote.
    if (!disk->open({}, false)) return {};
    disk->setLastError(error);
    if (!gaps.empty()) disk->markIncomplete();
    for (std::string& gap : gaps) disk->noteDamage(std::move(gap));
    return {std::move(disk), {}};
}

// A part's data alone are no disk: the set is found by its part names.
open_result_t notAPartName() { return {nullptr, "a zipcode part needs its sibling files, named 1!NAME to 4!NAME"}; }

}  // namespace

std::string zip4GapsWarning(const std::string& part, const zip4_part_gaps_t& gaps) {
    if (gaps.emptyBlocks == 0) return {};
    const std::string count = std::to_string(gaps.emptyBlocks) + " block" + forge::plural("s", gaps.emptyBlocks);
    const std::string are = gaps.emptyBlocks == 1 ? " is" : " are";
    if (gaps.cutShort) return "zipcode part '" + part + "' is cut short; " + count + " of its tracks" + are + " empty";
    return "zipcode part '" + part + "' has no record of " + count + " of its tracks; they are empty";
}

open_result_t openZipcodeFiles(const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes) {
    const std::string fileName = path.filename().string();
    const std::string base = afterFirst(fileName, '!');
    const std::filesystem::path directory = path.parent_path();
    const int given = bytes && isZipcodePartName(fileName) ? fileName[0] - '0' : 0;
    open_result_t result = decodeSet(base, [&](int k, std::vector<std::uint8_t>& part, bool& missing) {
        missing = false;
        if (k == given) {
            part = *bytes;
            return true;
        }
        const std::filesystem::path file = directory / partName(k, base);
        missing = !forge::exists(file.string());
        forge::file_t read;
        if (missing || !forge::readFile(file.string(), read)) return false;
        part = std::move(read.data);
        return true;
    });
    // Saved beside the parts as NAME.d64, never over a part.
    if (result.disk) result.disk->setPathForFormat(directory / base);
    return result;
}

open_result_t openZipcodeSet(Disk& disk, const dir_entry_t& entry, const std::vector<std::uint8_t>* bytes) {
    if (!isZipcodePartEntry(entry)) return notAPartName();
    const auto name = entry.name();
    const int given = bytes ? name[0] - '0' : 0;
    const std::string base = zipcodeSetName(entry);
    // Scratched entries of the same name hold no part.
    const bool includeEmpty = disk.includeEmpty();
    disk.setIncludeEmpty(false);
    open_result_t result = decodeSet(base, [&](int k, std::vector<std::uint8_t>& part, bool& missing) {
        missing = false;
        if (k == given) {
            part = *bytes;
            return true;
        }
        std::array<std::uint8_t, dir_entry_t::kNameLength> partEntry;
        std::copy(name.begin(), name.end(), partEntry.begin());
        partEntry[0] = static_cast<std::uint8_t>('0' + k);
        std::uint64_t index = 0;
        missing = !disk.findEntryByName(partEntry, index, false);
        return !missing && disk.readFileByIndex(index, false, part);
    });
    disk.setIncludeEmpty(includeEmpty);
    if (result.disk) result.disk->setPathForFormat(base);
    return result;
}

open_result_t openZipcodeKind(format_id, const std::filesystem::path& path, const std::vector<std::uint8_t>* bytes) {
    if (!isZipcodePartPath(path.string()) || !forge::exists(path.string())) return notAPartName();
    return openZipcodeFiles(path, bytes);
}

}  // namespace platter
