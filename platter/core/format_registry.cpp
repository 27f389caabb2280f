#include "platter/core/format_registry.hpp"

#include "forge/strings.hpp"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "platter/core/dir_entry.hpp"

namespace platter {
namespace {

std::string_view withoutDot(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    return extension;
}

// Built once; a later row replaces an earlier one with the same key.
const std::unordered_map<format_id, const container_format_t*>& idIndex() {
    static const auto index = [] {
        std::unordered_map<format_id, const container_format_t*> map;
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

const container_format_t* formatById(format_id id) {
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

std::string formatName(format_id id) {
    const container_format_t* row = formatById(id);
    return row ? std::string(row->name) : "id " + std::to_string(formatNumber(id));
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

bool isImageKind(const container_format_t& row) {
    return (row.category & kCategoryImage) != 0 && (row.category & kCategoryCbmFile) == 0;
}

bool isP00Family(format_id id) {
    return id == format_id::p00 || id == format_id::r00 || id == format_id::s00 || id == format_id::u00;
}

format_id p00FormatForType(std::uint32_t cbmType) {
    switch (cbmType) {
        case kTypeSeq: return format_id::s00;
        case kTypePrg: return format_id::p00;
        case kTypeRel: return format_id::r00;
        default: return format_id::none;
    }
}

std::uint64_t partitionSizeBlocks(format_id id, std::uint64_t byteSize) {
    const container_format_t* row = formatById(id);
    if (!row) return 0;
    if (row->partitionBlocks != kPartitionSizedByImage) return row->partitionBlocks;
    return std::max<std::uint64_t>(512, byteSize / 256 + (byteSize % 256 != 0 ? 1 : 0));
}

std::uint32_t cmdPartitionTypeOf(format_id id) {
    switch (id) {
        case format_id::dnp: return 1;
        case format_id::d64: return 2;
        case format_id::d71: return 3;
        case format_id::d81: return 4;
        default: return 0;
    }
}

format_id formatOfCmdPartitionType(std::uint32_t partitionType) {
    switch (partitionType) {
        case 1: return format_id::dnp;
        case 2: return format_id::d64;
        case 3: return format_id::d71;
        case 4: return format_id::d81;
        default: return format_id::unknown;
    }
}

}  // namespace platter
