#include "platter/fileid/archive_detectors.hpp"
#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/metadata_items.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

// Where the BASIC loader of a Lynx archive may carry its version banner.
constexpr std::uint64_t kFirstBanner = 5;
constexpr std::uint64_t kSecondBanner = 100;

// The version banners: a label, then the credit of the program's author, whose
// four-letter name is the same in each.
constexpr std::string_view kBanner108 = "LYNX 108 BY WILL";
constexpr std::string_view kBannerIX = "LYNX IX  BY WILL";
constexpr std::string_view kBannerVII = "LYNX VII BY WILL";
constexpr std::string_view kBannerXVIWide = "LYNX XVI  BY WILL";

struct banner_t {
    std::string_view text;
    std::uint32_t type;
};

// Banners that stand only at the first position, in the order they are tried.
constexpr banner_t kFirstPositionBanners[] = {
    {"LYNX II BY WILL ", type_id::lynx_v2}, {"LYNX III BY WILL", type_id::lynx_v3},
    {"LYNX IV BY WILL ", type_id::lynx_v4}, {" LYNX V BY WILL ", type_id::lynx_v5},
    {" LYNX VI BY WILL", type_id::lynx_v6},
};

// Banners that stand only at the second position, in the order they are tried.
constexpr banner_t kSecondPositionBanners[] = {
    {"LYNX X   BY WILL", type_id::lynx_v10},      {"LYNX XI  BY WILL", type_id::lynx_v11},
    {"LYNX XII BY WILL", type_id::lynx_v12},      {"LYNX XV  BY WILL", type_id::lynx_v15},
    {"LYNX XV JCB+WILL", type_id::lynx_variant1}, {"LYNX XVI BY WILL", type_id::lynx_v16},
};

// Tried after the 17-byte XVI banner, whose 16-byte prefix is Ultimate Lynx v2.
constexpr banner_t kLateSecondPositionBanners[] = {
    {"LYNX XVII   WILL", type_id::lynx_v17},
    {kBannerXVIWide.substr(0, 16), type_id::ultimate_lynx_v2},
    {"ULTRA-LYNX 2001 ", type_id::ultimate_lynx_v3},
};

constexpr banner_t kStarLynxVersions[] = {
    {"STAR LYNX 0.71", type_id::star_lynx_v071}, {"STAR LYNX 0.72", type_id::star_lynx_v072},
    {"STAR LYNX 0.80", type_id::star_lynx_v080}, {"STAR LYNX 0.81", type_id::star_lynx_v081},
    {"STAR LYNX 0.82", type_id::star_lynx_v082},
};

file_traits_t withPosition(std::uint32_t type, std::uint32_t key) {
    file_traits_t traits = recognised(type);
    addFlag(traits, key);
    return traits;
}

// The type of the first banner of the list found at the offset; 0 for none.
std::uint32_t findBanner(std::span<const std::uint8_t> data, std::uint64_t offset, std::span<const banner_t> banners) {
    for (const auto& banner : banners) {
        if (matchAt(data, offset, banner.text)) return banner.type;
    }
    return 0;
}

// The Lynx flavours that other programs than Lynx itself wrote.
file_traits_t detectLynxWriter(std::span<const std::uint8_t> data) {
    // cbmconvert moves its credit one byte on once the directory needs ten blocks.
    if (matchAt(data, 108, "CBMCONVERT 2.0") || matchAt(data, 109, "CBMCONVERT 2.0")) {
        return recognised(type_id::lynx_cbmconvert);
    }
    if (matchAt(data, kSecondBanner, "LYNX - MADE BY 64COPY")) return recognised(type_id::lynx_64copy);
    if (matchAt(data, kSecondBanner, "LYNXETTE BY WILL")) return recognised(type_id::lynxette);
    if (matchAt(data, kSecondBanner, "STAR LYNX ")) {
        const std::uint32_t version = findBanner(data, kSecondBanner, kStarLynxVersions);
        return recognised(version != 0 ? version : type_id::star_lynx);
    }
    if (matchAt(data, 112, " BY EXCE")) return recognised(type_id::lynx_variant2);
    return g_unknown_traits;
}

}  // namespace

file_traits_t detectLynx(std::span<const std::uint8_t> data) {
    if (matchAt(data, 3, "ZZZ\r ")) return recognised(type_id::lynx_v1);
    if (matchAt(data, kFirstBanner, kBanner108)) return withPosition(type_id::lynx_v108, metadata_key::punter);
    if (matchAt(data, kSecondBanner, kBanner108)) return withPosition(type_id::lynx_v108, metadata_key::xmodem);
    if (const std::uint32_t type = findBanner(data, kFirstBanner, kFirstPositionBanners); type != 0)
        return recognised(type);
    if (matchAt(data, 118, kBannerVII)) return recognised(type_id::lynx_v7);
    if (matchAt(data, kFirstBanner, kBannerIX)) return withPosition(type_id::lynx_v9, metadata_key::punter);
    if (matchAt(data, kSecondBanner, kBannerIX)) return withPosition(type_id::lynx_v9, metadata_key::xmodem);
    if (const std::uint32_t type = findBanner(data, kSecondBanner, kSecondPositionBanners); type != 0)
        return recognised(type);
    if (matchAt(data, kSecondBanner, kBannerXVIWide)) return recognised(type_id::lynx_v16_variant);
    if (const std::uint32_t type = findBanner(data, kSecondBanner, kLateSecondPositionBanners); type != 0) {
        return recognised(type);
    }
    return detectLynxWriter(data);
}

}  // namespace platter::fileid
