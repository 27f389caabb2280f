#pragma once
// One entry of a CMD partition table. The table counts starts and sizes in 512-byte units;
// every conversion to byte offsets and 256-byte blocks happens here.

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace platter {

struct dir_entry_t;

struct cmd_partition_t {
    static constexpr std::uint64_t kUnitBytes = 512;
    static constexpr std::uint64_t kBlocksPerUnit = 2;
    static constexpr std::uint8_t kSystemType = 0xff;
    // Field offsets in the 32-byte entry.
    static constexpr std::size_t kTypeAt = 2;
    static constexpr std::size_t kNameAt = 5;
    static constexpr std::size_t kStartAt = 21;  // 3 bytes, big-endian
    static constexpr std::size_t kSizeAt = 30;   // 2 bytes, big-endian

    std::uint8_t type = 0;
    std::uint64_t startUnit = 0;
    std::uint64_t units = 0;

    static cmd_partition_t of(std::span<const std::uint8_t> entry);
    static cmd_partition_t of(const dir_entry_t& entry);

    std::uint64_t startByte() const { return startUnit * kUnitBytes; }
    std::uint64_t bytes() const { return units * kUnitBytes; }
    std::uint64_t endUnit() const { return startUnit + units; }
    std::uint64_t blocks() const { return units * kBlocksPerUnit; }
    // An entry of a kind whose contents take space (everything but the empty and system entries).
    bool occupiesSpace() const { return type != 0 && type != kSystemType && units != 0; }
};

// Units holding `blocks` 256-byte blocks.
constexpr std::uint64_t unitsForBlocks(std::uint64_t blocks) {
    return (blocks + cmd_partition_t::kBlocksPerUnit - 1) / cmd_partition_t::kBlocksPerUnit;
}

// The 32 bytes of a table entry (link bytes 0) of a type, a 16-byte name, a start and a size.
std::array<std::uint8_t, 32> cmdPartitionEntry(std::uint8_t type, std::span<const std::uint8_t, 16> name,
                                               std::uint64_t startUnit, std::uint64_t units);

// The word a listing shows for a partition type: "NAT", "41 " ... "SYS".
std::string cmdPartitionTypeWord(std::uint8_t type);

}  // namespace platter
