#include "platter/fileid/loadstar_rle.hpp"

#include <algorithm>

namespace platter {

std::vector<std::uint8_t> unpackLoadstar(std::span<const std::uint8_t> packed, loadstar_state_t& state) {
    std::vector<std::uint8_t> out;
    std::uint64_t made = 0;
    std::uint64_t at = state.offset;
    while (made < state.limit && at < packed.size()) {
        std::uint64_t count = 1;
        std::uint8_t value = packed[at];
        std::uint64_t read = 1;
        if (value == state.marker) {
            if (packed.size() - at < 3) break;
            count = packed[at + 1] == 0 ? 256 : packed[at + 1];
            value = packed[at + 2];
            read = 3;
        }
        count = std::min(count, state.limit - made);
        if (!state.countOnly) out.insert(out.end(), count, value);
        made += count;
        at += read;
        state.consumed += read;
    }
    state.offset = at;
    state.produced += made;
    return out;
}

}  // namespace platter
