#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

namespace metadata_key {
inline constexpr std::uint32_t c128_boot = 0;
inline constexpr std::uint32_t geos = 1;
inline constexpr std::uint32_t speed_dos = 2;
inline constexpr std::uint32_t dolphin_dos = 3;
inline constexpr std::uint32_t prologic_dos = 4;
inline constexpr std::uint32_t line_count = 5;
inline constexpr std::uint32_t d64_35 = 6;
inline constexpr std::uint32_t c64 = 7;
inline constexpr std::uint32_t vic20 = 8;
inline constexpr std::uint32_t plus4 = 9;
inline constexpr std::uint32_t pet = 10;
inline constexpr std::uint32_t c264 = 11;
inline constexpr std::uint32_t c128 = 12;
inline constexpr std::uint32_t t64_classic = 13;
inline constexpr std::uint32_t unknown1 = 14;
inline constexpr std::uint32_t unknown2 = 15;
inline constexpr std::uint32_t unknown3 = 16;
inline constexpr std::uint32_t unknown4 = 17;
inline constexpr std::uint32_t unknown5 = 18;
inline constexpr std::uint32_t unknown_f = 19;
inline constexpr std::uint32_t variant_7198 = 20;
inline constexpr std::uint32_t geos_file_type = 21;
inline constexpr std::uint32_t geos_class = 22;
inline constexpr std::uint32_t geos_author = 23;
inline constexpr std::uint32_t geos_parent = 24;
inline constexpr std::uint32_t punter = 25;
inline constexpr std::uint32_t xmodem = 26;
inline constexpr std::uint32_t credit_text = 27;
inline constexpr std::uint32_t multicolor = 28;
inline constexpr std::uint32_t hires = 29;
inline constexpr std::uint32_t pcode = 30;
inline constexpr std::uint32_t mcode = 31;
}  // namespace metadata_key

// Turns an item into text, using the key's label as its printf format.
using metadata_formatter_t = std::string (*)(const file_metadata_t& item, const char* label);

// One metadata key: its label and, for keys with a value, the formatter.
struct metadata_key_t {
    std::uint32_t key = 0;
    const char* label = "";
    metadata_formatter_t formatter = nullptr;
};

// Every metadata key, by ascending key.
extern const std::span<const metadata_key_t> g_metadata_keys;

// GEOS file-type names, indexed by the GEOS file type (0 to 14).
extern const std::span<const char* const> g_geos_type_names;

// The text of one item; "" for a key without an entry.
std::string metadataToString(const file_metadata_t& item);

// The key's label as it stands; "" for a key without an entry.
std::string metadataLabel(std::uint32_t key);

// A little-endian 16-bit count with a plural suffix ("%i line%s"); needs 2 bytes.
std::string formatCount(const file_metadata_t& item, const char* label);
// The name of the GEOS file type in the first value byte; "" when it has none.
std::string formatGeosType(const file_metadata_t& item, const char* label);
// The value up to its first zero byte, unprintable bytes shown as a backquote.
std::string formatText(const file_metadata_t& item, const char* label);
// A little-endian 16-bit number; needs exactly 2 bytes.
std::string formatNumber(const file_metadata_t& item, const char* label);

}  // namespace platter::fileid
