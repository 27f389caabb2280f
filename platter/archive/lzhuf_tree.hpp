#pragma once

#include <array>
#include <cstdint>

#include "platter/archive/bit_reader.hpp"

namespace platter {

// The adaptive Huffman tree of LZHUF over 314 symbols (256 literal bytes and
// the match lengths 3 to 60), as the published algorithm keeps it: nodes
// ordered by frequency, the root last, and all frequencies halved and the
// tree rebuilt when the root's reaches 0x8000. Without that rebuild the
// decoder parts from every encoder after some 32,000 symbols.
class LzhufTree {
public:
    static constexpr std::uint32_t kSymbols = 314;

    LzhufTree();
    // Walks from the root by the next bits to a leaf, then counts the symbol.
    bool decodeSymbol(MsbBitReader& bits, std::uint32_t& symbol);

private:
    static constexpr std::uint32_t kNodes = 2 * kSymbols - 1;  // 627
    static constexpr std::uint32_t kRoot = kNodes - 1;
    static constexpr std::uint32_t kMaxFrequency = 0x8000;

    void update(std::uint32_t symbol);
    void rebuild();

    // Frequencies, with a sentinel above the root that no node reaches.
    std::array<std::uint32_t, kNodes + 1> freq_{};
    // A node's first child, or a leaf's symbol + kNodes.
    std::array<std::uint32_t, kNodes> son_{};
    // Parents of nodes, then (from kNodes on) the leaf of each symbol.
    std::array<std::uint32_t, kNodes + kSymbols> parent_{};
};

}  // namespace platter
