#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace platter {

// Directory-entry indices asked about once per entry: a sorted copy, so
// large directories with large selections stay fast.
class IndexSelection {
public:
    explicit IndexSelection(std::span<const std::uint32_t> indices) : sorted_(indices.begin(), indices.end()) {
        std::sort(sorted_.begin(), sorted_.end());
    }
    bool contains(std::uint64_t index) const {
        return index <= UINT32_MAX &&
               std::binary_search(sorted_.begin(), sorted_.end(), static_cast<std::uint32_t>(index));
    }
    bool empty() const { return sorted_.empty(); }

private:
    std::vector<std::uint32_t> sorted_;
};

}  // namespace platter
