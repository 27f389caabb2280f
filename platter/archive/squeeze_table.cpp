#include "platter/archive/squeeze_table.hpp"

#include <algorithm>

namespace platter {

namespace {

struct squeeze_code_t {
    std::uint32_t code = 0;
    std::uint8_t length = 0;
    std::uint8_t value = 0;
};

}  // namespace

bool SqueezeTable::read(LsbBitReader& bits) {
    std::vector<squeeze_code_t> codes;
    for (unsigned value = 0; value < 256; ++value) {
        std::uint32_t length = 0;
        if (!bits.bitsLowFirst(5, length) || length > kMaxCodeLength) return false;
        if (length == 0) continue;  // the value does not occur
        std::uint32_t code = 0;
        if (!bits.bitsLowFirst(length, code)) return false;
        codes.push_back({code, static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(value)});
    }
    // Shorter codes first, so that a longer code behind a shorter one with the
    // same leading bits is never reached, as in a scan by length.
    std::stable_sort(codes.begin(), codes.end(),
                     [](const squeeze_code_t& a, const squeeze_code_t& b) { return a.length < b.length; });
    nodes_.assign(1, node_t{});
    for (const squeeze_code_t& c : codes) insert(c.code, c.length, c.value);
    return true;
}

void SqueezeTable::insert(std::uint32_t code, unsigned length, std::uint8_t value) {
    std::size_t node = 0;
    for (unsigned depth = 0; depth < length; ++depth) {
        const std::uint32_t bit = (code >> depth) & 1;
        const std::int32_t child = nodes_[node].child[bit];
        if (child < 0) return;  // a shorter code already matches these bits
        if (depth + 1 == length) {
            if (child == 0) nodes_[node].child[bit] = -static_cast<std::int32_t>(value) - 1;
            return;
        }
        if (child == 0) {
            nodes_[node].child[bit] = static_cast<std::int32_t>(nodes_.size());
            nodes_.emplace_back();
        }
        node = static_cast<std::size_t>(nodes_[node].child[bit]);
    }
}

bool SqueezeTable::decode(LsbBitReader& bits, std::uint8_t& out) const {
    if (nodes_.empty()) return false;
    std::size_t node = 0;
    for (unsigned depth = 0; depth < kMaxCodeLength; ++depth) {
        std::uint32_t bit = 0;
        if (!bits.bit(bit)) return false;
        const std::int32_t child = nodes_[node].child[bit];
        if (child == 0) return false;
        if (child < 0) {
            out = static_cast<std::uint8_t>(-child - 1);
            return true;
        }
        node = static_cast<std::size_t>(child);
    }
    return false;
}

}  // namespace platter
