#include "platter/fileid/packer_detectors.hpp"

#include <algorithm>

#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/metadata_items.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/signature_sets.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

// Where a packer keeps its credit text, for the types that quote one.
struct credit_t {
    std::uint32_t type;
    std::uint64_t offset;
    std::uint64_t length;
};

constexpr credit_t kPackerCredits[] = {
    {type_id::byg_compactor, 7, 13},   {type_id::time_cruncher_v31, 7, 15}, {type_id::flexible_code_compactor, 7, 10},
    {type_id::unnamed_packer, 27, 33}, {type_id::austro_speed, 7, 19},      {type_id::austro_speed_688, 7, 19},
    {type_id::basic64_v100, 7, 21},    {type_id::basic64_v102, 7, 21},      {type_id::basic64_v103, 7, 21},
};

constexpr credit_t kCruncherAbCredits[] = {
    {type_id::bitimploder_1, 12, 23},
    {type_id::bitimploder_2, 12, 23},
    {type_id::bitimploder_chrysagon, 16, 26},
    {type_id::bitimploder_exploding, 12, 23},
};

void addCredit(file_traits_t& traits, std::span<const credit_t> credits, std::span<const std::uint8_t> data) {
    for (const auto& credit : credits) {
        if (credit.type == traits.type)
            addBytesAt(traits, metadata_key::credit_text, data, credit.offset, credit.length);
    }
}

// BASIC-64 compiles to P-code when its interpreter's entry is called somewhere
// behind the header; machine code otherwise.
void addBasic64Form(file_traits_t& traits, std::span<const std::uint8_t> data) {
    struct marker_t {
        std::uint32_t type;
        std::uint8_t bytes[6];
    };
    static constexpr marker_t kMarkers[] = {
        {type_id::basic64_v100, {0x00, 0x00, 0x00, 0x20, 0xDF, 0x1A}},
        {type_id::basic64_v102, {0x00, 0x00, 0x00, 0x20, 0xFD, 0x1A}},
        {type_id::basic64_v103, {0x00, 0x00, 0x00, 0x20, 0x11, 0x1B}},
    };
    for (const auto& marker : kMarkers) {
        if (marker.type != traits.type) continue;
        constexpr std::size_t kSearchStart = 32;
        const auto body = data.subspan(std::min(kSearchStart, data.size()));
        const bool pcode =
            std::search(body.begin(), body.end(), std::begin(marker.bytes), std::end(marker.bytes)) != body.end();
        addWord(traits, pcode ? metadata_key::pcode : metadata_key::mcode, 0);
    }
}

// The first set of the family that matches, or the unknown result.
template <typename Matcher>
file_traits_t firstMatch(std::span<const std::uint8_t> data, std::span<const signature_set_t> family, Matcher match) {
    for (const auto& set : family) {
        file_traits_t traits = match(data, set);
        if (traits.type != type_id::unknown) return traits;
    }
    return g_unknown_traits;
}

// The type when the first `pieces` pieces of its own set stand at their offsets.
file_traits_t bySinglePieces(std::span<const std::uint8_t> data, std::uint32_t type, std::size_t pieces) {
    const auto set = singleSignature(type).view();
    if (set.size() < pieces || !matchPieces(data, set.first(pieces))) return g_unknown_traits;
    return recognised(type);
}

// The Time Cruncher v5 variant, once its decruncher's first pieces were seen.
std::uint32_t timeCruncher5Variant(std::span<const std::uint8_t> data) {
    static constexpr std::uint32_t kCenturyVariants[] = {
        type_id::timecruncher_v51_century,
        type_id::timecruncher_v51_plus_century,
        type_id::timecruncher_v52_century,
        type_id::time_cruncher5_2mhz_0001,
    };
    for (std::uint32_t type : kCenturyVariants) {
        if (matchSignatureSet(data, singleSignature(type)).type == type) return type;
    }
    if (matchSignatureSet(data, singleSignature(type_id::time_crunch_2mhz_v50)).type != type_id::unknown) {
        return data[15] == '2' ? type_id::time_crunch_2mhz_v52 : type_id::time_crunch_2mhz_v50;
    }
    if (matchSignatureSet(data, singleSignature(type_id::time_crunch_v50_sta)).type != type_id::unknown) {
        return type_id::time_crunch_v50_sta;
    }
    return type_id::time_cruncher5_2mhz;
}

}  // namespace

file_traits_t detectStubbyNoter(std::span<const std::uint8_t> data) {
    return bySinglePieces(data, type_id::stubby_noter, 2);
}

file_traits_t detectByteBoiler(std::span<const std::uint8_t> data) {
    static constexpr std::uint8_t kCode[] = {0x9D, 0xF0, 0x00, 0xE8, 0xD0, 0xF7, 0x4C, 0x4E};
    return matchAt(data, 20, kCode) ? recognised(type_id::byte_boiler) : g_unknown_traits;
}

file_traits_t detectBhpVirus(std::span<const std::uint8_t> data) { return bySinglePieces(data, type_id::bhp_virus, 1); }

file_traits_t detectTurbocopyCrunch2(std::span<const std::uint8_t> data) {
    return bySinglePieces(data, type_id::turbocopy_crunch2, 1);
}

file_traits_t detectTurbocopyCrunch3(std::span<const std::uint8_t> data) {
    return bySinglePieces(data, type_id::turbocopy_crunch3, 1);
}

file_traits_t detectPackerFamily(std::span<const std::uint8_t> data) {
    file_traits_t traits = firstMatch(data, g_packer_signatures, matchSignatureSet);
    addBasic64Form(traits, data);
    addCredit(traits, kPackerCredits, data);
    return traits;
}

file_traits_t detectTheCruncherAB(std::span<const std::uint8_t> data) {
    file_traits_t traits = firstMatch(data, g_cruncher_ab_signatures, matchSignatureSetAtEnd);
    addCredit(traits, kCruncherAbCredits, data);
    return traits;
}

file_traits_t detectCompressorAlg(std::span<const std::uint8_t> data) {
    return matchSignatureSet(data, singleSignature(type_id::compressor_alg));
}

file_traits_t detectCompressorFamily(std::span<const std::uint8_t> data) {
    file_traits_t traits = firstMatch(data, g_compressor_signatures, matchSignatureSet);
    if (traits.type != type_id::unknown) addBytesAt(traits, metadata_key::credit_text, data, 7, 32);
    return traits;
}

file_traits_t detectTimeCruncher5(std::span<const std::uint8_t> data) {
    if (bySinglePieces(data, type_id::time_cruncher5, 1).type == type_id::unknown) return g_unknown_traits;
    // The 2 MHz decruncher's piece: a file too short for it is the plain algorithm.
    const auto twoMhz = singleSignature(type_id::time_cruncher5_2mhz).view().front();
    std::uint32_t type = type_id::time_cruncher5;
    if (data.size() >= std::uint64_t{twoMhz.offset} + twoMhz.length) {
        if (!matchAt(data, twoMhz.offset, twoMhz.view())) return g_unknown_traits;
        type = timeCruncher5Variant(data);
    }
    file_traits_t traits = recognised(type);
    addBytesAt(traits, metadata_key::credit_text, data, 7, 9);
    return traits;
}

}  // namespace platter::fileid
