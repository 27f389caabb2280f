#include "platter/core/format_registry.hpp"

namespace platter {
namespace {

// Every container kind and single-file form the system knows, in lookup order: by-id and
// by-extension lookups keep the later of two rows, by-CBM-type lookups the first.
// Columns: id, name, extension, description, category, CBM type, mode, then the facts
// createsBlank, readsOnDemand, anySize and partitionBlocks (false/0 when left out).
constexpr container_format_t kContainerFormats[] = {
    {format_id::prg, "PRG", ".prg", "PRG", 0x70, 2, 0},
    {format_id::usr, "USR", ".usr", "USR", 0x70, 3, 0},
    {format_id::rel, "REL", ".rel", "REL", 0x70, 4, 0},
    {format_id::seq, "SEQ", ".seq", "SEQ", 0x70, 1, 3},
    {format_id::unknown, "UNK", "", "???", 0x20, 7, 0},
    {format_id::d64, "D64", ".d64", "1541", 0x2, 7, 0, true, false, false, 684},
    {format_id::d71, "D71", ".d71", "1571", 0x2, 7, 0, true, false, false, 1368},
    {format_id::d80, "D80", ".d80", "8050", 0x2, 7, 0, true},
    {format_id::d81, "D81", ".d81", "1581", 0x2, 7, 0, true, false, false, 3200},
    {format_id::d82, "D82", ".d82", "8250", 0x2, 7, 0, true},
    {format_id::g64, "G64", ".g64", "GCR", 0x2, 7, 0, false, false, true, 684},
    {format_id::d8b, "D8B", ".d8b", "BackBit", 0x2, 7, 0},
    {format_id::d2m, "D2M", ".d2m", "CMD FD2000", 0x2, 7, 1, true},
    {format_id::d4m, "D4M", ".d4m", "CMD FD4000", 0x2, 7, 1, true},
    {format_id::dhd, "DHD", ".dhd", "CMD HD", 0x2, 7, 1, false, true},
    {format_id::zipcode, "ZIP", "?!*", "Zipcode", 0x4, 7, 0},
    {format_id::arc, "ARC", ".arc", "Archive", 0x4, 2, 0},
    {format_id::sda, "SDA", ".sda", "Self Dissolving Archive", 0x4, 2, 0},
    // Two extensions for LHA; by-id lookups keep ".lha".
    {format_id::lha, "LZH", ".lzh", "LHA", 0x4, 2, 0},
    {format_id::lha, "LHA", ".lha", "LHA", 0x4, 2, 0},
    {format_id::lynx, "LNX", ".lnx", "Lynx", 0x4, 2, 0},
    {format_id::all, "ALL", ".*", "All", 0, 7, 0},
    {format_id::p00, "P00", ".p00", "P00", 0x30, 2, 0},
    {format_id::u00, "U00", ".u00", "U00", 0x30, 3, 0},
    {format_id::r00, "R00", ".r00", "R00", 0x30, 4, 0},
    // A P00-family file, not a disk image: no image bit, or opening would parse it as one.
    {format_id::s00, "S00", ".s00", "S00", 0x30, 1, 3},
    {format_id::txt, "TXT", ".txt", "TXT", 0x7a, 8, 3},
    {format_id::t64, "T64", ".t64", "Tape", 0x2, 7, 2, true},
    {format_id::bmp, "BMP", ".bmp", "Bitmap", 0x8, 7, 0},
    {format_id::csv, "CSV", ".csv", "Comma Separated", 0x8, 7, 0},
    {format_id::dnp, "DNP", ".dnp", "CMD Native Partition", 0x2, 7, 0, true, false, false, kPartitionSizedByImage},
    {format_id::dfi, "DFI", ".dfi", "Dreamload File Archive", 0x2, 7, 0, true},
    {format_id::cvt, "CVT", ".cvt", "GEOS Convert File", 0x4, 2, 0},
    {format_id::ark, "ARK", ".ark", "Arkive", 0x4, 7, 0},
    {format_id::sfx, "SFX", ".sfx", "Self Extracting LHA", 0x4, 2, 0},
    {format_id::del, "DEL", ".del", "DEL", 0x60, 0, 0},
    {format_id::cmd, "CMD", ".cmd", "CMD", 0, 6, 0},
    {format_id::cbm, "CBM", ".cbm", "CBM", 0, 5, 0},
    {format_id::wr3, "WR3", ".wr3", "GEOS Wraptor", 0x4, 2, 0},
    {format_id::lbr, "LBR", ".lbr", "Library", 0x4, 2, 0},
    {format_id::ide64, "IDE64", ".hdd", "IDE64", 0x2, 7, 0, false, true},
    {format_id::rtf, "RTF", ".rtf", "Rich Text File", 0, 7, 3},
    {format_id::htm, "HTM", ".htm", "HTML File", 0, 7, 3},
    {format_id::htm, "HTML", ".html", "HTML File", 0, 7, 3},
    {format_id::png, "PNG", ".png", "PNG", 0x8, 7, 0},
    {format_id::nib, "NIB", ".nib", "NIB", 0x2, 7, 0, false, false, true, 684},
    {format_id::m2i, "M2I", ".m2i", "M2I", 0, 2, 0},
    {format_id::spy, "SPY", ".spy", "SPYne", 0x4, 2, 0},
    {format_id::d1m, "D1M", ".d1m", "CMD FD1000", 0x2, 7, 0, true},
    {format_id::kick, "Kick", ".kas", "Kick Assembler", 0, 7, 0},
    {format_id::nbz, "NBZ", ".nbz", "NBZ", 0x2, 7, 0, false, false, true},
};

}  // namespace

std::span<const container_format_t> containerFormats() { return kContainerFormats; }

}  // namespace platter
