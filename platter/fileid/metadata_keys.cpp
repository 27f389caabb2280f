#include "platter/fileid/metadata_keys.hpp"

#include <cstdio>

namespace platter::fileid {

namespace {

// Metadata labels and formatters, by key.
// clang-format off
constexpr metadata_key_t kMetadataKeys[] = {
    {0, "c128 boot", nullptr},
    {1, "GEOS", nullptr},
    {2, "SpeedDOS", nullptr},
    {3, "DolphinDOS", nullptr},
    {4, "PrologicDOS", nullptr},
    {5, "%i line%s", formatCount},
    {6, "d64/35", nullptr},
    {7, "c64", nullptr},
    {8, "vic-20", nullptr},
    {9, "plus/4", nullptr},
    {10, "pet", nullptr},
    {11, "c264", nullptr},
    {12, "c128", nullptr},
    {13, "classic", nullptr},
    {14, "unknown1", nullptr},
    {15, "unknown2", nullptr},
    {16, "unknown3", nullptr},
    {17, "unknown4", nullptr},
    {18, "unknown5", nullptr},
    {19, "unknown/f", nullptr},
    {20, "7198/var", nullptr},
    {21, "%s", formatGeosType},
    {22, "%s", formatText},
    {23, "%s", formatText},
    {24, "%s", formatText},
    {25, "punter", nullptr},
    {26, "xmodem", nullptr},
    {27, "\"%s\"", formatText},
    {28, "multicolor", nullptr},
    {29, "hires", nullptr},
    {30, "pcode", nullptr},
    {31, "mcode", nullptr},
};

// GEOS file-type names, by type number.
constexpr const char* kGeosTypeNames[] = {
    "Non-GEOS File", "BASIC Prg.",     "Assembly Prg.",    "Data File",   "a System File",
    "Desk Accessory", "Application",   "Appl.Data",        "Font File",   "Printer Driver",
    "C64 Input Driver", "Disk Driver", "a System Boot File", "Temp",      "Auto-Exec",
};
// clang-format on

// printf into a string of exactly the length the format produces. The labels are
// this library's own constants, never outside input.
template <typename... Args>
std::string formatLabel(const char* label, Args... args) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(nullptr, 0, label, args...);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), label, args...);
#pragma GCC diagnostic pop
    text.resize(static_cast<std::size_t>(length));
    return text;
}

const metadata_key_t* findKey(std::uint32_t key) {
    for (const auto& entry : g_metadata_keys) {
        if (entry.key == key) return &entry;
    }
    return nullptr;
}

}  // namespace

constexpr std::span<const metadata_key_t> g_metadata_keys{kMetadataKeys};
constexpr std::span<const char* const> g_geos_type_names{kGeosTypeNames};

std::string metadataToString(const file_metadata_t& item) {
    const metadata_key_t* entry = findKey(item.key);
    if (entry == nullptr) return {};
    if (entry->formatter == nullptr) return entry->label;
    return entry->formatter(item, entry->label);
}

std::string metadataLabel(std::uint32_t key) {
    const metadata_key_t* entry = findKey(key);
    return entry == nullptr ? std::string() : std::string(entry->label);
}

std::string formatCount(const file_metadata_t& item, const char* label) {
    if (item.value.size() < 2) return {};
    const int count = item.value[0] | (item.value[1] << 8);
    return formatLabel(label, count, count == 1 ? "" : "s");
}

std::string formatGeosType(const file_metadata_t& item, const char* label) {
    if (item.value.empty() || item.value[0] >= g_geos_type_names.size()) return {};
    return formatLabel(label, g_geos_type_names[item.value[0]]);
}

std::string formatText(const file_metadata_t& item, const char* label) {
    if (item.value.empty()) return {};
    std::string text;
    for (std::uint8_t byte : item.value) {
        if (byte == 0) break;
        text += (byte >= 0x20 && byte <= 0x7E) ? static_cast<char>(byte) : '`';
    }
    return formatLabel(label, text.c_str());
}

std::string formatNumber(const file_metadata_t& item, const char* label) {
    if (item.value.size() != 2) return {};
    return formatLabel(label, item.value[0] | (item.value[1] << 8));
}

}  // namespace platter::fileid
