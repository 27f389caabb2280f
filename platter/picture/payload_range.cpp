#include "platter/picture/payload_range.hpp"

#include <algorithm>
#include <limits>

namespace platter {

void copyPayloadRange(std::span<const std::uint8_t> file, std::uint64_t offset, std::uint64_t length,
                      std::vector<std::uint8_t>& out) {
    out.clear();
    if (offset == std::numeric_limits<std::uint64_t>::max() || offset >= file.size() || file.size() - offset <= 2) {
        return;
    }
    const std::uint64_t from = offset + 2;
    const std::uint64_t count = std::min<std::uint64_t>(length, file.size() - from);
    const auto payload = file.subspan(from, count);
    out.assign(payload.begin(), payload.end());
}

}  // namespace platter
