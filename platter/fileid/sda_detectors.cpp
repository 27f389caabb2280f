#include <string_view>

#include "platter/fileid/archive_detectors.hpp"
#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/metadata_items.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

// The extractor's method words in PETSCII, which self-dissolving ARCs carry.
constexpr std::string_view kMethodWords1 =
    "SQUEE\xDA"
    "CRUNC\xC8"
    "SQUA";
constexpr std::string_view kMethodWords2 =
    "IN\xC7"
    "UNSQUEEZIN\xC7"
    "UN";

file_traits_t sdaVariant(std::uint32_t key) {
    file_traits_t traits = recognised(type_id::arc_sda);
    addFlag(traits, key);
    return traits;
}

}  // namespace

file_traits_t detectArcSda(std::span<const std::uint8_t> data) {
    static constexpr std::uint8_t kLoaderCode[] = {0xA9, 0xF7, 0x85, 0xFD, 0xA9, 0x0B, 0x85, 0xFE};
    if (matchAt(data, 608, kMethodWords1)) return recognised(type_id::arc_sda);
    if (matchAt(data, 640, kMethodWords1)) return sdaVariant(metadata_key::variant_7198);
    if (matchAt(data, 1006, "1234567890") && matchAt(data, 16, kLoaderCode)) return sdaVariant(metadata_key::unknown2);
    if (matchAt(data, 1155, kMethodWords1)) return sdaVariant(metadata_key::unknown3);
    if (matchAt(data, 1200, kMethodWords2)) return sdaVariant(metadata_key::unknown_f);
    if (matchAt(data, 994, "1987 - \xC1MPERE")) return sdaVariant(metadata_key::unknown4);
    if (matchAt(data, 402, "TO CREATE")) return sdaVariant(metadata_key::unknown5);
    return g_unknown_traits;
}

file_traits_t detectArchiveGen(std::span<const std::uint8_t> data) {
    if (matchAt(data, 277, "ARCHIVE V1.2 GEN")) return recognised(type_id::archive_v12);
    if (matchAt(data, 277, "ARCHIVE V1.5 GEN")) return recognised(type_id::archive_v15);
    if (matchAt(data, 277, "ARCHIVE V1.7 GEN")) return recognised(type_id::archive_v17);
    return g_unknown_traits;
}

file_traits_t detectDArc(std::span<const std::uint8_t> data) {
    // "D'ARC V0.1" and "D'ARC V0.2" in PETSCII.
    if (matchAt(data, 519,
                "\xC4'\xC1RC \xD6"
                "0.1"))
        return recognised(type_id::darc_v01);
    if (matchAt(data, 651,
                "\xC4'\xC1RC \xD6"
                "0.2"))
        return recognised(type_id::darc_v02);
    return g_unknown_traits;
}

file_traits_t detectSdaVision(std::span<const std::uint8_t> data) {
    return matchAt(data, 275, "fILES V3.0") ? recognised(type_id::sda_vision3) : g_unknown_traits;
}

file_traits_t detectSdaAgony(std::span<const std::uint8_t> data) {
    return matchAt(data, 896, "\x9BSAVING ") ? recognised(type_id::sda_agony) : g_unknown_traits;
}

file_traits_t detectSdaVer1996(std::span<const std::uint8_t> data) {
    // The extractor's banner ends with its author's six-letter credit.
    return matchAt(data, 39, "VER (C) 1996 STEVEN") ? recognised(type_id::sda_variant) : g_unknown_traits;
}

file_traits_t detectSdaThunderbirds(std::span<const std::uint8_t> data) {
    return matchAt(data, 289, "tHE +4 tHU") ? recognised(type_id::sda_thunderbirds) : g_unknown_traits;
}

}  // namespace platter::fileid
