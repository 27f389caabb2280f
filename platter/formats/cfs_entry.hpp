#pragma once
// Fields of an IDE64 CFS directory entry.

#include <cstdint>
#include <span>

namespace platter {

// CBM file type 0-7 of a CFS directory entry; 7 for an entry shorter than 32 bytes.
std::uint32_t cfsFileType(std::span<const std::uint8_t> entry);

struct cfs_date_t {
    std::uint8_t year = 0, month = 0, day = 0, hour = 0, minute = 0, spare = 0;
};
// The date fields of a CFS entry; false for an entry shorter than 36 bytes.
bool unpackCfsDate(std::span<const std::uint8_t> entry, cfs_date_t& out);

}  // namespace platter
