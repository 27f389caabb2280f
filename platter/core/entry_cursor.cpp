#include "platter/core/entry_cursor.hpp"

#include <algorithm>

namespace platter {

bool entry_cursor_t::resumes(const track_sector_t& dirStart, bool withEmpty, std::uint64_t index,
                             const std::uint8_t* current, std::size_t size) const {
    return valid && start == dirStart && includeEmpty == withEmpty && index + 1 >= counted && current &&
           bytes.size() == size && std::equal(bytes.begin(), bytes.end(), current);
}

void entry_cursor_t::restart(const track_sector_t& dirStart, bool withEmpty) {
    valid = false;
    start = dirStart;
    includeEmpty = withEmpty;
    block = dirStart;
    next = 0;
    counted = 0;
    slot = 0;
    seen.clear();
}

}  // namespace platter
