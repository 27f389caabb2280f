#include "platter/formats/cfs_entry.hpp"

#include <string_view>

#include "platter/core/dir_entry.hpp"

namespace platter {

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
