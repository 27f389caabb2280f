#include "app/bmh_search.hpp"

#include <cstddef>

namespace app {

void bmhSkipTable(std::span<const std::uint8_t> pattern, skip_table_t& table) {
    const std::size_t m = pattern.size();
    table.fill(static_cast<std::uint16_t>(m));
    for (std::size_t i = 0; i + 1 < m; ++i) table[pattern[i]] = static_cast<std::uint16_t>(m - 1 - i);
}

std::vector<std::int64_t> bmhSearch(std::span<const std::uint8_t> pattern, std::span<const std::uint8_t, 256> block,
                                    const skip_table_t& table) {
    std::vector<std::int64_t> offsets;
    const std::size_t m = pattern.size();
    const std::size_t n = block.size();
    if (m == 0 || m > n) return offsets;
    std::size_t p = 0;
    while (p <= n - m) {
        std::size_t j = m;
        while (j > 0 && pattern[j - 1] == block[p + j - 1]) --j;
        if (j == 0) {
            offsets.push_back(static_cast<std::int64_t>(p));
            p += m;
        } else {
            p += table[block[p + m - 1]];
        }
    }
    // The tail: windows that run past the block's end, compared over the part
    // inside it. On a mismatch at pattern index j against byte c the window
    // moves until the last earlier c of the pattern lies under that byte (or
    // past it when there is none), so no partial match is stepped over.
    while (p < n) {
        std::size_t j = n - p;
        while (j > 0 && pattern[j - 1] == block[p + j - 1]) --j;
        if (j == 0) {
            offsets.push_back(-static_cast<std::int64_t>(p));
            break;
        }
        const std::size_t mismatch = j - 1;
        const std::uint8_t c = block[p + mismatch];
        std::size_t k = mismatch;
        while (k > 0 && pattern[k - 1] != c) --k;
        p += mismatch - k + 1;
    }
    return offsets;
}

}  // namespace app
