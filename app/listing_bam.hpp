#pragma once
// Draws the block map of a container as a coloured grid: a row per track,
// a cell per sector, optionally followed by the drive's error numbers.

#include "app/listing.hpp"

#include <cstdint>
#include <iosfwd>
#include <string>

namespace platter {
class Disk;
}

namespace app {

class BlockMap;
struct block_cell_t;

class RenderBam : public Render {
public:
    // Foreground colours of a cell.
    static constexpr std::uint32_t kColorUsed = 10;
    static constexpr std::uint32_t kColorFree = 7;
    static constexpr std::uint32_t kColorUsedBlank = 2;
    static constexpr std::uint32_t kColorFreeBlank = 8;
    static constexpr std::uint32_t kColorErrorUsed = 12;
    static constexpr std::uint32_t kColorErrorFree = 4;

    // Maps the disk and draws the grid on standard output.
    void draw(platter::Disk& disk);
    // The grid is this renderer's whole listing; bam never nests, so there is no prefix.
    void renderListing(platter::Disk& disk, const std::string& prefix) override;
    void drawGrid(std::ostream& out, const BlockMap& map) const;

    // The colour of a cell by use and content, ignoring its error.
    static std::uint32_t cellColor(const block_cell_t& cell);
    static std::uint32_t errorColor(const block_cell_t& cell);

    std::uint64_t cellWidth = 2;  // glyphs per block: 1, 2 or 3
    bool errorRows = false;       // a row of error numbers under a track with bad blocks

private:
    void drawErrorRow(std::ostream& out, const BlockMap& map, std::uint64_t track) const;
};

}  // namespace app
