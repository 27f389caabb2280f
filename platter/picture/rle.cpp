#include "platter/picture/rle.hpp"

namespace platter {

bool unpackRle(std::span<const std::uint8_t> packed, std::vector<std::uint8_t>& out, const rle_format_t& format) {
    out.clear();
    if (format.loadAddress != 0) {
        out.push_back(static_cast<std::uint8_t>(format.loadAddress & 0xff));
        out.push_back(static_cast<std::uint8_t>(format.loadAddress >> 8));
    }
    for (std::size_t at = format.start; at < packed.size();) {
        if (packed[at] != format.marker) {
            out.push_back(packed[at++]);
            continue;
        }
        if (packed.size() - at < 3) {
            // A cut-off run is only acceptable as the end mark of a count-first format.
            return format.countFirst && packed.size() - at == 2 && packed[at + 1] == 0;
        }
        const std::uint8_t count = format.countFirst ? packed[at + 1] : packed[at + 2];
        const std::uint8_t value = format.countFirst ? packed[at + 2] : packed[at + 1];
        if (count == 0) return true;
        out.insert(out.end(), count, value);
        at += 3;
    }
    return true;
}

}  // namespace platter
