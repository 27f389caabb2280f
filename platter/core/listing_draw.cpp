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

void drawHeader(Disk& disk, PetsciiWriter& writer) {
    const std::uint8_t* name = disk.diskName();
    if (!name) return;
    writer.putChar(0, 0, '0', false);
    if (!writer.canvas()) writer.putChar(1, 0, ' ', false);
    writer.putChar(2, 0, kQuote, true);
    writer.write(3, 0, std::span(name, 16), true);
    writer.putChar(19, 0, kQuote, true);
    writer.putChar(20, 0, ' ', true);
    if (const std::uint8_t* id = disk.diskId()) writer.write(21, 0, std::span(id, 5), true);
    writer.newline();
}

}  // namespace

PetsciiWriter listingWriter() {
    const std::uint32_t cellSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(libraryOptions().cellSize, 256));
    return PetsciiWriter(nullptr, cellSize, cellSize, Charset::upperGraphics);
}

void drawDirectory(Disk& disk, PetsciiWriter& writer, std::span<const std::uint32_t> selection, bool selectedOnly) {
    forge::raster_image_t* canvas = writer.canvas();
    std::uint32_t rowLimit = PetsciiWriter::kNoPosition;
    if (canvas) {
        writer.clear();
        rowLimit = writer.cellHeight() == 0 ? 0 : (canvas->height + writer.cellHeight() - 1) / writer.cellHeight();
    }
    std::uint32_t row = 0;
    if (!selectedOnly) {
        drawHeader(disk, writer);
        row = 1;  // reserved even when the image has no name to show
    }
    const IndexSelection selected(selection);
    dir_entry_t entry;
    for (std::uint64_t index = 0; row < rowLimit && disk.getEntry(index, disk.includeEmpty(), entry); ++index) {
        const bool isSelected = selected.contains(index);
        if (selectedOnly && !isSelected) continue;
        disk.drawEntry(entry, row++, writer, isSelected && !selectedOnly && canvas);
    }
    // Kinds without a blocks-free line have no footer row at all.
    const std::string footer = disk.blocksFreeText();
    if (selectedOnly || footer.empty()) return;
    writer.write(0, row, footer, false);
    writer.newline();
}

forge::raster_image_t renderDirectory(Disk& disk, PetsciiWriter& writer, std::span<const std::uint32_t> selection) {
    std::uint64_t rows = selection.size();
    if (selection.empty()) rows = disk.countDirectoryEntries() + (disk.blocksFreeText().empty() ? 1 : 2);
    forge::raster_image_t picture =
        forge::raster_image_t::black(std::uint64_t{kListingColumns} * writer.cellWidth(), rows * writer.cellHeight());
    if (picture.pixels.empty()) return {};
    forge::raster_image_t* const previous = writer.canvas();
    writer.setCanvas(&picture);
    drawDirectory(disk, writer, selection, !selection.empty());
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
