#pragma once

#include <cstdint>
#include <string>

namespace platter {

// Process-wide settings of the disk library. The program never changes them, so each keeps
// its initial value; the PETSCII substitution settings live with the PETSCII text layer.
struct library_options_t {
    std::uint8_t csvOption = 0;         // read by the CSV listing
    std::uint8_t forceD81Archives = 0;  // archives always expand into a 1581 image
    std::uint8_t useCustomInterleave = 0;
    std::int32_t customInterleave = 10;
    std::uint8_t fillByte = 0;          // wiping deleted files; new space with fillNewSpace
    std::uint8_t linearAllocation = 0;  // allocate tracks upward from track 1
    std::uint8_t htmlInlineCss = 1;
    std::string htmlCssFile;
    std::uint8_t htmlFragment = 0;             // HTML without document head and tail
    std::uint64_t cellSize = 8;                // glyph cell size of drawn listings
    std::uint32_t fillNewSpace = 0;            // fill new or extended image space with fillByte
    std::uint32_t listingLineOption = 0;       // extra drawing of the listing line drawer
    std::string generatorName = "Tomekeeper";  // the generator that listing documents name
    std::int32_t p00ExportLevel = 3;           // P00-family exports: 1 SEQ, 2 also PRG, 3 also REL
};

const library_options_t& libraryOptions();
void setLibraryOptions(const library_options_t& options);

// The byte new image space is filled with: the fill byte when new space is to be filled, else 0.
std::uint8_t effectiveFillByte();

}  // namespace platter
