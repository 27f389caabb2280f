#pragma once
// Search of a fixed pattern in 256-byte blocks, with the rule fgrep reports by:
// in each block the matches that do not overlap, each search resuming past the
// match before, then at most one partial match whose rest would lie in the
// block the link names. Blocks that lie one after another in memory are
// searched in one pass, with every match mapped back to its block, so a whole
// image costs one scan and no allocation.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace app {

struct block_hit_t {
    std::size_t block = 0;   // index in the run
    std::size_t offset = 0;  // of the first byte, in that block
    bool partial = false;    // the block's bytes from offset on are the pattern's start
};

class BlockPatternSearch {
public:
    static constexpr std::size_t kBlockSize = 256;

    // The pattern holds 1 to 256 bytes.
    explicit BlockPatternSearch(std::span<const std::uint8_t> pattern);

    // Reports the hits of a run of whole blocks in block order, each block's
    // whole matches by offset and its partial match last; stops, returning
    // false, when `found` returns false.
    bool scan(std::span<const std::uint8_t> run, const std::function<bool(const block_hit_t&)>& found) const;

    std::span<const std::uint8_t> pattern() const { return pattern_; }

private:
    // The first place from `from` on where the whole pattern lies in the run, or the run's length.
    std::size_t find(std::span<const std::uint8_t> run, std::size_t from, std::size_t& misses) const;
    // The first offset from `from` on where the block's end equals the
    // pattern's start, or kBlockSize.
    std::size_t partialStart(const std::uint8_t* block, std::size_t from) const;

    std::vector<std::uint8_t> pattern_;
    // The pattern position of its rarest byte, looked for with memchr.
    std::size_t rare_ = 0;
    // For each byte value, the pattern positions before its last that hold it,
    // highest first: a partial match needs one under the block's last byte.
    std::array<std::uint16_t, 257> positionsStart_{};
    std::vector<std::uint16_t> positions_;
};

}  // namespace app
