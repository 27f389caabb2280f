#include "platter/core/listing_draw.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "forge/bmp_writer.hpp"
#include "forge/png_writer.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/library_options.hpp"
#include "platter/core/index_selection.hpp"
#include "platter/petscii/petscii_writer.hpp"

namespace platter {

namespace {

constexpr std::uint32_t kListingColumns = 30;
constexpr std::uint8_t kQuote = '"';

void drawHeader(Disk& disk, PetsciiWriter& writer, std::uint32_t row) {
    const std::uint8_t* name = disk.diskName();
    if (!name) return;
    writer.putChar(0, row, '0', false);
    if (!writer.canvas()) writer.putChar(1, row, ' ', false);
    writer.putChar(2, row, kQuote, true);
    writer.write(3, row, std::span(name, 16), true);
    writer.putChar(19, row, kQuote, true);
    writer.putChar(20, row, ' ', true);
    if (const std::uint8_t* id = disk.diskId()) writer.write(21, row, std::span(id, 5), true);
    writer.newline();
}

// The text rows [first, limit) the view draws.
struct row_range_t {
    std::uint64_t first = 0;
    std::uint64_t limit = PetsciiWriter::kNoPosition;
};

row_range_t rowsOf(const PetsciiWriter& writer, const pixel_window_t& window) {
    const forge::raster_image_t* canvas = writer.canvas();
    if (!canvas) return {};
    const std::uint64_t cellHeight = writer.cellHeight();
    if (cellHeight == 0) return {0, 0};
    if (window.empty()) return {0, (canvas->height + cellHeight - 1) / cellHeight};
    const std::uint64_t top = static_cast<std::uint64_t>(std::max(window.y, 0));
    const std::uint64_t bottom =
        static_cast<std::uint64_t>(std::max<std::int64_t>(std::int64_t{window.y} + window.height, 0));
    return {top / cellHeight,
            std::min<std::uint64_t>((bottom + cellHeight - 1) / cellHeight, PetsciiWriter::kNoPosition)};
}

}  // namespace

PetsciiWriter listingWriter() {
    const std::uint32_t cellSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(libraryOptions().cellSize, 256));
    return PetsciiWriter(nullptr, cellSize, cellSize, Charset::upperGraphics);
}

void drawListing(Disk& disk, PetsciiWriter& writer, const listing_view_t& view,
                 std::span<const std::uint32_t> selection, bool selectedOnly) {
    const bool canvas = writer.canvas() != nullptr;
    if (canvas) writer.clear();
    const row_range_t rows = rowsOf(writer, view.window);
    std::uint64_t row = rows.first;
    const bool header = view.forceHeader || (!selectedOnly && row == 0);
    if (header && row < rows.limit) {
        drawHeader(disk, writer, static_cast<std::uint32_t>(row));
        ++row;
    }
    // The header's row is kept even when it is scrolled away or the image has no name.
    const std::uint64_t headerRows = header || !selectedOnly ? 1 : 0;
    std::int64_t index = std::int64_t{view.indexOffset} + static_cast<std::int64_t>(row - std::min(row, headerRows));
    const IndexSelection selected(selection);
    bool drawn = false;
    bool exhausted = false;
    dir_entry_t entry;
    while (row < rows.limit) {
        if (index < 0 || !disk.getEntry(static_cast<std::uint64_t>(index), disk.includeEmpty(), entry)) {
            exhausted = true;
            break;
        }
        const bool isSelected = selected.contains(static_cast<std::uint64_t>(index++));
        if (selectedOnly && !isSelected) continue;
        disk.drawEntry(entry, static_cast<std::uint32_t>(row++), writer, isSelected && !selectedOnly && canvas);
        drawn = true;
    }
    // Kinds without a blocks-free line have no footer row at all; a window
    // that ends before the footer's row, or starts below it, shows none.
    const std::string footer = disk.blocksFreeText();
    if (selectedOnly || footer.empty() || !exhausted) return;
    if (!drawn && disk.countDirectoryEntries() + 1 < row) return;
    writer.write(0, static_cast<std::uint32_t>(row), footer, false);
    writer.newline();
}

void drawDirectory(Disk& disk, PetsciiWriter& writer, std::span<const std::uint32_t> selection, bool selectedOnly) {
    drawListing(disk, writer, listing_view_t{}, selection, selectedOnly);
}

forge::raster_image_t renderDirectory(Disk& disk, PetsciiWriter& writer, std::span<const std::uint32_t> selection) {
    std::uint64_t rows = selection.size();
    if (selection.empty()) rows = disk.countDirectoryEntries() + (disk.blocksFreeText().empty() ? 1 : 2);
    forge::raster_image_t picture =
        forge::raster_image_t::black(std::uint64_t{kListingColumns} * writer.cellWidth(), rows * writer.cellHeight());
    if (picture.pixels.empty()) return {};
    forge::raster_image_t* const previous = writer.canvas();
    writer.setCanvas(&picture);
    listing_view_t view;
    view.window = {0, 0, static_cast<std::int32_t>(picture.width), static_cast<std::int32_t>(picture.height)};
    drawListing(disk, writer, view, selection, !selection.empty());
    writer.setCanvas(previous);
    // The embedded converter's codes of the drawn glyphs are of no use here.
    writer.clearOutput();
    return picture;
}

forge::raster_image_t stackPictures(const forge::raster_image_t& top, const forge::raster_image_t& bottom) {
    forge::raster_image_t both =
        forge::raster_image_t::black(std::max(top.width, bottom.width), std::uint64_t{top.height} + bottom.height);
    if (both.pixels.empty()) return {};
    std::uint8_t* row = both.pixels.data();
    for (const forge::raster_image_t* part : {&top, &bottom}) {
        for (std::uint32_t y = 0; y < part->height; ++y, row += both.rowIncrement) {
            std::memcpy(row, part->pixels.data() + std::size_t{part->rowIncrement} * y, std::size_t{part->width} * 3);
        }
    }
    return both;
}

bool writeListingImage(Disk& disk, const listing_output_t& out, PetsciiWriter& writer, bool recurse,
                       std::span<const std::uint32_t> selection, listing_picture kind) {
    disk.setLastError(kErrNone);
    const forge::raster_image_t picture = disk.renderDirectoryTree(writer, recurse, selection);
    std::vector<std::uint8_t> file;
    const bool encoded = !picture.pixels.empty() && (kind == listing_picture::bmp ? forge::rasterToBmp(picture, file)
                                                                                  : forge::rasterToPng(picture, file));
    if (!encoded) {
        disk.setLastError(kErrDrawFailed);
        return false;
    }
    disk.setLastError(emitListing(out, file));
    return disk.lastError() == kErrNone;
}

}  // namespace platter
