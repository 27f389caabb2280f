#include "platter/picture/paint_tables.hpp"

#include <algorithm>

#include "platter/picture/paint_type_ids.hpp"

namespace platter {

namespace {

constexpr std::int64_t any = kPaintAny;
constexpr std::uint8_t seq = kPaintKindSeq;
constexpr std::uint8_t prg = kPaintKindPrg;
constexpr std::uint8_t geos = kPaintKindGeos;

// Paint type by load address, file size and CBM kind, in the order the
// identification walks it.
constexpr paint_file_type_t kFileTypes[] = {
    {1, 0x0801, any, prg, "BASIC"},
    {2, 0x1C01, any, prg, "BASIC128"},
    {3, 0x1001, any, prg, "BASICVIC20"},
    {2, 0x4001, any, prg, "BASIC128"},
    {3, 0x1001, any, prg, "BASICVIC20"},
    {5, any, any, prg, "Assembler"},
    {4, any, any, prg, "PackedKoala"},
    {39, 0x4000, 10259, prg, "AmicaPaint"},
    {6, any, any, seq, "SEQ"},
    {7, any, 2050, prg, "Font"},
    {8, 0x6000, 10003, prg, "Koala"},
    {9, 0x6000, 8194, prg, "Centauri"},
    {10, 0x2000, 10018, prg, "OCP"},
    {11, 0x1C00, 9026, prg, "Doodle"},
    {12, 0x5800, 10051, prg, "Drazpaint"},
    {13, 0x2000, 8002, prg, "Hires"},
    {14, 0x6000, 8002, prg, "GigaPaint"},
    {15, 0x2000, 8194, prg, "MonoMagic"},
    {16, 0x4000, 9194, prg, "ImageSystem"},
    {17, 0x4000, 9002, prg, "Interpaint"},
    {18, 0x2000, 9218, prg, "HiEddi"},
    {19, 0x2000, 9009, prg, "ArtStudio"},
    {20, 0x3F8E, 9332, prg, "PaintMagic"},
    {21, 0x1800, 10050, prg, "Picasso"},
    {22, 0x5C00, 10242, prg, "Rainbow"},
    {23, 0x6000, 10006, prg, "RunPaint"},
    {24, 0x7800, 10018, prg, "Saracen"},
    {25, 0xA000, 10242, prg, "Blazing"},
    {26, 0x18DC, 10022, prg, "Micro"},
    {27, 0x7EEF, 10277, prg, "CDU"},
    {28, 0x4000, 10242, prg, "Artist"},
    {29, 0x5800, 10050, prg, "Vidcom"},
    {30, 0x3C00, 10218, prg, "ImageSystemMC"},
    {31, 0x4000, 10004, prg, "FacePaint"},
    {32, 0x8000, 20482, prg, "Cheese"},
    {33, 0x8000, 10007, prg, "Garfield"},
    {34, 0x5800, 10242, prg, "DolphinEd"},
    {35, 0x6000, 10003, prg, "GigapaintMC"},
    {36, 0x4000, 10003, prg, "InterpaintMC"},
    {37, 0x1C00, any, prg, "DoodlePacked"},
    {38, 0x5800, any, prg, "DrazPacked"},
    {11, 0x5C00, any, prg, "Doodle"},
    {40, any, any, prg, "AmicaPacked"},
    {41, any, any, geos, "GeoPaint"},
    {42, any, any, geos, "GeoPhotoAlbum"},
    {43, any, any, geos, "GeoPhotoScrap"},
    {44, any, any, geos, "GeoWrite"},
    {49, any, any, prg, "GoDot"},
    {50, 0x4000, any, prg, "LoadstarHIPacked"},
    {51, 0x4000, any, prg, "LoadstarMCPacked"},
    {52, 0x0000, 9002, prg, "LoadstarHI"},
    {53, 0x0000, 10003, prg, "LoadstarMC"},
};

// Packed type, unpacked type, marker, count before value, first packed byte,
// load address written first (0: none).
constexpr rle_format_t kPackedFormats[] = {
    {paint_type::packed_koala, paint_type::koala, 0xFE, false, 0, 0},
    {paint_type::amica_packed, paint_type::amica_paint, 0xC2, true, 0, 0},
    {paint_type::draz_packed, paint_type::drazpaint, 0xFD, true, 16, 0x5800},
    {paint_type::doodle_packed, paint_type::doodle, 0xFE, false, 0, 0},
    {paint_type::loadstar_hi_packed, paint_type::loadstar_hi, 0x00, false, 0, 0},
    {paint_type::loadstar_mc_packed, paint_type::loadstar_mc, 0x00, false, 0, 0},
};

// Bitmap, screen RAM, colour RAM and background byte of each format.
constexpr paint_layout_t kLayouts[] = {
    {8, 0, 8000, 9000, 10000},  {10, 0, 8000, 9016, 9001},  {11, 1024, 0, any, any},      {12, 2048, 1024, 0, 10048},
    {13, 0, any, any, any},     {14, 0, any, any, any},     {15, 0, any, any, any},       {16, 0, 8192, any, any},
    {17, 0, 8000, any, any},    {18, 0, 8192, any, any},    {19, 0, 8000, any, any},      {20, 114, 8306, 8117, 8114},
    {21, 2048, 1024, 0, 2047},  {22, 1024, 0, 9216, 9216},  {23, 0, 8000, 9000, 10000},   {24, 1024, 0, 9216, 1008},
    {25, 0, 8192, 9216, 8064},  {26, 2020, 20, 1020, any},  {27, 273, 8273, 9273, 10273}, {28, 0, 8192, 9216, 10239},
    {29, 2048, 1024, 0, 2025},  {30, 1024, 9216, 0, 9216},  {31, 0, 8000, 9000, 10002},   {32, 0, 16896, 18432, 19472},
    {33, 0, 8000, 9000, 10000}, {34, 2048, 1024, 0, 2024},  {35, 0, 8000, 9000, 10000},   {36, 0, 8000, 9000, 10001},
    {37, 1024, 0, any, any},    {4, 0, 8000, 9000, 10000},  {38, 2048, 1024, 0, 10048},   {7, 0, any, any, any},
    {9, 0, 8000, 8001, 8003},   {39, 0, 8000, 9000, 10000}, {41, 0, any, any, any},       {42, 0, any, any, any},
    {43, 0, any, any, any},     {52, 0, 8000, any, any},    {53, 0, 8000, 9000, 10000},
};

}  // namespace

const std::span<const paint_file_type_t> g_paint_file_types{kFileTypes};
const std::span<const rle_format_t> g_packed_paint_formats{kPackedFormats};

const rle_format_t* packedPaintFormat(std::uint32_t packedType) {
    const auto* row = std::ranges::find(kPackedFormats, packedType, &rle_format_t::packedId);
    return row == std::end(kPackedFormats) ? nullptr : row;
}

std::int64_t paintFileSize(std::uint32_t type) {
    const auto* row = std::ranges::find(kFileTypes, type, &paint_file_type_t::type);
    return row == std::end(kFileTypes) ? kPaintAny : row->size;
}

const paint_layout_t* findPaintLayout(std::uint32_t type) {
    const auto* row = std::ranges::find(kLayouts, type, &paint_layout_t::type);
    return row == std::end(kLayouts) ? nullptr : row;
}

}  // namespace platter
