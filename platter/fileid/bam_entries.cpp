#include "platter/fileid/bam_entries.hpp"

#include "forge/bits.hpp"

namespace platter {

bool bamEntriesConsistent(std::span<const std::uint8_t> block, std::size_t offset, std::size_t count) {
    if (count == 0 || offset > block.size() || count > (block.size() - offset) / 4) return false;
    bool agreed = false;
    for (std::size_t entry = 0; entry < count; ++entry) {
        const auto bytes = block.subspan(offset + entry * 4, 4);
        const int bits = forge::bitCount(static_cast<std::uint32_t>(bytes[1] | (bytes[2] << 8) | (bytes[3] << 16)));
        if (bytes[0] == 0 && bits == 0) continue;
        if (bytes[0] != bits) return false;
        agreed = true;
    }
    return agreed;
}

}  // namespace platter
