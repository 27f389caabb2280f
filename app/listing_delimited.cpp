#include "app/listing_delimited.hpp"

#include "app/listing_fields.hpp"
#include "forge/numbers.hpp"
#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/petscii/csv_field.hpp"

#include <iostream>

namespace app {

namespace {

std::string zeroPadded(std::uint64_t value, std::uint64_t width) {
    std::string text = std::to_string(value);
    return text.size() >= width ? text : std::string(width - text.size(), '0') + text;
}

}  // namespace

RenderDelimited::RenderDelimited(const std::string& delimiter)
    : delimiter_(forge::replaceAll(forge::replaceAll(delimiter, "\\t", "\t"), "\\n", "\n")) {}

entry_needs_t RenderDelimited::needs() const {
    entry_needs_t needs = Render::needs();
    needs.nameColour = false;
    needs.blocks = false;
    needs.description = false;
    needs.data = needs.hashes || hasField(kFieldBytes) || hasField(kFieldAddr);
    return needs;
}

void RenderDelimited::renderListing(platter::Disk& /*disk*/, const std::string& /*prefix*/) {
    std::ostream& out = std::cout;
    for (const listed_entry_t& listed : entries()) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i != 0) out << delimiter_;
            out << fieldText(fields[i], listed);
        }
        out << '\n';
    }
}

std::string RenderDelimited::fieldText(std::int32_t id, const listed_entry_t& listed) const {
    const platter::dir_entry_t& entry = listed.entry;
    const std::string splat = listed.line.splat ? "*" : "";
    const std::string lock = listed.line.locked ? "<" : "";
    switch (id) {
        case kFieldBlocks: return std::to_string(listed.line.blocks);
        case kFieldBytes: return numberText(listed.dataLength != 0 ? listed.size : 0);
        case kFieldIndex: return std::to_string(listed.index);
        case kFieldTs:
            if (settings.zeroPadTs) {
                return zeroPadded(entry.bytes[3], fieldWidth(kFieldTrackWidth)) + "." +
                       zeroPadded(entry.bytes[4], fieldWidth(kFieldSectorWidth));
            }
            return std::to_string(entry.bytes[3]) + "." + std::to_string(entry.bytes[4]);
        case kFieldAddr:
            return listed.dataRead && listed.hasLoadAddress ? "$" + forge::toHex(listed.loadAddress, 4) : "";
        // One field whatever the name holds: not the listing form, whose closing quote may
        // stand inside the name.
        case kFieldName: return platter::csvQuoted(wholeNameText(entry, charset()));
        case kFieldStl: return splat + typeText(listed.line, charset()) + lock;
        case kFieldSplat: return splat;
        case kFieldType: return typeText(listed.line, charset());
        case kFieldLock: return lock;
        case kFieldFile: return path();
        case kFieldXxh32: return listed.dataRead ? hashNotation(listed.xxh32) : "";
        case kFieldXxh3: return listed.dataRead ? hashNotation(listed.xxh3) : "";
        default:
            // The chain and ffid columns stay empty in this form.
            return "";
    }
}

}  // namespace app
