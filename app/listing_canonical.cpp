#include "app/listing_canonical.hpp"

#include "forge/terminal.hpp"
#include "platter/core/disk.hpp"

#include <array>
#include <iostream>
#include <string>

namespace app {

namespace {

constexpr forge::text_attr_t kWhite{forge::kAttrForeground, 7, forge::kNoColor};
constexpr std::size_t kBlocksField = 5;

}  // namespace

void RenderCanonical::renderListing(platter::Disk& disk, const std::string& prefix) {
    renderLines(disk, prefix, [&](std::ostream& out, const listed_entry_t& listed) { renderEntry(out, listed); });
}

// blocks (left-aligned in 5), the quoted name padded to 16, splat, type, lock.
void RenderCanonical::renderEntry(std::ostream& out, const listed_entry_t& listed) const {
    const platter::listing_line_t& line = listed.line;
    forge::applyAttributes(out, kWhite);
    std::string blocks = std::to_string(line.blocks);
    if (blocks.size() < kBlocksField) blocks.resize(kBlocksField, ' ');
    out << blocks;
    writeQuotedName(out, listed);
    out << (line.splat ? '*' : ' ');
    out << typeWordText(line, charset());
    if (line.reversesRest()) {
        // After the reverse on the machine shows the lock column and the cell after it reversed.
        const std::array<std::uint8_t, 2> rest = {static_cast<std::uint8_t>(line.locked ? '<' : ' '), ' '};
        out << petsciiToText(rest, charset(), true);
    } else {
        out << (line.locked ? '<' : ' ');
    }
}

}  // namespace app
