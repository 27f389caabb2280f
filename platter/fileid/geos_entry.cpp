#include "platter/fileid/geos_entry.hpp"

namespace platter {
namespace {

constexpr std::size_t kEntrySize = 32;

}  // namespace

bool isGeosEntry(std::span<const std::uint8_t> entry) {
    if (entry.size() < kEntrySize) return false;
    return (entry[2] & 4) == 0 && entry[23] <= 1 && (entry[21] != 0 || entry[22] != 0) && entry[26] >= 1 &&
           entry[26] <= 12 && entry[27] >= 1 && entry[27] <= 31 && entry[28] <= 23 && entry[29] < 60;
}

}  // namespace platter
