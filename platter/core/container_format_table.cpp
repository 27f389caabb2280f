#include "platter/core/format_registry.hpp"

#include "platter/core/format_registry_factories.hpp"
#include "platter/core/open_container.hpp"

namespace platter {
namespace {

constexpr DiskFactory kSingle = &openSingleFileAsDisk;
constexpr DiskFactory kArchive = &openArchiveAsDisk;
constexpr DiskFactory kImage = &openImageOfFormat;
constexpr DiskFactory kM2i = &openM2iIndex;

// Every container kind and single-file form the system knows, in lookup order: by-id and
// by-extension lookups keep the later of two rows, by-CBM-type lookups the first.
constexpr container_format_t kContainerFormats[] = {
    {12, "PRG", ".prg", "PRG", kSingle, 0x70, 2, 0},
    {14, "USR", ".usr", "USR", kSingle, 0x70, 3, 0},
    {13, "REL", ".rel", "REL", kSingle, 0x70, 4, 0},
    {5, "SEQ", ".seq", "SEQ", kSingle, 0x70, 1, 3},
    {37, "UNK", "", "???", kSingle, 0x20, 7, 0},
    {1, "D64", ".d64", "1541", kImage, 0x2, 7, 0},
    {2, "D71", ".d71", "1571", kImage, 0x2, 7, 0},
    {16, "D80", ".d80", "8050", kImage, 0x2, 7, 0},
    {3, "D81", ".d81", "1581", kImage, 0x2, 7, 0},
    {17, "D82", ".d82", "8250", kImage, 0x2, 7, 0},
    {4, "G64", ".g64", "GCR", kImage, 0x2, 7, 0},
    {52, "D8B", ".d8b", "BackBit", kImage, 0x2, 7, 0},
    {21, "D2M", ".d2m", "CMD FD2000", kImage, 0x2, 7, 1},
    {48, "D4M", ".d4m", "CMD FD4000", kImage, 0x2, 7, 1},
    {30, "DHD", ".dhd", "CMD HD", kImage, 0x2, 7, 1},
    {6, "ZIP", "?!*", "Zipcode", nullptr, 0x4, 7, 0},
    {8, "ARC", ".arc", "Archive", kArchive, 0x4, 2, 0},
    {7, "SDA", ".sda", "Self Dissolving Archive", kArchive, 0x4, 2, 0},
    {9, "LHA", ".lha", "LHA", kArchive, 0x4, 2, 0},
    {10, "LNX", ".lnx", "Lynx", kArchive, 0x4, 2, 0},
    {11, "ALL", ".*", "All", nullptr, 0, 7, 0},
    {24, "P00", ".p00", "P00", kSingle, 0x30, 2, 0},
    {27, "U00", ".u00", "U00", kSingle, 0x30, 3, 0},
    {25, "R00", ".r00", "R00", kSingle, 0x30, 4, 0},
    // A P00-family file, not a disk image: no image bit, or opening would parse it as one.
    {26, "S00", ".s00", "S00", kSingle, 0x30, 1, 3},
    {15, "TXT", ".txt", "TXT", nullptr, 0x7a, 8, 3},
    {18, "T64", ".t64", "Tape", kImage, 0x2, 7, 2},
    {19, "BMP", ".bmp", "Bitmap", nullptr, 0x8, 7, 0},
    {20, "CSV", ".csv", "Comma Separated", nullptr, 0x8, 7, 0},
    {22, "DNP", ".dnp", "CMD Native Partition", kImage, 0x2, 7, 0},
    {23, "DFI", ".dfi", "Dreamload File Archive", kImage, 0x2, 7, 0},
    {28, "CVT", ".cvt", "GEOS Convert File", kArchive, 0x4, 2, 0},
    {33, "ARK", ".ark", "Arkive", kArchive, 0x4, 7, 0},
    {29, "SFX", ".sfx", "Self Extracting LHA", kArchive, 0x4, 2, 0},
    {31, "DEL", ".del", "DEL", kSingle, 0x60, 0, 0},
    {32, "CMD", ".cmd", "CMD", kSingle, 0, 6, 0},
    {36, "CBM", ".cbm", "CBM", kSingle, 0, 5, 0},
    {35, "WR3", ".wr3", "GEOS Wraptor", kArchive, 0x4, 2, 0},
    {38, "LBR", ".lbr", "Library", kArchive, 0x4, 2, 0},
    {39, "IDE64", ".hdd", "IDE64", kImage, 0x2, 7, 0},
    {42, "RTF", ".rtf", "Rich Text File", nullptr, 0, 7, 3},
    {45, "HTM", ".htm", "HTML File", nullptr, 0, 7, 3},
    {45, "HTML", ".html", "HTML File", nullptr, 0, 7, 3},
    {43, "PNG", ".png", "PNG", nullptr, 0x8, 7, 0},
    {44, "NIB", ".nib", "NIB", kImage, 0x2, 7, 0},
    {46, "M2I", ".m2i", "M2I", kM2i, 0, 2, 0},
    {47, "SPY", ".spy", "SPYne", kArchive, 0x4, 2, 0},
    {49, "D1M", ".d1m", "CMD FD1000", kImage, 0x2, 7, 0},
    {50, "Kick", ".kas", "Kick Assembler", nullptr, 0, 7, 0},
    {51, "NBZ", ".nbz", "NBZ", kImage, 0x2, 7, 0},
};

}  // namespace

std::span<const container_format_t> containerFormats() { return kContainerFormats; }

}  // namespace platter
