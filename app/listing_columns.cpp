#include "app/listing_columns.hpp"

#include "app/argument_texts.hpp"
#include "app/listing_fields.hpp"
#include "forge/numbers.hpp"
#include "forge/terminal.hpp"
#include "platter/core/disk.hpp"

#include <iostream>
#include <string>

namespace app {

namespace {

forge::text_attr_t foreground(std::uint32_t colour) { return {forge::kAttrForeground, colour, forge::kNoColor}; }

std::string rightAligned(const std::string& text, std::uint64_t width, char fill = ' ') {
    return text.size() >= width ? text : std::string(width - text.size(), fill) + text;
}

std::string leftAligned(const std::string& text, std::uint64_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

// A column in its own colour, back to white after it.
void coloured(std::ostream& out, std::uint32_t colour, const std::string& text) {
    forge::applyAttributes(out, foreground(colour));
    out << text;
    forge::applyAttributes(out, foreground(7));
}

void white(std::ostream& out, const std::string& text) {
    forge::applyAttributes(out, foreground(7));
    out << text;
}

}  // namespace

void RenderColumns::renderListing(platter::Disk& disk, const std::string& prefix) {
    renderLines(disk, prefix, [&](std::ostream& out, const listed_entry_t& listed) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i != 0) out << ' ';
            renderField(out, fields[i], listed);
        }
    });
}

void RenderColumns::renderField(std::ostream& out, std::int32_t id, const listed_entry_t& listed) const {
    const platter::dir_entry_t& entry = listed.entry;
    const std::string splat = listed.line.splat ? "*" : " ";
    const std::string lock = listed.line.locked ? "<" : " ";
    switch (id) {
        case kFieldBlocks:
            coloured(out, 11, rightAligned(std::to_string(listed.line.blocks), fieldWidth(kFieldBlocks)));
            break;
        case kFieldBytes:
            if (listed.dataRead && listed.dataLength != 0)
                coloured(out, 3, rightAligned(numberText(listed.size), fieldWidth(kFieldBytes)));
            else
                out << rightAligned(" ", fieldWidth(kFieldBytes));
            break;
        case kFieldIndex: coloured(out, 15, rightAligned(std::to_string(listed.index), fieldWidth(kFieldIndex))); break;
        case kFieldTs: {
            const std::string track = std::to_string(entry.bytes[3]);
            const std::string sector = std::to_string(entry.bytes[4]);
            const std::uint64_t trackWidth = fieldWidth(kFieldTrackWidth);
            const std::uint64_t sectorWidth = fieldWidth(kFieldSectorWidth);
            const std::string text =
                settings.zeroPadTs ? rightAligned(track, trackWidth, '0') + "." + rightAligned(sector, sectorWidth, '0')
                                   : rightAligned(track, trackWidth) + "." + leftAligned(sector, sectorWidth);
            coloured(out, 13, text);
            break;
        }
        case kFieldAddr:
            out << (listed.dataRead && listed.hasLoadAddress ? "$" + forge::toHex(listed.loadAddress, 4)
                                                             : " " + rightAligned(" ", fieldWidth(kFieldAddr)));
            break;
        case kFieldName:
            forge::applyAttributes(out, foreground(7));
            writeQuotedName(out, listed);
            break;
        case kFieldStl:
            out << rightAligned(splat + typeText(listed.line, charset()) + lock,
                                fieldWidth(kFieldSplat) + fieldWidth(kFieldType) + fieldWidth(kFieldLock));
            break;
        case kFieldSplat: out << rightAligned(splat, fieldWidth(kFieldSplat)); break;
        case kFieldType: out << rightAligned(typeText(listed.line, charset()), fieldWidth(kFieldType)); break;
        case kFieldLock: out << rightAligned(lock, fieldWidth(kFieldLock)); break;
        case kFieldFile: white(out, path()); break;
        case kFieldXxh32: white(out, hashNotation(listed.xxh32)); break;
        case kFieldXxh3: white(out, hashNotation(listed.xxh3)); break;
        case kFieldChain: out << chainText(listed.blocks); break;
        case kFieldFfid: out << listed.description; break;
        default: break;
    }
}

}  // namespace app
