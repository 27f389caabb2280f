#include "platter/archive/chunks.hpp"

namespace platter {

namespace {

constexpr std::uint16_t kMoreFollow = 0x8000;
constexpr std::uint8_t kCarriageReturn = 13;
constexpr int kMaxDigits = 6;

bool isDigit(std::uint8_t byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

bool joinChunks(std::size_t& consumed, std::vector<std::uint8_t>& out, std::span<const std::uint8_t> input) {
    out.clear();
    std::size_t at = 0;
    for (;;) {
        if (input.size() - at < 2) return false;
        const auto word = static_cast<std::uint16_t>(input[at] | (input[at + 1] << 8));
        at += 2;
        const std::size_t length = word & (kMoreFollow - 1);
        if (input.size() - at < length) return false;
        out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(at),
                   input.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        if ((word & kMoreFollow) == 0) break;
    }
    consumed = at;
    return true;
}

int scanDecimal(std::span<const std::uint8_t> bytes, std::size_t& cursor) {
    while (cursor < bytes.size() && !isDigit(bytes[cursor]) && bytes[cursor] != kCarriageReturn) ++cursor;
    int value = 0;
    for (int digits = 0; digits < kMaxDigits && cursor < bytes.size() && isDigit(bytes[cursor]); ++digits) {
        value = value * 10 + (bytes[cursor] - '0');
        ++cursor;
    }
    return value;
}

}  // namespace platter
