#include "platter/picture/paint_identify.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platter/fileid/geos_entry.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/picture/paint_tables.hpp"
#include "platter/picture/paint_type_ids.hpp"
#include "platter/picture/paint_unpack.hpp"

namespace platter {

namespace {

namespace id = fileid::type_id;

struct file_id_paint_t {
    std::uint32_t fileType;
    std::uint32_t paintType;
};

// Amica Paint files are reported for the packed stream as well as for the
// plain picture; the packed type decodes both (see decodePaintData).
constexpr file_id_paint_t kFileIdPaint[] = {
    {id::amica_paint, paint_type::amica_packed},
    {id::koala_painter, paint_type::koala},
    {id::koala_painter_packed, paint_type::packed_koala},
    {id::centauri, paint_type::centauri},
    {id::advanced_art_studio, paint_type::ocp},
    {id::doodle, paint_type::doodle},
    {id::doodle_packed, paint_type::doodle_packed},
    {id::draz_paint, paint_type::drazpaint},
    {id::draz_paint_packed, paint_type::draz_packed},
    {id::giga_paint, paint_type::gigapaint},
    {id::giga_paint_mc, paint_type::gigapaint_mc},
    {id::mono_magic, paint_type::mono_magic},
    {id::image_system, paint_type::image_system},
    {id::image_system_mc, paint_type::image_system_mc},
    {id::interpaint, paint_type::interpaint},
    {id::interpaint_mc, paint_type::interpaint_mc},
    {id::hi_eddi, paint_type::hi_eddi},
    {id::art_studio, paint_type::art_studio},
    {id::paint_magic, paint_type::paint_magic},
    {id::picasso64, paint_type::picasso},
    {id::rainbow_painter, paint_type::rainbow},
    {id::run_paint, paint_type::run_paint},
    {id::saracen_paint, paint_type::saracen},
    {id::blazing_paddles, paint_type::blazing},
    {id::micro_illustrator, paint_type::micro},
    {id::cdu_paint, paint_type::cdu},
    {id::artist64, paint_type::artist},
    {id::vidcom64, paint_type::vidcom},
    {id::face_painter, paint_type::face_paint},
    {id::cheese, paint_type::cheese},
    {id::create_with_garfield, paint_type::garfield},
    {id::dolphin_ed, paint_type::dolphin_ed},
    {id::hires_bitmap, paint_type::hires},
    {id::godot_4bit, paint_type::godot},
};

constexpr std::string_view kDrazSignature = "DRAZPAINT 1.4";
constexpr std::size_t kGeosClassOffset = 329;
constexpr std::size_t kGeosClassLength = 16;
constexpr std::size_t kGeosPictureMinimum = 765;
constexpr std::uint8_t kGeosApplicationData = 7;
constexpr std::size_t kDoodleMinimum = 9000;

bool startsWith(std::span<const std::uint8_t> data, std::size_t offset, std::string_view text) {
    return data.size() >= offset + text.size() && std::equal(text.begin(), text.end(), data.subspan(offset).begin());
}

std::uint32_t geosPaintType(std::span<const std::uint8_t> data) {
    if (data.size() < kGeosPictureMinimum) return paint_type::assembler;
    const auto className = [&](std::string_view name) {
        return name.size() == kGeosClassLength && startsWith(data, kGeosClassOffset, name);
    };
    if (className("Paint Image V1.1")) return paint_type::geo_paint;
    if (className("photo album V2.1")) return paint_type::geo_photo_album;
    if (className("Write Image V2.1")) return paint_type::geo_write;
    return paint_type::assembler;
}

bool isUnpackedPaintType(std::uint32_t type) {
    if (type == paint_type::geo_paint || type == paint_type::geo_photo_album) return true;
    return std::ranges::any_of(g_packed_paint_formats,
                               [type](const rle_format_t& row) { return row.unpackedId == type; });
}

}  // namespace

std::uint32_t paintTypeFromFileId(std::uint32_t fileType, std::span<const fileid::file_metadata_t> metadata) {
    if (fileType == id::loadstar_shp) {
        if (metadata.empty()) return paint_type::none;
        // The detector's flag is the key; it carries no value.
        if (metadata.front().key == fileid::metadata_key::hires) return paint_type::loadstar_hi_packed;
        if (metadata.front().key == fileid::metadata_key::multicolor) return paint_type::loadstar_mc_packed;
        return paint_type::none;
    }
    const auto* row = std::ranges::find(kFileIdPaint, fileType, &file_id_paint_t::fileType);
    return row == std::end(kFileIdPaint) ? paint_type::none : row->paintType;
}

std::uint32_t identifyPaintByLoadAddress(std::uint8_t kind, std::span<const std::uint8_t> data, bool strict) {
    const std::int64_t size = static_cast<std::int64_t>(data.size());
    if (size < 3) return paint_type::none;
    const std::int64_t load = data[0] | (data[1] << 8);
    const bool loose = kind == kPaintKindSeq || !strict;
    const paint_file_type_t* specific = nullptr;
    const paint_file_type_t* fallback = nullptr;
    for (const paint_file_type_t& row : g_paint_file_types) {
        if (row.kind != kind) continue;
        const bool anyLoad = row.loadAddress == kPaintAny;
        const bool anySize = row.size == kPaintAny;
        if (row.loadAddress == load && row.size == size) {
            if (row.type == paint_type::doodle && data.size() < kDoodleMinimum) return paint_type::none;
            return row.type;
        }
        if ((row.loadAddress == load && anySize) || (anyLoad && row.size == size)) {
            specific = &row;
        } else if (anyLoad && anySize && loose && specific == nullptr) {
            fallback = &row;
        }
    }
    const paint_file_type_t* row = specific != nullptr ? specific : fallback;
    if (row == nullptr) return startsWith(data, 0, "GOD") ? paint_type::godot : paint_type::none;
    if (row->type == paint_type::doodle && data.size() < kDoodleMinimum) return paint_type::none;
    const std::size_t compared =
        row->type == paint_type::doodle ? kDrazSignature.size() : std::min(data.size() - 2, kDrazSignature.size());
    return startsWith(data, 2, kDrazSignature.substr(0, compared)) ? paint_type::draz_packed : row->type;
}

std::uint32_t identifyPaintType(std::span<const std::uint8_t> entry, std::span<const std::uint8_t> data) {
    if (isGeosEntry(entry) && entry[24] == kGeosApplicationData) return geosPaintType(data);
    const std::uint8_t kind = entry.size() > 2 ? entry[2] & 7 : 0;
    if (const std::uint32_t type = identifyPaintByLoadAddress(kind, data, true); type != paint_type::none) return type;
    std::vector<std::uint8_t> unpacked;
    for (const rle_format_t& row : g_packed_paint_formats) {
        if (!unpackPackedPicture(row, data, unpacked)) continue;
        if (isUnpackedPaintType(identifyPaintByLoadAddress(kind, unpacked, true))) return row.packedId;
    }
    return paint_type::assembler;
}

}  // namespace platter
