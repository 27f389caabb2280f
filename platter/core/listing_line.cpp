#include "platter/core/listing_line.hpp"

#include <algorithm>

#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"
#include "platter/petscii/colour_codes.hpp"

namespace platter {

namespace {

constexpr std::uint8_t kPadding = 0xA0;

bool isControlCode(char c) { return static_cast<std::uint8_t>(c) < 0x20; }

}  // namespace

std::span<const std::uint8_t> listing_line_t::trimmedName() const {
    std::size_t length = name.size();
    while (length > 0 && name[length - 1] == kPadding) --length;
    return std::span(name.data(), length);
}

std::string listing_line_t::shownTypeWord() const {
    std::string shown = typeWord;
    std::erase_if(shown, isControlCode);
    return shown;
}

bool listing_line_t::reversesRest() const {
    return typeWord.find(static_cast<char>(kPetsciiReverseOn)) != std::string::npos;
}

listing_line_t listingLine(const Disk& disk, const dir_entry_t& entry) {
    listing_line_t line;
    line.blocks = disk.entryBlocks(entry);
    std::ranges::copy(entry.name(), line.name.begin());
    line.splat = disk.showsEntryFlags() && entry.isSplat();
    line.locked = disk.showsEntryFlags() && entry.isLocked();
    line.typeWord = disk.typeWord(entry);
    return line;
}

}  // namespace platter
