#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/library_options.hpp"
#include "platter/core/index_selection.hpp"
#include "platter/core/listing_draw.hpp"
#include "platter/core/listing_line.hpp"
#include "platter/core/listing_walk.hpp"
#include "platter/petscii/petscii_writer.hpp"

namespace platter {

namespace {

constexpr std::size_t kBlocksColumns = 5;
constexpr std::uint32_t kSplatColumn = 23;
constexpr std::size_t kPartitionNameColumn = 4;
constexpr std::size_t kPartitionTypeColumn = 21;
constexpr std::uint8_t kPadding = 0xA0;
constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint32_t kBasicLineHeader = 4;  // link and line number

}  // namespace

void Disk::drawEntry(const dir_entry_t& entry, std::uint32_t row, PetsciiWriter& writer, bool reverse) {
    if (hasPartitionTable()) {
        drawPartitionEntry(entry, row, writer, reverse);
        return;
    }
    const listing_line_t line = listingLine(*this, entry);
    std::uint32_t column = 0;
    const auto putAs = [&](std::string_view text, bool reversed) {
        writer.write(column, row, text, reversed);
        column += static_cast<std::uint32_t>(text.size());
    };
    const auto put = [&](std::string_view text) { putAs(text, reverse); };
    std::string blocks = std::to_string(line.blocks);
    blocks.resize(std::max(blocks.size(), kBlocksColumns), ' ');
    put(blocks);
    put("\"");
    const std::span<const std::uint8_t> name = line.trimmedName();
    const std::size_t length = name.size();
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t c = name[i];
        if (c != 0 && c != kPadding) {
            put(std::string(1, static_cast<char>(c)));
        } else if (!writer.carriageReturnMode()) {
            put(std::string(1, '\0'));  // a shifted space inside the name would end it for the machine's lister
        } else {
            // The machine's BASIC lister ends the line at such a byte and reads the
            // next four as the link and the number of a line of its own.
            writer.newline();
            column += kBasicLineHeader;
            if (i + 3 < length) {
                const unsigned high = i + 4 < length ? name[i + 4] : kSpace;
                put(std::to_string(name[i + 3] | high << 8));
            }
            i += kBasicLineHeader;
        }
    }
    put("\"");
    if (column < kSplatColumn) put(std::string(kSplatColumn - column, ' '));
    put(line.splat ? "*" : " ");
    put(line.shownTypeWord());
    if (libraryOptions().listingLineOption == 0) {
        // After a reverse on in the type word the machine shows the lock and the cell the code took reversed.
        const std::string_view lock = line.locked ? "<" : " ";
        if (line.reversesRest())
            putAs(std::string(lock) + " ", true);
        else
            put(lock);
    } else {
        put(forge::format(" %4u %4u", unsigned{entry.bytes[3]}, unsigned{entry.bytes[4]}));
        const std::span<const std::uint8_t> first = entry.fileType() == kTypePrg
                                                        ? std::as_const(*this).blockBytes(firstBlock(entry))
                                                        : std::span<const std::uint8_t>{};
        if (!first.empty() && (first[2] != 0 || first[3] != 0)) put(forge::format(" $%04x", first[2] | first[3] << 8));
    }
    writer.newline();
}

// The partition's number (the row below the header), its name and its type word.
void Disk::drawPartitionEntry(const dir_entry_t& entry, std::uint32_t row, PetsciiWriter& writer, bool reverse) {
    const listing_line_t fields = listingLine(*this, entry);
    std::string line = forge::format("%2u", row == 0 ? 0u : row - 1);
    line.resize(kPartitionNameColumn, ' ');
    for (const std::uint8_t c : fields.name) line += static_cast<char>(c == kPadding ? ' ' : c);
    line.resize(kPartitionTypeColumn, ' ');
    line += fields.typeWord;
    writer.write(0, row, line, reverse);
    writer.newline();
}

std::string Disk::blocksFreeText() const {
    if (!showsBlocksFree()) return {};
    return forge::format("%llu BLOCKS FREE.", static_cast<unsigned long long>(blocksFree()));
}

forge::raster_image_t Disk::renderDirectoryTree(PetsciiWriter& writer, bool recurse,
                                                std::span<const std::uint32_t> selection) {
    setLastError(kErrNone);
    const IndexSelection selected(selection);
    // Below the selected entries every subdirectory and partition is entered.
    const auto tried = [&](std::uint64_t index, const dir_entry_t&, std::size_t depth) {
        return depth > 0 || selected.contains(index);
    };
    forge::raster_image_t result;
    const bool complete =
        forEachDirectory(*this, recurse && !selection.empty(), tried, [&](Disk& image, std::size_t depth) {
            const forge::raster_image_t listing =
                renderDirectory(image, writer, depth == 0 ? selection : std::span<const std::uint32_t>{});
            result = result.pixels.empty() ? listing : stackPictures(result, listing);
            return !result.pixels.empty();
        });
    return complete ? result : forge::raster_image_t{};
}

}  // namespace platter
