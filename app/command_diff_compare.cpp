// The block-by-block comparison of the diff command and the kinds of image
// it compares.

#include "app/command_diff.hpp"

#include "platter/core/disk.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/type_ids.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

namespace app {

namespace {

namespace id = platter::fileid::type_id;

struct type_group_t {
    std::uint32_t type;
    unsigned group;
};

// Identified types that diff compares, each with its group of mutually
// comparable kinds. Every variant with error bytes sits in its base kind's
// group: error bytes do not change the block layout.
constexpr std::array<type_group_t, 27> g_diff_type_groups = {{
    {id::d64, 1},      {id::d64_35, 1}, {id::d64_35_e, 1}, {id::d64_40, 1}, {id::d64_40_e, 1}, {id::d64_42, 1},
    {id::d64_42_e, 1}, {id::g64, 1},    {id::nib, 1},      {id::nib_v1, 1}, {id::nib_v2, 1},   {id::nib_v3, 1},
    {id::nbz, 1},      {id::d71, 2},    {id::d71_e, 2},    {id::d81, 3},    {id::d81_e, 3},    {id::d80, 4},
    {id::d80_e, 4},    {id::d82, 5},    {id::d82_e, 5},    {id::d1m, 6},    {id::d1m_e, 6},    {id::d2m, 7},
    {id::d2m_e, 7},    {id::d4m, 8},    {id::d4m_e, 8},
}};

std::optional<unsigned> groupOf(std::uint32_t type) {
    for (const type_group_t& entry : g_diff_type_groups) {
        if (entry.type == type) return entry.group;
    }
    return std::nullopt;
}

std::uint64_t countDifferingBytes(const std::uint8_t* first, const std::uint8_t* second) {
    std::uint64_t count = 0;
    for (std::size_t i = 0; i < platter::Disk::kBlockSize; ++i) count += first[i] != second[i] ? 1 : 0;
    return count;
}

constexpr std::uint8_t kFirstErrorCode = 2;

// The bytes compared: a block the image holds, one its error byte marks unread included (the
// error bytes are compared on their own); null for one it lacks or could not decode.
const std::uint8_t* comparedBytes(platter::Disk& disk, const platter::track_sector_t& block) {
    return disk.recordsFailedRead(block) ? disk.blockPointer(block) : disk.readableBlock(block);
}

}  // namespace

bool isBlockBasedType(std::uint32_t type) { return groupOf(type).has_value(); }

std::uint32_t blockBasedTypeOf(platter::format_id format) {
    const auto* entry = std::ranges::find_if(
        g_diff_type_groups, [&](const type_group_t& row) { return platter::formatIdForType(row.type) == format; });
    return entry == g_diff_type_groups.end() ? 0 : entry->type;
}

bool comparableTypes(std::uint32_t first, std::uint32_t second) {
    const std::optional<unsigned> group = groupOf(first);
    return group.has_value() && group == groupOf(second);
}

char comparisonSymbol(const block_comparison_t& record) {
    const bool same = record.differingBytes == 0;
    if (!record.errorPresent) return same ? '.' : 'x';
    if (!record.errorsDiffer) return same ? ':' : '=';
    return same ? '!' : '*';
}

// Sectors are those of the first image; a block the second image lacks, or
// whose bytes either image cannot supply (or decode), differs in all its bytes.
std::vector<block_comparison_t> CommandDiff::compareDisks(platter::Disk& first, platter::Disk& second) {
    missing_.clear();
    std::vector<block_comparison_t> records;
    const std::uint64_t lastTrack = std::min(first.trackCount(), second.trackCount());
    std::uint64_t fromTrack = 1;
    std::uint64_t toTrack = lastTrack;
    if (settings.track != 0 && settings.track <= lastTrack) fromTrack = toTrack = settings.track;
    for (std::uint64_t t = fromTrack; t <= toTrack; ++t) {
        const std::uint64_t sectors = first.sectorCount(t);
        for (std::uint64_t s = 0; s < sectors; ++s) {
            const platter::track_sector_t block = platter::makeBlock(t, s);
            block_comparison_t record{t, s, false, false, platter::Disk::kBlockSize};
            const std::uint8_t* a = comparedBytes(first, block);
            const std::uint8_t* b = comparedBytes(second, block);
            if (a == nullptr) missing_.push_back({t, s, 0});
            if (b == nullptr) missing_.push_back({t, s, 1});
            if (a != nullptr && b != nullptr) record.differingBytes = countDifferingBytes(a, b);
            if (!settings.ignoreErrors) {
                const std::uint8_t e1 = first.errorCode(block);
                const std::uint8_t e2 = second.errorCode(block);
                if (e1 >= kFirstErrorCode || e2 >= kFirstErrorCode) {
                    record.errorPresent = true;
                    record.errorsDiffer = e1 != e2;
                }
            }
            records.push_back(record);
        }
    }
    return records;
}

}  // namespace app
