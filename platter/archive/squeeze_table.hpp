#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platter/archive/bit_reader.hpp"

namespace platter {

// The static Huffman code of a squeezed ARC entry: for each byte value a
// code of 0 to 24 bits, stored at the start of the entry's data.
class SqueezeTable {
public:
    static constexpr unsigned kMaxCodeLength = 24;

    // Reads the 256 (length, code) pairs; false when a length exceeds 24 bits
    // or the input ends.
    bool read(LsbBitReader& bits);
    // The byte whose code the next bits spell (the shortest match wins);
    // false when no code matches or the input ends.
    bool decode(LsbBitReader& bits, std::uint8_t& out) const;

private:
    // A child is a node index (above 0), a byte value as -(value + 1), or 0 for none.
    struct node_t {
        std::array<std::int32_t, 2> child{};
    };
    void insert(std::uint32_t code, unsigned length, std::uint8_t value);

    std::vector<node_t> nodes_;
};

}  // namespace platter
