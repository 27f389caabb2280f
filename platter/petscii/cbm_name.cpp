#include "platter/petscii/cbm_name.hpp"

#include <algorithm>

#include "forge/paths.hpp"
#include "platter/petscii/ascii_to_petscii.hpp"

namespace platter {

namespace {

std::size_t lengthTo(std::span<const std::uint8_t> bytes, std::size_t n, std::uint8_t stop) {
    const auto first = bytes.first(std::min(n, bytes.size()));
    return static_cast<std::size_t>(std::find(first.begin(), first.end(), stop) - first.begin());
}

}  // namespace

std::size_t paddedLength(std::span<const std::uint8_t> bytes, std::size_t n) { return lengthTo(bytes, n, kNamePad); }

std::size_t lengthToSpace(std::span<const std::uint8_t> bytes, std::size_t n) { return lengthTo(bytes, n, 0x20); }

void copyPadded(std::span<std::uint8_t> destination, std::string_view text, std::size_t n) {
    n = std::min(n, destination.size());
    const std::size_t textEnd = std::min(text.find('\0'), text.size());
    const std::size_t copied = std::min(textEnd, n);
    std::copy_n(text.begin(), copied, destination.begin());
    std::fill(destination.begin() + static_cast<std::ptrdiff_t>(copied),
              destination.begin() + static_cast<std::ptrdiff_t>(n), kNamePad);
}

std::string nameExtension(std::span<const std::uint8_t> name) {
    const auto used = name.first(paddedLength(name, kNameSize));
    const auto dot = std::find(used.rbegin(), used.rend(), '.');
    if (dot == used.rend()) return {};
    return std::string(dot.base(), used.end());
}

void nameFromHostText(std::string_view text, std::span<std::uint8_t> destination) {
    std::vector<std::uint8_t> petscii;
    asciiToPetscii(text.substr(0, kNameSize), petscii, Charset::lowerUpper);
    const std::size_t n = std::min({petscii.size(), destination.size(), kNameSize});
    std::copy_n(petscii.begin(), n, destination.begin());
}

bool clearEntryWithName(std::span<std::uint8_t> entry, std::string_view text) {
    if (entry.size() < kEntrySize) return false;
    std::fill_n(entry.begin(), kEntrySize, 0);
    const auto name = entry.subspan(kEntryNameOffset, kNameSize);
    std::fill(name.begin(), name.end(), kNamePad);
    nameFromHostText(text, name);
    return true;
}

std::string pathExtension(std::string_view path) {
    const std::string name = forge::fileName(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    if (name.size() <= 2 && name[0] == '.') return {};
    // An empty extension ("name.") counts as none.
    if (dot + 1 == name.size()) return {};
    return name.substr(dot);
}

}  // namespace platter
