#include <string>

#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/library_options.hpp"
#include "platter/core/index_selection.hpp"
#include "platter/core/listing_convert.hpp"
#include "platter/core/listing_draw.hpp"
#include "platter/core/listing_line.hpp"
#include "platter/core/listing_walk.hpp"
#include "platter/petscii/csv_field.hpp"
#include "platter/petscii/html_converter.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "platter/petscii/rtf_converter.hpp"
#include "platter/petscii/text_converters.hpp"

namespace platter {

namespace {

void append(std::vector<std::uint8_t>& document, std::string_view text) {
    document.insert(document.end(), text.begin(), text.end());
}

// Lines of the entries from the current directory down, each directory's
// entries right after the entry that holds them. A partition table's lines
// give the partition's number where the others give the blocks.
void appendCsvEntries(Disk& disk, DirectoryWalk& walk, bool recurse, const IndexSelection& skipped,
                      const std::string& prefix, const std::string& suffix, std::vector<std::uint8_t>& document) {
    dir_entry_t entry;
    for (std::uint64_t index = 0; disk.getEntry(index, disk.includeEmpty(), entry); ++index) {
        if (skipped.contains(index)) continue;
        const listing_line_t line = listingLine(disk, entry);
        const std::string first = disk.hasPartitionTable()
                                      ? forge::format("%02llu", static_cast<unsigned long long>(index))
                                      : std::to_string(line.blocks);
        append(document, forge::format("%s%s,%s,%s%s\n", prefix.c_str(), first.c_str(),
                                       petsciiToCsvField(line.name, false).c_str(), line.shownTypeWord().c_str(),
                                       suffix.c_str()));
        if (recurse && walk.enter(entry)) {
            appendCsvEntries(disk, walk, recurse, skipped, prefix, suffix, document);
            walk.leave();
        }
    }
}

}  // namespace

bool Disk::writeListingCsv(const listing_output_t& out, bool recurse, std::span<const std::uint32_t> skip) {
    lastError_ = kErrNone;
    const std::uint8_t* name = diskName();
    const std::uint8_t* id = diskId();
    if (!name || !id) {
        lastError_ = kErrNoDiskName;
        return false;
    }
    // A path holding a comma or a quote must stay one field.
    const std::string prefix = csvQuote(imagePath().string()) + ",";
    const std::string suffix = libraryOptions().csvOption != 0 ? ",0" : "";
    std::vector<std::uint8_t> document;
    if (skip.empty()) {
        append(document,
               forge::format("%s0,%s,%s%s\n", prefix.c_str(), petsciiToCsvField(std::span(name, 16), false).c_str(),
                             petsciiToCsvField(std::span(id, 5), false).c_str(), suffix.c_str()));
    }
    DirectoryWalk walk(*this);
    appendCsvEntries(*this, walk, recurse, IndexSelection(skip), prefix, suffix, document);
    lastError_ = emitListing(out, document);
    return lastError_ == kErrNone;
}

bool Disk::writeListingText(const listing_output_t& out, bool recurse, std::span<const std::uint32_t> shown) {
    lastError_ = kErrNone;
    PetsciiWriter writer = listingWriter();
    AsciiConverter ascii(&writer);
    std::vector<std::uint8_t> document;
    if (!out.stream) append(document, imagePath().string() + "\r\n");
    bool drawn = false;
    forEachDirectory(*this, recurse, nullptr, [&](Disk& image, std::size_t depth) {
        if (depth > 0) append(document, "\r\n");
        const bool own = &image == this;
        drawDirectory(image, writer, own ? shown : std::span<const std::uint32_t>{}, own && !shown.empty());
        drawn |= !writer.output().empty();
        document.insert(document.end(), writer.output().begin(), writer.output().end());
        writer.clearOutput();
        return true;
    });
    if (!drawn) {
        lastError_ = kErrDrawFailed;
        return false;
    }
    lastError_ = emitListing(out, document);
    return lastError_ == kErrNone;
}

bool Disk::writeListingRtf(const listing_output_t& out, bool recurse, PetsciiWriter& writer,
                           std::span<const std::uint32_t> shown, bool withTitles) {
    RTFConverter rtf(&writer);
    return convertListing(rtf, *this, out, recurse, shown, withTitles);
}

bool Disk::writeListingHtml(const listing_output_t& out, bool recurse, PetsciiWriter& writer,
                            std::span<const std::uint32_t> shown, bool withTitles) {
    const library_options_t& options = libraryOptions();
    HTMLConverter html(&writer, {options.htmlFragment != 0, options.htmlInlineCss != 0, options.htmlCssFile});
    return convertListing(html, *this, out, recurse, shown, withTitles);
}

}  // namespace platter
