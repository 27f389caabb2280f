#include "platter/core/listing_convert.hpp"

#include <string>

#include "platter/core/disk.hpp"
#include "platter/core/listing_draw.hpp"
#include "platter/core/listing_walk.hpp"
#include "platter/core/library_options.hpp"
#include "platter/petscii/converter.hpp"
#include "platter/petscii/petscii_writer.hpp"

namespace platter {

bool convertListing(Converter& converter, Disk& disk, const listing_output_t& out, bool recursive,
                    std::span<const std::uint32_t> selection, bool withTitles) {
    disk.setLastError(kErrNone);
    PetsciiWriter& writer = converter.sink();
    writer.clearOutput();
    const bool appending = out.stream != nullptr;
    if (!appending) converter.writeHeader(libraryOptions().generatorName, disk.imagePath().string(), 1, true);
    bool drawn = false;
    forEachDirectory(disk, recursive, nullptr, [&](Disk& image, std::size_t) {
        converter.writeTitle(image.imagePath().string(), !withTitles || appending);
        const std::size_t before = writer.output().size();
        // A partition is listed whole; the selection picks entries of the image itself.
        const bool own = &image == &disk;
        drawDirectory(image, writer, own ? selection : std::span<const std::uint32_t>{}, own && !selection.empty());
        drawn |= writer.output().size() != before;
        writer.newline();
        return true;
    });
    if (!drawn) {
        writer.clearOutput();
        disk.setLastError(kErrDrawFailed);
        return false;
    }
    converter.endText(appending);
    if (!appending) converter.writeFooter();
    disk.setLastError(emitListing(out, writer.output()));
    writer.clearOutput();
    return disk.lastError() == kErrNone;
}

}  // namespace platter
