#include "platter/fileid/identify.hpp"

#include "platter/fileid/file_type_table.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

bool fitsSizeLimits(const file_type_record_t& record, std::uint64_t size) {
    if (record.minSize == 0 && record.maxSize == 0) return true;
    return record.minSize <= size && size <= record.maxSize;
}

}  // namespace

std::vector<file_traits_t> identify(std::span<const std::uint8_t> data) {
    std::vector<file_traits_t> results;
    for (const auto& record : g_file_types) {
        if (record.detector == nullptr) continue;
        // The text classifier only speaks for data nothing else recognised.
        if (record.id == type_id::data && !results.empty()) continue;
        if (!fitsSizeLimits(record, data.size())) continue;
        file_traits_t traits = record.detector(data);
        if (traits.type == type_id::unknown) continue;
        const bool stop = record.final != 0 || isDescendantOf(traits.type, type_id::error);
        results.push_back(std::move(traits));
        if (stop) break;
    }
    if (results.empty()) results.push_back(g_unknown_traits);
    return results;
}

// The walk of identify(), as far as the detectors that decide by the first bytes (the
// error row by the size alone).
std::uint32_t identifyByHead(std::span<const std::uint8_t> head, std::uint64_t size) {
    for (const auto& record : g_file_types) {
        if (record.detector == nullptr || !fitsSizeLimits(record, size)) continue;
        if (record.id != type_id::error && record.id != type_id::g64 && record.id != type_id::nib) return 0;
        const file_traits_t traits = record.detector(head);
        if (traits.type != type_id::unknown) return record.id == type_id::error ? 0 : traits.type;
    }
    return 0;
}

std::vector<file_traits_t> identifyAs(std::span<const std::uint8_t> data, std::uint32_t type, bool allDescendants) {
    file_traits_t error = detectError(data);
    if (error.type != type_id::unknown) return {std::move(error)};
    if (!allDescendants) {
        const detector_t detector = detectorForType(type);
        if (detector == nullptr) return {file_traits_t{type_id::error, 100, {}}};
        return {detector(data)};
    }
    std::vector<file_traits_t> results;
    for (std::uint32_t id : typeAndDescendants(type)) {
        const detector_t detector = detectorForType(id);
        if (detector == nullptr) continue;
        file_traits_t traits = detector(data);
        if (traits.type != type_id::unknown) results.push_back(std::move(traits));
    }
    if (results.empty()) results.push_back(g_unknown_traits);
    return results;
}

bool hasType(std::span<const std::uint8_t> data, std::uint32_t type) {
    for (const auto& traits : identify(data)) {
        if (traits.type == type) return true;
    }
    return false;
}

file_traits_t detectError(std::span<const std::uint8_t> data) {
    if (data.empty()) return recognised(type_id::file_empty);
    if (data.size() < 3) return recognised(type_id::file_too_small);
    return g_unknown_traits;
}

}  // namespace platter::fileid
