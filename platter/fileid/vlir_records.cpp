#include "platter/fileid/vlir_records.hpp"

namespace platter {

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

}  // namespace platter
