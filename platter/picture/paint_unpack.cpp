#include "platter/picture/paint_unpack.hpp"

#include <algorithm>
#include <string_view>

#include "platter/fileid/loadstar_rle.hpp"
#include "platter/fileid/vlir_records.hpp"
#include "platter/petscii/ascii_to_petscii.hpp"
#include "platter/picture/paint_tables.hpp"
#include "platter/picture/paint_type_ids.hpp"
#include "platter/picture/photo_scrap.hpp"

namespace platter {

namespace {

constexpr std::size_t kConvertRecordsStart = 762;
constexpr std::size_t kGeoPaintRecordBytes = 1448;
constexpr std::size_t kGeoPaintRecords = 45;
constexpr std::size_t kPhotoAlbumMinimum = 765;
constexpr std::size_t kVlirTableEnd = 638;
constexpr std::uint32_t kGeoWriteRecords = 64;

// Loadstar SHP: load address 0x4000, then a mode byte (0x80 hires, 0
// multicolour), the bitmap's marker and, for multicolour, the background.
bool unpackLoadstarPicture(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) {
    if (data.size() < 5 || data[0] != 0x00 || data[1] != 0x40) return false;
    const bool hires = data[2] == 0x80;
    if (!hires && !(data[2] == 0 && data[4] <= 15)) return false;
    out.assign(2, 0);
    loadstar_state_t state{data[3], hires ? 4u : 5u, false, 8000, 0, 0};
    const auto part = [&](std::uint8_t marker, std::uint64_t length) {
        state.marker = marker;
        state.limit = length;
        const std::vector<std::uint8_t> bytes = unpackLoadstar(data, state);
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    part(data[3], 8000);
    part(0x00, 1000);
    if (hires) return true;
    part(0xFF, 1000);
    out.push_back(data[4]);
    return state.produced == 10000;
}

// GEOS compacted bitmap data as photo scraps hold it, bounded by `budget`
// output bytes and `depth` nested blocks. The first 3 bytes are copied.
bool unpackScrapRuns(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out, std::size_t budget, int depth) {
    const auto emit = [&](std::span<const std::uint8_t> bytes) {
        const std::size_t room = budget - std::min(budget, out.size());
        out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(room, bytes.size())));
    };
    emit(in.first(std::min<std::size_t>(3, in.size())));
    std::size_t at = 3;
    while (at < in.size() && out.size() < budget) {
        const std::uint8_t control = in[at++];
        if (control == 0) return true;
        if (control < 128) {
            if (at >= in.size()) return true;
            const std::size_t room = budget - out.size();
            out.insert(out.end(), std::min<std::size_t>(control, room), in[at++]);
        } else if (control < 220) {
            const std::size_t length = control - 128u;
            if (in.size() - at < length) return true;
            emit(in.subspan(at, length));
            at += length;
        } else {
            if (at >= in.size()) return true;
            const std::uint8_t repeats = in[at++];
            const std::size_t length = control - 128u;
            if (in.size() - at < length || depth == 0) return false;
            // Each copy may take only its share of what is left, so nested
            // blocks cannot multiply past the budget.
            const std::size_t share = repeats == 0 ? 0 : (budget - out.size()) / repeats;
            std::vector<std::uint8_t> block;
            if (!unpackScrapRuns(in.subspan(at, length), block, share, depth - 1)) return false;
            for (std::uint8_t copy = 0; copy < repeats; ++copy) emit(block);
            at += length;
        }
    }
    return true;
}

}  // namespace

bool unpackPackedPicture(const rle_format_t& format, std::span<const std::uint8_t> data,
                         std::vector<std::uint8_t>& out) {
    const std::int64_t unpackedSize = paintFileSize(format.unpackedId);
    if (unpackedSize != kPaintAny && data.size() > static_cast<std::uint64_t>(unpackedSize)) return false;
    return unpackRle(data, out, format);
}

bool unpackPaintData(std::uint32_t type, std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) {
    if ((type == paint_type::loadstar_hi_packed || type == paint_type::loadstar_mc_packed) &&
        unpackLoadstarPicture(data, out)) {
        return true;
    }
    if (const rle_format_t* format = packedPaintFormat(type)) return unpackPackedPicture(*format, data, out);
    switch (type) {
        case paint_type::geo_paint: out = unpackGeoPaint(data); return true;
        case paint_type::geo_photo_album: return unpackPhotoAlbum(data, out);
        case paint_type::geo_write: return extractGeoWriteText(data, out);
        default: return false;
    }
}

std::vector<std::uint8_t> unpackGeoPaint(std::span<const std::uint8_t> convertFile) {
    std::vector<std::uint8_t> out;
    const std::size_t limit = kGeoPaintRecords * kGeoPaintRecordBytes;
    std::size_t at = kConvertRecordsStart;
    while (at < convertFile.size() && out.size() < limit) {
        const std::uint8_t control = convertFile[at];
        if (control == 0) {
            ++at;
            continue;
        }
        // Literal bytes, an 8-byte pattern repeated, or one byte repeated.
        const std::size_t length = control < 64 ? control : control < 128 ? 8 : 1;
        const std::size_t repeats = control < 64 ? 1 : control < 128 ? control - 64u : control - 128u;
        if (convertFile.size() - at <= length) break;
        const auto bytes = convertFile.subspan(at + 1, length);
        for (std::size_t copy = 0; copy < repeats && out.size() < limit; ++copy) {
            const std::size_t take = std::min(length, limit - out.size());
            out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
        }
        at += 1 + length;
    }
    return out;
}

bool unpackPhotoAlbum(std::span<const std::uint8_t> convertFile, std::vector<std::uint8_t>& out) {
    if (convertFile.size() < kPhotoAlbumMinimum) return false;
    const std::uint64_t start = vlirRecordOffset(convertFile, 0);
    if (start == 0 || start >= convertFile.size()) return false;
    const auto scrap = convertFile.subspan(static_cast<std::size_t>(start));
    std::size_t budget = 0;
    if (!photoScrapBytes(scrap, budget)) return false;
    out.clear();
    return unpackScrapRuns(scrap, out, budget, kScrapNestingLimit);
}

bool extractGeoWriteText(std::span<const std::uint8_t> convertFile, std::vector<std::uint8_t>& out) {
    if (convertFile.size() < kVlirTableEnd) return false;
    out.clear();
    std::string text;
    for (std::uint32_t record = 0; record < kGeoWriteRecords; ++record) {
        const std::uint64_t start = vlirRecordOffset(convertFile, record);
        if (start == 0) continue;
        const std::uint64_t end = start + std::uint64_t{convertFile[508 + 2 * record]} * 254;
        if (end > convertFile.size()) break;
        for (std::uint64_t at = start; at < end;) {
            const std::uint8_t c = convertFile[at];
            // Escapes with their operands: an inline picture, a ruler, a font change.
            const std::uint64_t skip = c == 16 ? 5 : c == 17 ? 27 : c == 23 ? 4 : 1;
            if (c == 13) {
                text += '\n';
            } else if (c != 0 && skip == 1) {
                text += static_cast<char>(c);
            }
            at += skip;
        }
    }
    asciiToPetscii(text, out, Charset::lowerUpper);
    return true;
}

}  // namespace platter
