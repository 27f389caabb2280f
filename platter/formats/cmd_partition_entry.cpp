#include "platter/formats/cmd_partition_entry.hpp"

#include <algorithm>

#include "platter/core/dir_entry.hpp"

namespace platter {

namespace {

// Type words of partition types 0-7, as the CMD DOS lists them.
constexpr std::array<const char*, 8> kTypeWords = {"NONE", "NAT", "41 ", "71 ", "81 ", "C81", "PRN", "FOR"};

}  // namespace

cmd_partition_t cmd_partition_t::of(std::span<const std::uint8_t> entry) {
    cmd_partition_t partition;
    if (entry.size() < dir_entry_t::kSize) return partition;
    partition.type = entry[kTypeAt];
    partition.startUnit =
        std::uint64_t{entry[kStartAt]} << 16 | std::uint64_t{entry[kStartAt + 1]} << 8 | entry[kStartAt + 2];
    partition.units = std::uint64_t{entry[kSizeAt]} << 8 | entry[kSizeAt + 1];
    return partition;
}

cmd_partition_t cmd_partition_t::of(const dir_entry_t& entry) { return of(entry.bytes); }

std::array<std::uint8_t, 32> cmdPartitionEntry(std::uint8_t type, std::span<const std::uint8_t, 16> name,
                                               std::uint64_t startUnit, std::uint64_t units) {
    std::array<std::uint8_t, 32> entry{};
    entry[cmd_partition_t::kTypeAt] = type;
    std::copy(name.begin(), name.end(), entry.begin() + cmd_partition_t::kNameAt);
    for (std::size_t i = 0; i < 3; ++i)
        entry[cmd_partition_t::kStartAt + i] = static_cast<std::uint8_t>(startUnit >> (16 - 8 * i));
    entry[cmd_partition_t::kSizeAt] = static_cast<std::uint8_t>(units >> 8);
    entry[cmd_partition_t::kSizeAt + 1] = static_cast<std::uint8_t>(units);
    return entry;
}

std::string cmdPartitionTypeWord(std::uint8_t type) {
    if (type == cmd_partition_t::kSystemType) return "SYS";
    return type < kTypeWords.size() ? kTypeWords[type] : "???";
}

}  // namespace platter
