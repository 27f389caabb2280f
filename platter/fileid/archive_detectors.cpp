#include "platter/fileid/archive_detectors.hpp"

#include <algorithm>

#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/metadata_items.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/petscii/file_type_names.hpp"

namespace platter::fileid {

namespace {

// C64 LHA archives hold stored and lh1-packed entries; the first entry's method
// field tells the archive.
bool isLhaMethod(std::span<const std::uint8_t> data, std::uint64_t offset) {
    return matchAt(data, offset, "-lh1-") || matchAt(data, offset, "-lh0-");
}

bool allZero(std::span<const std::uint8_t> data, std::uint64_t first, std::uint64_t last) {
    if (last >= data.size()) return false;
    return std::all_of(data.begin() + static_cast<std::ptrdiff_t>(first),
                       data.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                       [](std::uint8_t byte) { return byte == 0; });
}

// GEOS Convert files: the directory entry, the signature text, then the info block.
constexpr std::uint64_t kGeosStructure = 21;
constexpr std::uint64_t kGeosFileType = 22;
constexpr std::uint8_t kGeosVlir = 1;
constexpr std::uint64_t kSmallestVlirConvert = 769;
constexpr std::uint8_t kLastGeosFileType = 14;
constexpr std::uint64_t kGeosTextLength = 20;

// An info-block text: up to its first zero byte, at most 20 bytes, cut at the end
// of the data; an empty text gives no item.
void addGeosText(file_traits_t& traits, std::uint32_t key, std::span<const std::uint8_t> data, std::uint64_t offset) {
    if (offset >= data.size()) return;
    const auto field = data.subspan(offset, std::min(kGeosTextLength, data.size() - offset));
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    if (end != field.begin()) traits.metadata.push_back(file_metadata_t{key, {field.begin(), end}});
}

// Zipcode parts: a load address, then the header of the part's first sector.
constexpr std::uint8_t kTrackBits = 0x3F;

}  // namespace

file_traits_t detectWraptor(std::span<const std::uint8_t> data) {
    static constexpr std::uint8_t kMagic[] = {0xFF, 'B', 'L', 0xFF};
    return matchAt(data, 0, kMagic) ? recognised(type_id::wraptor_v3) : g_unknown_traits;
}

file_traits_t detectLibrary(std::span<const std::uint8_t> data) {
    return matchAt(data, 0, "DWB ") ? recognised(type_id::library) : g_unknown_traits;
}

file_traits_t detectArkive(std::span<const std::uint8_t> data) {
    if (!allZero(data, 20, 25) || data[0] == 0 || !isArkFileType(data[1])) return g_unknown_traits;
    return recognised(type_id::arkive);
}

file_traits_t detectArkiveSfx(std::span<const std::uint8_t> data) {
    if (!allZero(data, 21, 23) || !isArkFileType(data[1] & 0xCF) || (data[1] & 0x10) == 0) return g_unknown_traits;
    return recognised(type_id::arkive_sfx);
}

file_traits_t detectSpyne(std::span<const std::uint8_t> data) {
    return matchAt(data, 530, "SPYNE") ? recognised(type_id::spyne) : g_unknown_traits;
}

file_traits_t detectLha(std::span<const std::uint8_t> data) {
    return isLhaMethod(data, 2) ? recognised(type_id::lha) : g_unknown_traits;
}

file_traits_t detectLhaSfx(std::span<const std::uint8_t> data) {
    // The three extractor stubs, by where they put the first entry's method field.
    struct stub_t {
        std::uint64_t methodOffset;
        std::uint32_t key;
    };
    static constexpr stub_t kStubs[] = {
        {3723, metadata_key::unknown1},
        {3713, metadata_key::unknown2},
        {3653, metadata_key::unknown3},
    };
    for (const auto& stub : kStubs) {
        if (!isLhaMethod(data, stub.methodOffset)) continue;
        file_traits_t traits = recognised(type_id::lha_sfx);
        addFlag(traits, stub.key);
        return traits;
    }
    return g_unknown_traits;
}

file_traits_t detectArc(std::span<const std::uint8_t> data) {
    if (data.size() < 11) return g_unknown_traits;
    const std::uint8_t method = data[1];
    const std::uint8_t nameLength = data[10];
    const std::uint8_t typeLetter = data[9];
    const bool cbmType = typeLetter == 'P' || typeLetter == 'R' || typeLetter == 'S' || typeLetter == 'U';
    if (method > 5 || nameLength > 16 || !cbmType) return g_unknown_traits;
    if (data[0] == 1) return recognised(type_id::arc_v1);
    if (data[0] == 2) return recognised(type_id::arc_v2);
    return g_unknown_traits;
}

file_traits_t detectGeoConvert(std::span<const std::uint8_t> data) {
    if (!matchAt(data, 34, "formatted GEOS")) return g_unknown_traits;
    // A VLIR file holds at least its index block behind the two header blocks.
    if (data[kGeosStructure] == kGeosVlir && data.size() < kSmallestVlirConvert) return g_unknown_traits;
    file_traits_t traits = recognised(type_id::geo_convert);
    const std::uint8_t fileType = data[kGeosFileType];
    if (fileType >= 1 && fileType <= kLastGeosFileType)
        traits.metadata.push_back(file_metadata_t{metadata_key::geos_file_type, {fileType, 0}});
    addGeosText(traits, metadata_key::geos_class, data, 329);
    addGeosText(traits, metadata_key::geos_author, data, 349);
    addGeosText(traits, metadata_key::geos_parent, data, 369);
    return traits;
}

file_traits_t detectZip4(std::span<const std::uint8_t> data) {
    if (data.size() < 6) return g_unknown_traits;
    const std::uint16_t load = readLe16(data, 0);
    if (load == 0x03FE) {
        // Part 1 opens with track 1, sector 0 (the disk's id sits between).
        if ((data[4] & kTrackBits) == 1 && data[5] == 0) return recognised(type_id::zip4_part1);
        return g_unknown_traits;
    }
    if (load != 0x0400 || data[3] != 0) return g_unknown_traits;
    // The other parts start at their first track; the top bits flag the compression.
    switch (data[2] & kTrackBits) {
        case 9: return recognised(type_id::zip4_part2);
        case 17: return recognised(type_id::zip4_part3);
        case 26: return recognised(type_id::zip4_part4);
        case 36: return recognised(type_id::zip4_part5);
        default: return g_unknown_traits;
    }
}

file_traits_t detectZip6(std::span<const std::uint8_t> data) {
    if (data.size() < 4 || readLe16(data, 0) != 0x03FF) return g_unknown_traits;
    if ((data[2] != '$' && data[2] != ')') || data[3] != 'R') return g_unknown_traits;
    return recognised(type_id::zip6);
}

}  // namespace platter::fileid
