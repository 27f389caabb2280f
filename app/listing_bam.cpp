#include "app/listing_bam.hpp"

#include "app/block_map.hpp"
#include "forge/terminal.hpp"
#include "platter/core/disk.hpp"

#include <iomanip>
#include <iostream>
#include <ostream>

namespace app {

namespace {

// U+2586 LOWER THREE QUARTERS BLOCK in UTF-8, whatever the console's mode:
// the glyph of PETSCII 0xF7.
constexpr std::string_view kCellGlyph = "\xE2\x96\x86";
constexpr std::uint32_t kColorLabel = 7;
constexpr std::uint32_t kColorErrorNumber = 4;
// The drive reports error code c as error number c + 18 (20 to 29).
constexpr unsigned kDriveErrorOffset = 18;

void setForeground(std::ostream& out, std::uint32_t color) {
    forge::applyAttributes(out, {forge::kAttrForeground, color, forge::kNoColor});
}

}  // namespace

void RenderBam::draw(platter::Disk& disk) {
    BlockMap map(disk);
    map.measure();
    map.scan();
    drawGrid(std::cout, map);
}

void RenderBam::renderListing(platter::Disk& disk, const std::string& /*prefix*/) { draw(disk); }

std::uint32_t RenderBam::cellColor(const block_cell_t& cell) {
    if (cell.blank != 0) return cell.used != 0 ? kColorUsedBlank : kColorFreeBlank;
    return cell.used != 0 ? kColorUsed : kColorFree;
}

std::uint32_t RenderBam::errorColor(const block_cell_t& cell) {
    return cell.used != 0 ? kColorErrorUsed : kColorErrorFree;
}

// With one glyph the error colour takes the whole cell; with two or three
// only the last glyph, so use and content stay visible.
void RenderBam::drawGrid(std::ostream& out, const BlockMap& map) const {
    const std::string_view left = cellWidth == 3 ? kCellGlyph : std::string_view();
    const std::string_view right = cellWidth >= 2 ? kCellGlyph : std::string_view();
    for (std::uint64_t t = 1; t <= map.tracks(); ++t) {
        setForeground(out, kColorLabel);
        out << std::setw(2) << t << ':';
        bool hasError = false;
        for (std::uint64_t s = 0; s < map.sectorCount(t); ++s) {
            const block_cell_t& cell = map.cell(t, s);
            const bool bad = cell.errorCode != 0;
            hasError = hasError || bad;
            setForeground(out, bad && cellWidth == 1 ? errorColor(cell) : cellColor(cell));
            if (cell.inChain != 0)
                out << '$';
            else
                out << kCellGlyph;
            out << left;
            if (bad && cellWidth >= 2) setForeground(out, errorColor(cell));
            out << right << ' ';
        }
        out << '\n';
        if (hasError && errorRows) drawErrorRow(out, map, t);
    }
}

void RenderBam::drawErrorRow(std::ostream& out, const BlockMap& map, std::uint64_t track) const {
    out << "   ";
    for (std::uint64_t s = 0; s < map.sectorCount(track); ++s) {
        if (cellWidth == 3) out << ' ';
        const block_cell_t& cell = map.cell(track, s);
        if (cell.errorCode == 0) {
            out << "  ";
        } else {
            setForeground(out, kColorErrorNumber);
            out << cell.errorCode + kDriveErrorOffset;
        }
        if (cellWidth >= 2) out << ' ';
    }
    out << '\n';
}

}  // namespace app
