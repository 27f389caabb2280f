#include "platter/fileid/image_detectors.hpp"

#include "platter/fileid/bam_entries.hpp"
#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/metadata_items.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

constexpr std::uint64_t kBlockSize = 256;
constexpr std::uint64_t kD64HeaderBlock = 0x16500;  // track 18, sector 0
constexpr std::uint64_t kD81HeaderBlock = 0x61800;  // track 40, sector 0
constexpr std::uint64_t kGeosSignatureOffset = 0xAD;
constexpr std::string_view kGeosSignature = "GEOS format V1.0";

// Image size in bytes of `blocks` blocks, with or without one error byte per block.
constexpr std::uint64_t imageSize(std::uint64_t blocks, bool errorBytes) {
    return blocks * kBlockSize + (errorBytes ? blocks : 0);
}

// The plain and error-byte types of an image kind of `blocks` blocks.
file_traits_t bySize(std::span<const std::uint8_t> data, std::uint64_t blocks, std::uint32_t plain,
                     std::uint32_t withErrors) {
    if (data.size() == imageSize(blocks, false)) return recognised(plain);
    if (data.size() == imageSize(blocks, true)) return recognised(withErrors);
    return g_unknown_traits;
}

// A CMD FD image of 81 drive tracks of `driveSectors` sectors: its size, and the system header
// on the last track's sector 5, without which a larger kind cut to this size would pass as
// an empty image of this kind.
file_traits_t cmdFloppy(std::span<const std::uint8_t> data, std::uint64_t driveSectors, std::uint32_t plain,
                        std::uint32_t withErrors) {
    constexpr std::uint64_t kHeaderTextAt = 240;
    file_traits_t traits = bySize(data, 81 * driveSectors, plain, withErrors);
    if (!matchAt(data, (80 * driveSectors + 5) * kBlockSize + kHeaderTextAt, "CMD FD SERIES")) return g_unknown_traits;
    return traits;
}

// Keys 2 to 4: the 40-track BAM layouts whose five extra entries look sane.
void addExtendedBamLayouts(file_traits_t& traits, std::span<const std::uint8_t> header) {
    if (bamEntriesConsistent(header, 0xC0, 5)) addFlag(traits, metadata_key::speed_dos);
    if (bamEntriesConsistent(header, 0xAC, 5)) addFlag(traits, metadata_key::dolphin_dos);
    if (bamEntriesConsistent(header, 0x90, 5)) addFlag(traits, metadata_key::prologic_dos);
}

void addBootSector(file_traits_t& traits, std::span<const std::uint8_t> data) {
    if (matchAt(data, 0, "CBM")) addFlag(traits, metadata_key::c128_boot);
}

void addGeosDisk(file_traits_t& traits, std::span<const std::uint8_t> data, std::uint64_t headerBlock) {
    if (matchAt(data, headerBlock + kGeosSignatureOffset, kGeosSignature)) addFlag(traits, metadata_key::geos);
}

// The header block of a D64, or an empty view when the data ends before it.
std::span<const std::uint8_t> d64Header(std::span<const std::uint8_t> data) {
    if (data.size() < kD64HeaderBlock + kBlockSize) return {};
    return data.subspan(kD64HeaderBlock, kBlockSize);
}

}  // namespace

file_traits_t detectD64(std::span<const std::uint8_t> data) {
    struct size_type_t {
        std::uint64_t blocks;
        std::uint32_t plain;
        std::uint32_t withErrors;
    };
    static constexpr size_type_t kLayouts[] = {
        {683, type_id::d64_35, type_id::d64_35_e},
        {768, type_id::d64_40, type_id::d64_40_e},
        {802, type_id::d64_42, type_id::d64_42_e},
    };
    for (const auto& layout : kLayouts) {
        file_traits_t traits = bySize(data, layout.blocks, layout.plain, layout.withErrors);
        if (traits.type == type_id::unknown) continue;
        addBootSector(traits, data);
        addGeosDisk(traits, data, kD64HeaderBlock);
        addExtendedBamLayouts(traits, d64Header(data));
        return traits;
    }
    return g_unknown_traits;
}

file_traits_t detectD64Truncated(std::span<const std::uint8_t> data) {
    // The BAM entries of tracks 1 to 35 decide whether this is a cut-off D64.
    const auto header = d64Header(data);
    if (!bamEntriesConsistent(header, 4, 35)) return g_unknown_traits;
    file_traits_t traits = recognised(type_id::d64_truncated);
    addExtendedBamLayouts(traits, header);
    return traits;
}

file_traits_t detectD71(std::span<const std::uint8_t> data) {
    file_traits_t traits = bySize(data, 1366, type_id::d71, type_id::d71_e);
    if (traits.type != type_id::unknown) addBootSector(traits, data);
    return traits;
}

file_traits_t detectD81(std::span<const std::uint8_t> data) {
    file_traits_t traits = bySize(data, 3200, type_id::d81, type_id::d81_e);
    if (traits.type != type_id::unknown) addGeosDisk(traits, data, kD81HeaderBlock);
    return traits;
}

file_traits_t detectD80(std::span<const std::uint8_t> data) { return bySize(data, 2083, type_id::d80, type_id::d80_e); }

file_traits_t detectD82(std::span<const std::uint8_t> data) { return bySize(data, 4166, type_id::d82, type_id::d82_e); }

file_traits_t detectD1M(std::span<const std::uint8_t> data) {
    return cmdFloppy(data, 40, type_id::d1m, type_id::d1m_e);
}

file_traits_t detectD2M(std::span<const std::uint8_t> data) {
    return cmdFloppy(data, 80, type_id::d2m, type_id::d2m_e);
}

file_traits_t detectD4M(std::span<const std::uint8_t> data) {
    return cmdFloppy(data, 160, type_id::d4m, type_id::d4m_e);
}

file_traits_t detectG64(std::span<const std::uint8_t> data) {
    return matchAt(data, 0, "GCR-1541") ? recognised(type_id::g64) : g_unknown_traits;
}

file_traits_t detectNib(std::span<const std::uint8_t> data) {
    constexpr std::uint64_t kVersionOffset = 13;
    if (!matchAt(data, 0, "MNIB-1541-RAW") || data.size() <= kVersionOffset) return g_unknown_traits;
    switch (data[kVersionOffset]) {
        case 1: return recognised(type_id::nib_v1);
        case 2: return recognised(type_id::nib_v2);
        case 3: return recognised(type_id::nib_v3);
        default: return recognised(type_id::nib);
    }
}

file_traits_t detectNbz(std::span<const std::uint8_t> data) {
    return matchAt(data, 1, "MNIB") ? recognised(type_id::nbz) : g_unknown_traits;
}

file_traits_t detectT64(std::span<const std::uint8_t> data) {
    struct banner_t {
        std::string_view text;
        std::uint32_t key;
    };
    static constexpr banner_t kBanners[] = {
        {"C64S tape image ", metadata_key::t64_classic},
        {"C64S tape file\r\n", metadata_key::unknown1},
        {"C64 tape image f", metadata_key::unknown2},
    };
    for (const auto& banner : kBanners) {
        if (!matchAt(data, 0, banner.text)) continue;
        file_traits_t traits = recognised(type_id::t64);
        addFlag(traits, banner.key);
        return traits;
    }
    return g_unknown_traits;
}

file_traits_t detectPC64(std::span<const std::uint8_t> data) {
    using namespace std::string_view_literals;
    return matchAt(data, 0, "C64File\0"sv) ? recognised(type_id::pc64) : g_unknown_traits;
}

file_traits_t detectDreamload(std::span<const std::uint8_t> data) {
    return matchAt(data, 1, "DREAMLOAD FILE A") ? recognised(type_id::dreamload) : g_unknown_traits;
}

}  // namespace platter::fileid
