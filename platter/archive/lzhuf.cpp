#include "platter/archive/lzhuf.hpp"

#include <array>

#include "platter/archive/bit_reader.hpp"
#include "platter/archive/lzhuf_tree.hpp"

namespace platter {

namespace {

constexpr std::uint32_t kLengthBase = 253;  // symbol 256 is a match of 3 bytes
constexpr std::uint8_t kWindowFill = 0x20;  // the window starts full of spaces

// The upper 6 bits of a match position: a prefix code of 3 to 8 bits. Rows
// of (limit, base): a value read so far below the limit is final.
struct position_row_t {
    std::uint32_t limit;
    std::uint32_t base;
};
constexpr std::array<position_row_t, 6> kPositionRows{{{1, 0}, {5, 1}, {18, 6}, {48, 24}, {120, 72}, {256, 192}}};

// A match position: its distance back from the next output byte, less one.
bool lzhufDecodePosition(MsbBitReader& bits, std::uint32_t& position) {
    std::uint32_t value = 0;
    if (!bits.bits(3, value)) return false;
    for (const position_row_t& row : kPositionRows) {
        if (value < row.limit) {
            std::uint32_t low = 0;
            if (!bits.bits(6, low)) return false;
            position = ((value - row.base) << 6) | low;
            return true;
        }
        std::uint32_t bit = 0;
        if (!bits.bit(bit)) return false;
        value = (value << 1) | bit;
    }
    return false;  // 8 bits always fall below the last limit
}

}  // namespace

bool lzhufDecode(std::span<const std::uint8_t> packed, std::size_t unpackedSize, std::vector<std::uint8_t>& out) {
    out.clear();
    out.reserve(unpackedSize);
    MsbBitReader bits(packed);
    LzhufTree tree;
    while (out.size() < unpackedSize) {
        std::uint32_t symbol = 0;
        if (!tree.decodeSymbol(bits, symbol)) return false;
        if (symbol < 256) {
            out.push_back(static_cast<std::uint8_t>(symbol));
            continue;
        }
        const std::size_t length = symbol - kLengthBase;
        std::uint32_t position = 0;
        if (!lzhufDecodePosition(bits, position)) return false;
        if (length > unpackedSize - out.size()) return false;
        // Byte by byte: a match may overlap the bytes it produces.
        const std::size_t distance = std::size_t{position} + 1;
        for (std::size_t i = 0; i < length; ++i) {
            const std::size_t size = out.size();
            const std::uint8_t byte = size >= distance ? out[size - distance] : kWindowFill;
            out.push_back(byte);
        }
    }
    return true;
}

}  // namespace platter
