#include "platter/fileid/picture_detectors.hpp"

#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/loadstar_rle.hpp"
#include "platter/fileid/metadata_items.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

// A paint format known by its exact file size and load address.
struct paint_size_t {
    std::uint64_t size;
    std::uint16_t load;
    std::uint32_t type;
};

// Formats tried before Koala Painter's sizes, in order.
constexpr paint_size_t kBeforeKoala[] = {
    {8002, 0x6000, type_id::giga_paint},   {8002, 0x2000, type_id::hires_bitmap},   {8194, 0x6000, type_id::centauri},
    {8194, 0x2000, type_id::mono_magic},   {9002, 0x4000, type_id::interpaint},     {9009, 0x2000, type_id::art_studio},
    {9194, 0x4000, type_id::image_system}, {9218, 0x2000, type_id::hi_eddi},        {9218, 0x1C00, type_id::doodle},
    {9332, 0x3F8E, type_id::paint_magic},  {10003, 0x4000, type_id::interpaint_mc},
};

// Formats tried after Koala Painter's sizes (except from a Koala-sized file), in order.
constexpr paint_size_t kAfterKoala[] = {
    {10004, 0x4000, type_id::face_painter},         {10006, 0x6000, type_id::run_paint},
    {10007, 0x8000, type_id::create_with_garfield}, {10018, 0x7800, type_id::saracen_paint},
    {10018, 0x2000, type_id::advanced_art_studio},  {10050, 0x1800, type_id::picasso64},
};

// Formats tried last; a BASIC-loaded Koala-sized file comes straight here.
constexpr paint_size_t kLast[] = {
    {10051, 0x5800, type_id::draz_paint},      {10022, 0x18DC, type_id::micro_illustrator},
    {10050, 0x5800, type_id::vidcom64},        {10218, 0x3C00, type_id::image_system_mc},
    {10242, 0x5C00, type_id::rainbow_painter}, {10242, 0xA000, type_id::blazing_paddles},
    {10242, 0x4000, type_id::artist64},        {10242, 0x5800, type_id::dolphin_ed},
    {10259, 0x4000, type_id::amica_paint},     {10277, 0x7EEF, type_id::cdu_paint},
    {20482, 0x8000, type_id::cheese},
};

std::uint32_t bySize(std::span<const paint_size_t> formats, std::uint64_t size, std::uint16_t load) {
    for (const auto& format : formats) {
        if (format.size == size && format.load == load) return format.type;
    }
    return type_id::unknown;
}

constexpr std::uint16_t kAmicaLoad = 0x4000;
constexpr std::uint16_t kKoalaLoad = 0x6000;
constexpr std::uint16_t kBasicStart = 0x0801;
constexpr std::uint64_t kKoalaBackground = 10002;

// Koala Painter by its own sizes; the unknown result leaves the file to the last
// rows, none of which has a Koala size.
file_traits_t koala(std::span<const std::uint8_t> data, std::uint16_t load) {
    if (load == kKoalaLoad) return recognised(type_id::koala_painter);
    // Elsewhere a plausible background colour still makes it Koala, less surely;
    // but not when it loads where BASIC programs do.
    if (data[kKoalaBackground] >= 16 || load == kBasicStart) return g_unknown_traits;
    return file_traits_t{type_id::koala_painter, 90, {}};
}

// Loadstar RLE over the data: true when exactly `wanted` more bytes come out.
bool unpacksTo(std::span<const std::uint8_t> data, loadstar_state_t& state, std::uint8_t marker, std::uint64_t wanted) {
    state.marker = marker;
    state.limit = wanted;
    const std::uint64_t before = state.produced;
    unpackLoadstar(data, state);
    return state.produced - before == wanted;
}

}  // namespace

file_traits_t detectPaint(std::span<const std::uint8_t> data) {
    if (data.size() < 2) return g_unknown_traits;
    const std::uint64_t size = data.size();
    const std::uint16_t load = readLe16(data, 0);
    if (matchAt(data, 2, "DRAZPAINT")) return recognised(type_id::draz_paint_packed);
    if (load == kAmicaLoad && data[size - 1] == 0 && data[size - 2] == 0xC2) return recognised(type_id::amica_paint);
    if (matchAt(data, 0, "GOD0") && data[size - 1] == 0xAD) return recognised(type_id::godot_4bit);
    if (const std::uint32_t type = bySize(kBeforeKoala, size, load); type != type_id::unknown) return recognised(type);
    if (size == 10003 || size == 10005) {
        file_traits_t traits = koala(data, load);
        if (traits.type != type_id::unknown) return traits;
    } else if (const std::uint32_t type = bySize(kAfterKoala, size, load); type != type_id::unknown) {
        return recognised(type);
    }
    const std::uint32_t type = bySize(kLast, size, load);
    return type != type_id::unknown ? recognised(type) : g_unknown_traits;
}

file_traits_t detectLoadstarShp(std::span<const std::uint8_t> data) {
    if (data.size() < 257 || data.size() > 10000 || readLe16(data, 0) != 0x4000) return g_unknown_traits;
    const bool hires = data[2] == 0x80;
    const bool multicolor = data[2] == 0 && data[4] <= 15;
    if (!hires && !multicolor) return g_unknown_traits;
    // Bitmap with the header's marker, then screen and (multicolour) colour memory.
    loadstar_state_t state{data[3], hires ? 4u : 5u, true, 0, 0, 0};
    if (!unpacksTo(data, state, data[3], 8000) || !unpacksTo(data, state, 0x00, 1000)) return g_unknown_traits;
    file_traits_t traits = recognised(type_id::loadstar_shp);
    if (hires) {
        addFlag(traits, metadata_key::hires);
        return traits;
    }
    if (!unpacksTo(data, state, 0xFF, 1000)) return g_unknown_traits;
    addFlag(traits, metadata_key::multicolor);
    return traits;
}

file_traits_t detectKoalaPacked(std::span<const std::uint8_t>) {
    // By design: packed Koala pictures are found by the paint decoder, not by the walk.
    return g_unknown_traits;
}

}  // namespace platter::fileid
