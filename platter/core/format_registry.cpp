#include "platter/core/format_registry.hpp"

#include "forge/strings.hpp"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace platter {
namespace {

std::string_view withoutDot(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    return extension;
}

// Built once; a later row replaces an earlier one with the same key.
const std::unordered_map<std::uint32_t, const container_format_t*>& idIndex() {
    static const auto index = [] {
        std::unordered_map<std::uint32_t, const container_format_t*> map;
        for (const container_format_t& row : containerFormats()) map[row.id] = &row;
        return map;
    }();
    return index;
}

const std::unordered_map<std::string, const container_format_t*>& extensionIndex() {
    static const auto index = [] {
        std::unordered_map<std::string, const container_format_t*> map;
        for (const container_format_t& row : containerFormats()) {
            if (!row.extension.empty()) map[forge::toLower(withoutDot(row.extension))] = &row;
        }
        return map;
    }();
    return index;
}

}  // namespace

const container_format_t* formatById(std::uint32_t id) {
    const auto& index = idIndex();
    const auto it = index.find(id);
    return it == index.end() ? nullptr : it->second;
}

const container_format_t* formatByExtension(std::string_view extension) {
    const std::string key = forge::toLower(withoutDot(extension));
    if (key.empty()) return nullptr;
    const auto& index = extensionIndex();
    const auto it = index.find(key);
    return it == index.end() ? nullptr : it->second;
}

const container_format_t* formatByCbmType(std::uint32_t type) {
    for (const container_format_t& row : containerFormats()) {
        if (row.cbmType == type) return &row;
    }
    return nullptr;
}

std::vector<std::string> supportedExtensions() {
    std::vector<std::string> out;
    for (const container_format_t& row : containerFormats()) {
        if (!row.extension.empty()) out.emplace_back(row.extension);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    // The zipcode part prefixes, as the credits list them.
    out.emplace_back("4!5!");
    out.emplace_back(" 6!!");
    return out;
}

std::uint32_t cmdPartitionTypeOf(std::uint32_t formatId) {
    switch (formatId) {
        case kFormatDnp: return 1;
        case kFormatD64: return 2;
        case kFormatD71: return 3;
        case kFormatD81: return 4;
        default: return 0;
    }
}

std::uint32_t formatOfCmdPartitionType(std::uint32_t partitionType) {
    switch (partitionType) {
        case 1: return kFormatDnp;
        case 2: return kFormatD64;
        case 3: return kFormatD71;
        case 4: return kFormatD81;
        default: return kFormatUnknown;
    }
}

}  // namespace platter
