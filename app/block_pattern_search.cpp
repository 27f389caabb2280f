#include "app/block_pattern_search.hpp"

#include <cstring>

namespace app {

namespace {

// How common a byte is in images: formatting fills, padding and spaces.
constexpr int commonness(std::uint8_t byte) {
    switch (byte) {
        case 0x00: return 3;
        case 0x01:
        case 0xFF:
        case 0xA0:
        case 0x20: return 2;
        case 0x4B:
        case 0x41:
        case 0x60:
        case 0xEA: return 1;
        default: return 0;
    }
}

// Beyond this many candidates that were no match a run is searched without memchr, so data
// full of the rare byte costs no more than a plain search.
constexpr std::size_t kMaxMisses = 256;

}  // namespace

BlockPatternSearch::BlockPatternSearch(std::span<const std::uint8_t> pattern)
    : pattern_(pattern.begin(), pattern.end()) {
    const std::size_t last = pattern_.empty() ? 0 : pattern_.size() - 1;
    std::array<std::uint16_t, 256> counts{};
    for (std::size_t i = 0; i < last; ++i) ++counts[pattern_[i]];
    for (std::size_t c = 0; c < 256; ++c)
        positionsStart_[c + 1] = static_cast<std::uint16_t>(positionsStart_[c] + counts[c]);
    positions_.resize(last);
    std::array<std::uint16_t, 256> next{};
    for (std::size_t c = 0; c < 256; ++c) next[c] = positionsStart_[c];
    for (std::size_t i = last; i-- > 0;) positions_[next[pattern_[i]]++] = static_cast<std::uint16_t>(i);
    for (std::size_t i = 1; i < pattern_.size(); ++i) {
        if (commonness(pattern_[i]) < commonness(pattern_[rare_])) rare_ = i;
    }
}

std::size_t BlockPatternSearch::find(std::span<const std::uint8_t> run, std::size_t from, std::size_t& misses) const {
    const std::size_t m = pattern_.size();
    if (from + m > run.size()) return run.size();
    const std::uint8_t* data = run.data();
    if (misses > kMaxMisses) {
        const void* hit = ::memmem(data + from, run.size() - from, pattern_.data(), m);
        return hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data) : run.size();
    }
    const std::size_t last = run.size() - m;  // the last start that fits
    while (from <= last) {
        const void* hit = std::memchr(data + from + rare_, pattern_[rare_], last - from + 1);
        if (!hit) return run.size();
        const std::size_t start = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data) - rare_;
        if (std::memcmp(data + start, pattern_.data(), m) == 0) return start;
        if (++misses > kMaxMisses) return find(run, start + 1, misses);
        from = start + 1;
    }
    return run.size();
}

std::size_t BlockPatternSearch::partialStart(const std::uint8_t* block, std::size_t from) const {
    const std::uint8_t end = block[kBlockSize - 1];
    // Highest pattern position first: the leftmost start.
    for (std::size_t k = positionsStart_[end]; k < positionsStart_[end + 1]; ++k) {
        const std::size_t start = kBlockSize - 1 - positions_[k];
        if (start >= from && std::memcmp(block + start, pattern_.data(), kBlockSize - start) == 0) return start;
    }
    return kBlockSize;
}

bool BlockPatternSearch::scan(std::span<const std::uint8_t> run,
                              const std::function<bool(const block_hit_t&)>& found) const {
    const std::size_t m = pattern_.size();
    const std::size_t blocks = run.size() / kBlockSize;
    const std::size_t length = blocks * kBlockSize;
    std::size_t from = 0;    // where the next search starts, in the run
    std::size_t block = 0;   // the first block whose partial match is not yet settled
    std::size_t resume = 0;  // where a partial match may start in that block
    std::size_t misses = 0;
    while (true) {
        const std::size_t at = find(run.first(length), from, misses);
        const bool hit = at < length;
        for (; block < at / kBlockSize; ++block, resume = 0) {
            const std::uint8_t* bytes = run.data() + block * kBlockSize;
            const std::size_t start = partialStart(bytes, resume);
            if (start < kBlockSize && !found({block, start, true})) return false;
        }
        if (!hit) return true;
        const std::size_t offset = at % kBlockSize;
        if (offset + m > kBlockSize) {
            // Runs into the next block in memory, which is no match; nor is
            // any later start in this block.
            from = (block + 1) * kBlockSize;
            continue;
        }
        if (!found({block, offset, false})) return false;
        from = at + m;
        resume = offset + m;
    }
}

}  // namespace app
