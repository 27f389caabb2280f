#include "platter/core/disk_library.hpp"

#include <algorithm>
#include <ctime>

namespace platter {
namespace {

constexpr std::uint8_t kPad = 0xA0;

bool endsPattern(std::uint8_t c) { return c == 0 || c == kPad; }

bool wildcardMatch(std::span<const std::uint8_t> pattern, std::span<const std::uint8_t> name) {
    for (std::size_t i = 0;; ++i) {
        if (i >= name.size()) {
            // The name ended: only '*' and '?' may be left of the pattern.
            for (std::size_t j = i; j < pattern.size() && !endsPattern(pattern[j]); ++j) {
                if (pattern[j] != '*' && pattern[j] != '?') return false;
            }
            return true;
        }
        if (i >= pattern.size()) return false;
        const std::uint8_t c = pattern[i];
        if (c == '*') {
            if (i + 1 == pattern.size() || endsPattern(pattern[i + 1])) return true;
            for (std::size_t k = i; k < name.size(); ++k) {
                if (wildcardMatch(pattern.subspan(i + 1), name.subspan(k))) return true;
            }
            return false;
        }
        if (c != '?' && c != name[i]) return false;
    }
}

}  // namespace

bool cbmWildcardMatch(std::span<const std::uint8_t> pattern, std::span<const std::uint8_t> name) {
    const auto nameEnd = std::find(name.begin(), name.end(), kPad);
    return wildcardMatch(pattern, name.first(static_cast<std::size_t>(nameEnd - name.begin())));
}

std::uint32_t p00FormatForType(std::uint32_t cbmType) {
    switch (cbmType) {
        case kTypeSeq: return 26;
        case kTypePrg: return 24;
        case kTypeRel: return 25;
        default: return 0;
    }
}

bool isDiskImageTypeId(std::uint32_t typeId) {
    return (typeId >= 5 && typeId <= 11) || typeId == 13 || typeId == 15 || typeId == 17 || typeId == 19 ||
           typeId == 21 || (typeId >= 23 && typeId <= 25) || (typeId >= 27 && typeId <= 32);
}

bool isGeosEntry(std::span<const std::uint8_t> entry) {
    if (entry.size() < dir_entry_t::kSize) return false;
    return (entry[2] & 4) == 0 && entry[23] <= 1 && (entry[21] != 0 || entry[22] != 0) && entry[26] >= 1 &&
           entry[26] <= 12 && entry[27] >= 1 && entry[27] <= 31 && entry[28] <= 23 && entry[29] < 60;
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

std::uint64_t vlirRecordOffset(std::span<const std::uint8_t> convertFile, std::uint32_t record) {
    constexpr std::size_t kTable = 508;
    constexpr std::uint64_t kFirstRecord = 762;
    constexpr std::uint64_t kBlockData = 254;
    const std::size_t at = kTable + 2 * static_cast<std::size_t>(record);
    if (record >= 127 || at + 1 >= convertFile.size()) return 0;
    if (convertFile[at] == 0 && convertFile[at + 1] == 0) return 0;
    std::uint64_t offset = kFirstRecord;
    for (std::size_t earlier = kTable; earlier < at; earlier += 2) offset += convertFile[earlier] * kBlockData;
    return offset;
}

void appendNewBlocks(std::vector<track_sector_t>& blocks, std::vector<track_sector_t>* out,
                     std::set<track_sector_t>& visited) {
    for (const track_sector_t& block : blocks) {
        if (visited.insert(block).second && out) out->push_back(block);
    }
    blocks.clear();
}

std::uint32_t cfsFileType(std::span<const std::uint8_t> entry) {
    if (entry.size() < 32) return 7;
    switch (entry[28] >> 5) {
        case 0: return kTypeDel;
        case 2: return kTypeRel;
        case 3:
        case 4: return 7;
        default: break;
    }
    const std::string_view letters(reinterpret_cast<const char*>(entry.data() + 29), 3);
    if (letters == "SEQ") return kTypeSeq;
    if (letters == "PRG") return kTypePrg;
    if (letters == "USE") return kTypeUsr;
    if (letters == "DIR") return kTypeCbm;
    return 7;
}

bool unpackCfsDate(std::span<const std::uint8_t> entry, cfs_date_t& out) {
    if (entry.size() < 36) return false;
    out.year = entry[34] & 63;
    out.day = entry[34] & 31;
    out.minute = entry[33] & 63;
    out.spare = entry[32] & 63;
    out.month = (entry[32] & 0xC0) != 0 ? 1 : 0;
    out.hour = ((entry[34] & 0xC0) != 0 || (entry[35] >> 5) != 0) ? 1 : 0;
    return true;
}

}  // namespace platter
