#include "app/listing_canonical.hpp"

#include "forge/terminal.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"

#include <array>
#include <iostream>
#include <string>

namespace app {

namespace {

constexpr forge::text_attr_t kWhite{forge::kAttrForeground, 7, forge::kNoColor};
constexpr std::size_t kBlocksField = 5;

}  // namespace

void RenderCanonical::renderListing(platter::Disk& disk, const std::string& prefix) {
    renderLines(disk, prefix, [&](std::ostream& out, const listed_entry_t& listed) { renderEntry(out, listed, disk); });
}

// blocks (left-aligned in 5), the quoted name padded to 16, splat, type, lock.
void RenderCanonical::renderEntry(std::ostream& out, const listed_entry_t& listed, const platter::Disk& disk) const {
    const platter::dir_entry_t& entry = listed.entry;
    forge::applyAttributes(out, kWhite);
    std::string blocks = std::to_string(listed.entryBlocks);
    if (blocks.size() < kBlocksField) blocks.resize(kBlocksField, ' ');
    out << blocks;
    writeQuotedName(out, listed);
    out << (listed.splat ? '*' : ' ');
    // An unknown type on a 1541-style image shows "R?" and a reversed lock column.
    if (disk.typeNameTable() == platter::type_name_table::dos1541 && (entry.typeByte() & 15) == 13) {
        static constexpr std::array<std::uint8_t, 2> kUnknown = {'R', '?'};
        static constexpr std::array<std::uint8_t, 2> kLocked = {'<', ' '};
        static constexpr std::array<std::uint8_t, 2> kOpen = {' ', ' '};
        out << petsciiToText(kUnknown, charset(), false)
            << petsciiToText(listed.locked ? kLocked : kOpen, charset(), true);
    } else {
        out << typeText(entry, charset(), disk) << (listed.locked ? '<' : ' ');
    }
}

}  // namespace app
