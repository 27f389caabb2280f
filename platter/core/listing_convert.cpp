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
    const std::string title = disk.imagePath().string();
    if (!appending) converter.writeHeader(libraryOptions().generatorName, title, 1, true);
    bool drawn = false;
    forEachDirectory(disk, recursive, nullptr, [&](std::size_t) {
        converter.writeTitle(title, !withTitles || appending);
        const std::size_t before = writer.output().size();
        drawDirectory(disk, writer, selection, !selection.empty());
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
