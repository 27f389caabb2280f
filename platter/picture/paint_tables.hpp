#pragma once
// The tables of the paint decoders: which load address and size make which
// paint type, how the packed formats are packed, and where each format keeps
// its bitmap, screen RAM, colour RAM and background colour.

#include <cstdint>
#include <span>
#include <string_view>

#include "platter/picture/rle.hpp"

namespace platter {

// CBM kinds of the paint file-type rows: the file types of directory entries,
// plus GEOS.
inline constexpr std::uint8_t kPaintKindSeq = 1;
inline constexpr std::uint8_t kPaintKindPrg = 2;
inline constexpr std::uint8_t kPaintKindGeos = 3;

// Load address or size that any file matches.
inline constexpr std::int64_t kPaintAny = -1;

struct paint_file_type_t {
    std::uint32_t type = 0;
    std::int64_t loadAddress = kPaintAny;
    std::int64_t size = kPaintAny;  // including the load address
    std::uint8_t kind = kPaintKindPrg;
    std::string_view name;
};
extern const std::span<const paint_file_type_t> g_paint_file_types;

extern const std::span<const rle_format_t> g_packed_paint_formats;
// The row that packs `packedType`, or null.
const rle_format_t* packedPaintFormat(std::uint32_t packedType);
// The file size of the first file-type row of the type, or kPaintAny.
std::int64_t paintFileSize(std::uint32_t type);

// Offsets after the load address; kPaintAny where the format has no such area.
struct paint_layout_t {
    std::uint32_t type = 0;
    std::int64_t bitmap = kPaintAny;      // 8000 bytes
    std::int64_t screen = kPaintAny;      // 1000 bytes
    std::int64_t colour = kPaintAny;      // 1000 bytes
    std::int64_t background = kPaintAny;  // one byte
};
// The layout of the type, or null when it has none.
const paint_layout_t* findPaintLayout(std::uint32_t type);

}  // namespace platter
