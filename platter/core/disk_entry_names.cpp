#include <algorithm>
#include <array>

#include "platter/core/disk.hpp"

namespace platter {

namespace {

using name_t = std::array<std::uint8_t, dir_entry_t::kNameLength>;

constexpr std::uint8_t kPadding = 0xa0;
constexpr std::uint8_t kSpace = 0x20;

name_t nameBytes(const dir_entry_t& entry) {
    name_t name;
    std::copy(entry.name().begin(), entry.name().end(), name.begin());
    return name;
}

// Whether the case mode changes this byte: 0 the letters 0x61-0x7A, 1 0x41-0x5A, 2 both; any
// other mode acts as 0.
bool changesCase(int mode, std::uint8_t byte) {
    const bool lower = byte >= 0x61 && byte <= 0x7a;
    const bool upper = byte >= 0x41 && byte <= 0x5a;
    if (mode == 1) return upper;
    if (mode == 2) return lower || upper;
    return lower;
}

}  // namespace

bool Disk::changeEntryNameCase(int mode, dir_entry_t& entry, std::uint64_t index, bool apply) {
    name_t name = nameBytes(entry);
    bool changed = false;
    for (std::uint8_t& byte : name) {
        if (!changesCase(mode, byte)) continue;
        if (!apply) return true;
        byte ^= 0x20;
        changed = true;
    }
    // Nothing to change records nothing.
    if (changed) setEntryField(entry, index, dir_entry_t::kNameOffset, name, kUndoFileName, "Change File Name Case");
    return changed;
}

bool Disk::changeFileNameCase(int mode, std::uint64_t index, bool apply) {
    dir_entry_t entry;
    if (!getEntry(index, includeEmpty_, entry)) return false;
    return changeEntryNameCase(mode, entry, index, apply);
}

bool Disk::expandEntryName(dir_entry_t& entry, int mode, std::uint64_t index) {
    const name_t old = nameBytes(entry);
    // Only a space is a leading blank; a space or a shifted space (0xA0) ends the text.
    const auto begin = std::find_if(old.begin(), old.end(), [](std::uint8_t b) { return b != kSpace; });
    auto end = old.end();
    while (end != begin && (*(end - 1) & 0x7f) == kSpace) --end;
    const std::size_t length = static_cast<std::size_t>(end - begin);

    name_t name;
    name.fill(mode == 0 ? kPadding : kSpace);
    std::size_t at = 0;
    if (mode == 2) at = name.size() - length;
    if (mode == 3) at = (name.size() - length) / 2;
    std::copy(begin, end, name.begin() + static_cast<std::ptrdiff_t>(at));
    setEntryField(entry, index, dir_entry_t::kNameOffset, name, kUndoFileName, "Expand File Name");
    return true;
}

bool Disk::expandFileName(int mode, std::uint64_t index) {
    dir_entry_t entry;
    if (!getEntry(index, includeEmpty_, entry)) return false;
    return expandEntryName(entry, mode, index);
}

bool Disk::findEntryByName(std::span<const std::uint8_t, 16> name, std::uint64_t& index, bool prgOnly) {
    const auto nameEnd = std::find(name.begin(), name.end(), kPadding);
    for (std::uint64_t i = 0;; ++i) {
        dir_entry_t entry;
        if (!getEntry(i, includeEmpty_, entry)) return false;
        if (prgOnly && entry.fileType() != kTypePrg) continue;
        const auto candidate = entry.name();
        const auto candidateEnd = std::find(candidate.begin(), candidate.end(), kPadding);
        if (std::equal(name.begin(), nameEnd, candidate.begin(), candidateEnd)) {
            index = i;
            return true;
        }
    }
}

}  // namespace platter
