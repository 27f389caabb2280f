#include "platter/core/listing_documents.hpp"

#include <string>

#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/library_options.hpp"
#include "platter/core/listing_convert.hpp"
#include "platter/core/listing_draw.hpp"
#include "platter/core/listing_line.hpp"
#include "platter/petscii/petscii_text.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "platter/petscii/text_converters.hpp"

namespace platter {

namespace {

std::string nameText(std::span<const std::uint8_t> bytes) {
    return petsciiBytesToText(bytes, TextMode::nameSafe, true, true);
}

}  // namespace

bool isListingDocument(format_id id) {
    switch (id) {
        case format_id::seq:
        case format_id::txt:
        case format_id::bmp:
        case format_id::csv:
        case format_id::rtf:
        case format_id::png:
        case format_id::htm:
        case format_id::kick: return true;
        default: return false;
    }
}

bool saveListing(Disk& disk, format_id id, const listing_output_t& out, const listing_request_t& request) {
    PetsciiWriter defaultWriter = listingWriter();
    PetsciiWriter& writer = request.writer ? *request.writer : defaultWriter;
    const std::span<const std::uint32_t> indices = request.indices;
    switch (id) {
        case format_id::seq: return writeListingSeq(disk, out, request.recurse, writer, indices, true);
        case format_id::txt: return disk.writeListingText(out, request.recurse, indices);
        case format_id::bmp:
            return writeListingImage(disk, out, writer, request.recurse, indices, listing_picture::bmp);
        case format_id::csv: return disk.writeListingCsv(out, request.recurse, indices);
        case format_id::rtf: return disk.writeListingRtf(out, request.recurse, writer, indices, true);
        case format_id::png:
            return writeListingImage(disk, out, writer, request.recurse, indices, listing_picture::png);
        case format_id::htm: return disk.writeListingHtml(out, request.recurse, writer, indices, true);
        case format_id::kick: return writeListingKickAssembler(disk, out);
        default: return false;
    }
}

bool writeListingSeq(Disk& disk, const listing_output_t& out, bool recurse, PetsciiWriter& writer,
                     std::span<const std::uint32_t> shown, bool withTitles) {
    SEQConverter seq(&writer);
    return convertListing(seq, disk, out, recurse, shown, withTitles);
}

bool writeListingKickAssembler(Disk& disk, const listing_output_t& out) {
    disk.setLastError(kErrNone);
    const std::uint8_t* name = disk.diskName();
    const std::uint8_t* id = disk.diskId();
    std::string text =
        forge::format(".disk[filename = \"%s\", name = \"%s\", id = \"%s\"]\n{\n", disk.imagePath().string().c_str(),
                      name ? nameText(std::span(name, 16)).c_str() : "", id ? nameText(std::span(id, 5)).c_str() : "");
    dir_entry_t entry;
    for (std::uint64_t index = 0; disk.getEntry(index, disk.includeEmpty(), entry); ++index) {
        const listing_line_t line = listingLine(disk, entry);
        const std::string typeName = line.shownTypeWord() + (line.locked ? "<" : "");
        // Every entry keeps its trailing comma, the last one too.
        text += forge::format("    [name = \"%s\", type = \"%s\"],\n", nameText(line.name).c_str(), typeName.c_str());
    }
    text += "}\n";
    disk.setLastError(emitListing(out, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
    return disk.lastError() == kErrNone;
}

}  // namespace platter
