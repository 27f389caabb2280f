#include "platter/archive/lzhuf_tree.hpp"

#include <algorithm>

namespace platter {

LzhufTree::LzhufTree() {
    for (std::uint32_t i = 0; i < kSymbols; ++i) {
        freq_[i] = 1;
        son_[i] = i + kNodes;
        parent_[i + kNodes] = i;
    }
    for (std::uint32_t i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
        freq_[j] = freq_[i] + freq_[i + 1];
        son_[j] = i;
        parent_[i] = parent_[i + 1] = j;
    }
    freq_[kNodes] = 0xFFFF;
    parent_[kRoot] = 0;
}

bool LzhufTree::decodeSymbol(MsbBitReader& bits, std::uint32_t& symbol) {
    std::uint32_t node = son_[kRoot];
    while (node < kNodes) {
        std::uint32_t bit = 0;
        if (!bits.bit(bit)) return false;
        node = son_[node + bit];
    }
    symbol = node - kNodes;
    update(symbol);
    return true;
}

void LzhufTree::update(std::uint32_t symbol) {
    if (freq_[kRoot] == kMaxFrequency) rebuild();
    std::uint32_t c = parent_[symbol + kNodes];
    do {
        const std::uint32_t k = ++freq_[c];
        // Keep the order: swap with the last node of a lower frequency.
        std::uint32_t l = c + 1;
        if (k > freq_[l]) {
            while (k > freq_[++l]) {}
            --l;
            freq_[c] = freq_[l];
            freq_[l] = k;

            const std::uint32_t i = son_[c];
            parent_[i] = l;
            if (i < kNodes) parent_[i + 1] = l;
            const std::uint32_t j = son_[l];
            son_[l] = i;
            parent_[j] = c;
            if (j < kNodes) parent_[j + 1] = c;
            son_[c] = j;
            c = l;
        }
        c = parent_[c];
    } while (c != 0);
}

void LzhufTree::rebuild() {
    // Gather the leaves at the front, halving their frequencies.
    std::uint32_t j = 0;
    for (std::uint32_t i = 0; i < kNodes; ++i) {
        if (son_[i] >= kNodes) {
            freq_[j] = (freq_[i] + 1) / 2;
            son_[j] = son_[i];
            ++j;
        }
    }
    // Join pairs into internal nodes, each inserted where its frequency keeps the order.
    for (std::uint32_t i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
        const std::uint32_t f = freq_[i] + freq_[i + 1];
        std::uint32_t k = n;
        while (k > 0 && f < freq_[k - 1]) --k;
        std::copy_backward(freq_.begin() + k, freq_.begin() + n, freq_.begin() + n + 1);
        std::copy_backward(son_.begin() + k, son_.begin() + n, son_.begin() + n + 1);
        freq_[k] = f;
        son_[k] = i;
    }
    for (std::uint32_t i = 0; i < kNodes; ++i) {
        const std::uint32_t k = son_[i];
        if (k >= kNodes) {
            parent_[k] = i;
        } else {
            parent_[k] = parent_[k + 1] = i;
        }
    }
}

}  // namespace platter
