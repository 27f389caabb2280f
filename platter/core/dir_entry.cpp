#include "platter/core/dir_entry.hpp"

#include <algorithm>
#include <ctime>
#include <optional>
#include <string_view>

#include "platter/petscii/zipcode_names.hpp"

namespace platter {

dir_entry_t dir_entry_t::fromBytes(std::span<const std::uint8_t> raw) {
    dir_entry_t entry;
    std::copy_n(raw.begin(), std::min(raw.size(), kSize), entry.bytes.begin());
    return entry;
}

void dir_entry_t::setName(std::span<const std::uint8_t> name16) {
    const std::size_t n = std::min(name16.size(), kNameLength);
    std::copy_n(name16.begin(), n, bytes.begin() + kNameOffset);
    std::fill(bytes.begin() + kNameOffset + n, bytes.begin() + kNameOffset + kNameLength, std::uint8_t{0xa0});
}

std::uint8_t entryFileType(std::span<const std::uint8_t> entry) { return entry.size() > 2 ? entry[2] & 7 : 0; }

bool isEntrySplat(std::span<const std::uint8_t> entry) { return entry.size() > 2 && (entry[2] & 0x80) == 0; }

bool isEntryLocked(std::span<const std::uint8_t> entry) { return entry.size() > 2 && (entry[2] & 0x40) != 0; }

namespace {

// The name up to its padding, as the zipcode part rule reads it.
std::string_view paddedName(const dir_entry_t& entry) {
    const auto name = entry.name();
    return {reinterpret_cast<const char*>(name.data()), nameLength(entry)};
}

}  // namespace

bool isZipcodePartEntry(const dir_entry_t& entry) { return isZip4PartName(paddedName(entry)); }

bool isAnyZipcodePartEntry(const dir_entry_t& entry) { return zipcodePartName(paddedName(entry)).has_value(); }

std::string zipcodeSetName(const dir_entry_t& entry) {
    const std::optional<zipcode_part_name_t> part = zipcodePartName(paddedName(entry));
    if (!part) return {};
    std::string_view name = part->setName;
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return std::string(name);
}

bool isEmptyEntry(const dir_entry_t& entry) {
    const auto name = entry.name();
    return entry.bytes[2] == 0 && std::all_of(name.begin(), name.end(), [](std::uint8_t b) { return b == 0; });
}

bool isScratchedEntry(const dir_entry_t& entry) { return (entry.typeByte() & 0xCF) == 0; }

std::size_t nameLength(const dir_entry_t& entry) {
    const auto name = entry.name();
    return static_cast<std::size_t>(std::find(name.begin(), name.end(), std::uint8_t{0xa0}) - name.begin());
}

void stampEntryTime(dir_entry_t& entry) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    entry.bytes[25] = static_cast<std::uint8_t>(std::min(local.tm_year, 255));
    entry.bytes[26] = static_cast<std::uint8_t>(local.tm_mon + 1);
    entry.bytes[27] = static_cast<std::uint8_t>(local.tm_mday);
    entry.bytes[28] = static_cast<std::uint8_t>(local.tm_hour);
    entry.bytes[29] = static_cast<std::uint8_t>(local.tm_min);
}

}  // namespace platter
