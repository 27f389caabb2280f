#include "app/listing.hpp"

#include "app/options.hpp"
#include "app/program_state.hpp"
#include "app/listing_fields.hpp"
#include "forge/numbers.hpp"
#include "forge/strings.hpp"
#include "forge/terminal.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/petscii/petscii_text.hpp"
#include "platter/petscii/screen_codes.hpp"

#include <algorithm>
#include <array>
#include <iostream>

namespace app {

namespace {

constexpr std::uint8_t kShiftedSpace = 0xA0;
constexpr std::uint8_t kQuote = 0x22;
constexpr std::uint32_t kWhite = 7;

const std::array<std::int32_t, 5> g_counted_fields = {kFieldBlocks, kFieldBytes, kFieldIndex, kFieldTrackWidth,
                                                      kFieldSectorWidth};

char fallbackCharacter() {
    if (g_option_ascii_fall.isSet()) {
        const std::string value = g_option_ascii_fall.value(0);
        if (!value.empty()) return value.front();
    }
    return '`';
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void foregroundWhite(std::ostream& out) {
    forge::applyAttributes(out, {forge::kAttrForeground, kWhite, forge::kNoColor});
}

}  // namespace

Render::Render() : fallback_(fallbackCharacter()) {}

void Render::prepare(platter::Disk& disk, const std::string& path, platter::Charset charset, std::uint64_t frame) {
    charset_ = charset;
    path_ = path;
    frame_ = frame;
    entries_.clear();
    widths_.clear();
    const entry_needs_t wanted = needs();
    const std::uint64_t count = disk.countDirectoryEntries();
    for (std::uint64_t i = 0; i < count; ++i) {
        platter::dir_entry_t entry;
        if (!isSelected(i) || !disk.getEntry(i, true, entry) || platter::isEmptyEntry(entry) || !isShown(entry))
            continue;
        entries_.push_back(gatherEntry(disk, i, entry, wanted));
        measure(entries_.back());
    }
    for (std::int32_t id : g_counted_fields) widths_[id] = forge::countDigits(static_cast<std::uint64_t>(widths_[id]));
    if (settings.zeroPadTs) {
        widths_[kFieldTrackWidth] = std::max<std::uint64_t>(widths_[kFieldTrackWidth], 2);
        widths_[kFieldSectorWidth] = std::max<std::uint64_t>(widths_[kFieldSectorWidth], 2);
    }
}

// Until the digit counts are taken, the counted fields hold their largest value.
void Render::measure(const listed_entry_t& listed) {
    const auto raise = [this](std::int32_t id, std::uint64_t value) {
        std::uint64_t& width = widths_[id];
        width = std::max(width, value);
    };
    raise(kFieldBlocks, listed.line.blocks);
    if (listed.dataRead) raise(kFieldBytes, listed.dataLength);
    raise(kFieldIndex, listed.index);
    raise(kFieldTrackWidth, listed.entry.bytes[3]);
    raise(kFieldSectorWidth, listed.entry.bytes[4]);
    widths_[kFieldType] = 3;
    widths_[kFieldAddr] = 4;
    if (listed.line.splat) widths_[kFieldSplat] = 1;
    if (listed.line.locked) widths_[kFieldLock] = 1;
}

bool Render::isShown(const platter::dir_entry_t& entry) const {
    return !platter::isScratchedEntry(entry) || settings.almostAll;
}

bool Render::hasField(std::int32_t id) const { return std::find(fields.begin(), fields.end(), id) != fields.end(); }

entry_needs_t Render::needs() const {
    entry_needs_t needs;
    needs.hashes = hasField(kFieldXxh32) || hasField(kFieldXxh3);
    needs.description = hasField(kFieldFfid);
    needs.blocks = hasField(kFieldChain);
    needs.nameColour = g_console.writesColor() && (fields.empty() || hasField(kFieldName));
    needs.data = needs.hashes || needs.description || hasField(kFieldBytes) || hasField(kFieldAddr);
    return needs;
}

bool Render::isSelected(std::uint64_t index) const { return selection.isIndexSelectedInFrame(index, frame_); }

std::uint64_t Render::fieldWidth(std::int32_t id) const {
    const auto found = widths_.find(id);
    return found == widths_.end() ? 0 : found->second;
}

std::string Render::petsciiToText(std::span<const std::uint8_t> bytes, platter::Charset charset, bool reverse) const {
    std::string text;
    const bool ascii = g_console.mode() == forge::kModeAscii;
    for (std::uint8_t c : bytes) {
        if (ascii) {
            // The shifted letters 0xC1-0xDA are the capitals of the lower/upper set.
            std::uint8_t converted = 0;
            const bool printable = platter::isPrintablePetscii(c) || (c >= 0xC1 && c <= 0xDA);
            const bool ok = printable && platter::petsciiToAscii(c, converted, charset, true);
            text += ok ? static_cast<char>(converted) : fallback_;
        } else {
            std::uint8_t screenCode = 0;
            platter::petsciiToScreenCode(c, screenCode, reverse);
            forge::appendUtf8(platter::petsciiToUnicode(screenCode, charset, 0), text);
        }
    }
    return text;
}

std::string Render::entryNameText(const platter::dir_entry_t& entry, platter::Charset charset, bool reverse) const {
    return nameText(entry, charset, reverse, true);
}

std::string Render::wholeNameText(const platter::dir_entry_t& entry, platter::Charset charset) const {
    return nameText(entry, charset, false, false);
}

std::string Render::nameText(const platter::dir_entry_t& entry, platter::Charset charset, bool reverse,
                             bool closingQuote) const {
    const std::span<const std::uint8_t, 16> name = entry.name();
    std::array<std::uint8_t, 16> bytes{};
    std::copy(name.begin(), name.end(), bytes.begin());
    std::size_t length = bytes.size();
    while (length > 0 && bytes[length - 1] == kShiftedSpace) --length;
    bool quoted = !closingQuote;
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (bytes[i] == kQuote) {
            quoted = true;
        } else if (bytes[i] == kShiftedSpace) {
            bytes[i] = quoted ? ' ' : kQuote;
            quoted = true;
        }
    }
    return petsciiToText(std::span(bytes.data(), length), charset, reverse);
}

std::string Render::diskNameText(platter::Disk& disk, platter::Charset charset, bool reverse) const {
    std::array<std::uint8_t, 19> bytes{};
    bytes.fill(kShiftedSpace);
    bytes[0] = kQuote;
    bytes[17] = kQuote;
    bytes[18] = ' ';
    std::array<std::uint8_t, 16> name{};
    if (disk.getDiskName(name)) std::copy(name.begin(), name.end(), bytes.begin() + 1);
    return petsciiToText(bytes, charset, reverse);
}

std::string Render::diskIdText(platter::Disk& disk, platter::Charset charset, bool reverse) const {
    std::array<std::uint8_t, 5> id{};
    if (!disk.getDiskId(id)) id.fill(kShiftedSpace);
    return petsciiToText(id, charset, reverse);
}

std::string Render::typeWordText(const platter::listing_line_t& line, platter::Charset charset) const {
    return petsciiToText(bytesOf(line.shownTypeWord()), charset, false);
}

std::string Render::typeText(const platter::listing_line_t& line, platter::Charset charset) const {
    static constexpr std::array<std::uint8_t, 1> kSpace = {' '};
    const std::string word = typeWordText(line, charset);
    return line.reversesRest() ? word + petsciiToText(kSpace, charset, true) : word;
}

std::string Render::numberText(std::uint64_t value) const {
    return settings.human ? forge::humanReadableSize(value, 1) : std::to_string(value);
}

std::uint64_t Render::trimmedNameLength(const platter::dir_entry_t& entry) const {
    const std::span<const std::uint8_t, 16> name = entry.name();
    std::uint64_t length = name.size();
    while (length > 0 && name[length - 1] == kShiftedSpace) --length;
    return length;
}

void Render::writeQuotedName(std::ostream& out, const listed_entry_t& listed) const {
    out << '"';
    forge::applyAttributes(out, listed.nameColour);
    const std::string name = entryNameText(listed.entry, charset_, false);
    out << name;
    forge::applyAttributes(out, {forge::kAttrReset, forge::kNoColor, forge::kNoColor});
    foregroundWhite(out);
    out << (name.find('"') == std::string::npos ? '"' : ' ');
    out << std::string(16 - trimmedNameLength(listed.entry), ' ');
}

// Without --color, colour is on for this line alone, so the disk name shows in
// reverse video; --Xcolor writes the bare text.
void Render::renderHeader(platter::Disk& disk) {
    std::ostream& out = std::cout;
    const std::string name = diskNameText(disk, charset_, false);
    const std::string id = diskIdText(disk, charset_, false);
    if (g_option_xcolor.isSet()) {
        out << "0 " << name << id << '\n';
        return;
    }
    const bool colourWasOn = g_console.colorOn();
    g_console.setColor(true);
    foregroundWhite(out);
    out << "0 ";
    forge::applyAttributes(out, {forge::kAttrReverse, forge::kNoColor, forge::kNoColor});
    foregroundWhite(out);
    out << name << id;
    forge::applyAttributes(out, {forge::kAttrReset, forge::kNoColor, forge::kNoColor});
    out << '\n';
    g_console.setColor(colourWasOn);
}

void Render::renderLines(platter::Disk& disk, const std::string& prefix,
                         const std::function<void(std::ostream&, const listed_entry_t&)>& writeEntry) {
    std::ostream& out = std::cout;
    if (!settings.noHeader) {
        out << prefix;
        renderHeader(disk);
    }
    for (const listed_entry_t& listed : entries()) {
        out << prefix;
        writeEntry(out, listed);
        out << '\n';
    }
    // Kinds without a block map (tapes, CMD and IDE64 images) have no blocks-free line.
    if (!settings.noFooter && !disk.blocksFreeText().empty()) {
        out << prefix;
        renderFooter(disk);
    }
}

// The drive's text in the listing's character set: "blocks free." in the lower-case one.
void Render::renderFooter(platter::Disk& disk) {
    std::cout << petsciiToText(bytesOf(disk.blocksFreeText()), charset_, false) << '\n';
}

}  // namespace app
